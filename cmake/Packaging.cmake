# Installation (`cmake --install build --prefix DIR`: DIR/bin/fdpreserve and DIR/bin/fdexplain,
# their pages in DIR/share/man/man1) and a Debian package of the same (`cpack -G DEB` in the build).
include(GNUInstallDirs)

install(TARGETS fdpreserve fdexplain RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/doc/fdpreserve.1 ${PROJECT_SOURCE_DIR}/doc/fdexplain.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME fdpreserve)
set(CPACK_PACKAGE_VENDOR "fdpreserve developers")
set(CPACK_PACKAGE_CONTACT "fdpreserve developers <fdpreserve@localhost>")
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

# Where the formatters are at hand, the tests include the manual page's lint (CI runs it anyway).
find_program(FDPRESERVE_MANDOC mandoc)
find_program(FDPRESERVE_GROFF groff)
if(FDPRESERVE_BUILD_TESTS AND FDPRESERVE_MANDOC AND FDPRESERVE_GROFF)
  add_test(NAME manual_page_lint
           COMMAND ${CMAKE_COMMAND} -DPAGE=${PROJECT_SOURCE_DIR}/doc/fdpreserve.1
                   -P ${PROJECT_SOURCE_DIR}/cmake/CheckManualPage.cmake)
  add_test(NAME fdexplain_manual_page_lint
           COMMAND ${CMAKE_COMMAND} -DPAGE=${PROJECT_SOURCE_DIR}/doc/fdexplain.1
                   -P ${PROJECT_SOURCE_DIR}/cmake/CheckManualPage.cmake)
endif()
