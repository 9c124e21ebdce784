# Installation (cmake --install build --prefix DIR) and a Debian package of the same (cpack -G DEB
# in the build):
#   DIR/bin/fdpreserve                          DIR/share/man/man1/fdpreserve.1.gz
#   DIR/share/doc/fdpreserve/copyright          DIR/share/doc/fdpreserve/changelog.gz
#   DIR/share/doc/fdpreserve/examples/*.txt
include(GNUInstallDirs)
include(cmake/ManualPages.cmake)

set(CPACK_PACKAGE_CONTACT "fdpreserve developers <fdpreserve@localhost>")

install(TARGETS fdpreserve RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
fdpreserve_add_manual_page(doc/fdpreserve.1)
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# The copyright file, from LICENSE, and the changelog, from CHANGELOG.md, as Debian wants them.
set(package_docs ${PROJECT_BINARY_DIR}/package-docs)
add_custom_command(OUTPUT ${package_docs}/copyright
                   COMMAND ${CMAKE_COMMAND} -DLICENSE=${PROJECT_SOURCE_DIR}/LICENSE
                           -DOUT=${package_docs}/copyright -DPACKAGE=${PROJECT_NAME}
                           -P ${PROJECT_SOURCE_DIR}/cmake/DebianCopyright.cmake
                   DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE
                           ${PROJECT_SOURCE_DIR}/cmake/DebianCopyright.cmake
                   COMMENT "Writing the package's copyright file from LICENSE"
                   VERBATIM)
add_custom_command(OUTPUT ${package_docs}/changelog.gz
                   COMMAND ${CMAKE_COMMAND} -DCHANGES=${PROJECT_SOURCE_DIR}/CHANGELOG.md
                           -DOUT=${package_docs}/changelog -DPACKAGE=${PROJECT_NAME}
                           -DVERSION=${PROJECT_VERSION} -DMAINTAINER=${CPACK_PACKAGE_CONTACT}
                           -P ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
                   COMMAND ${FDPRESERVE_GZIP} -9nkf ${package_docs}/changelog
                   DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                           ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
                   COMMENT "Writing the package's changelog from CHANGELOG.md"
                   VERBATIM)
add_custom_target(package_docs ALL
                  DEPENDS ${package_docs}/copyright ${package_docs}/changelog.gz)
install(FILES ${package_docs}/copyright ${package_docs}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME fdpreserve)
set(CPACK_PACKAGE_VENDOR "fdpreserve developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY fdpreserve)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The summary above is the description's first line; this is the rest.
set(CPACK_PACKAGE_DESCRIPTION
    "Reads a decomposition of a relation schema into subschemas and a set of functional \
dependencies from a text file, and writes a copy of it followed by a Hungarian verdict, \
dependency-preserving or not, into an output file.")
# The run-time dependencies (libc, libstdc++, libgcc) as the linked binary needs them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
