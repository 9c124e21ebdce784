# Installation (cmake --install build --prefix DIR) and a Debian package of the same (cpack -G DEB
# in the build), which lintian accepts:
#   DIR/bin/fdpreserve                          DIR/share/man/man1/fdpreserve.1.gz
#   DIR/bin/fdexplain                           DIR/share/man/man1/fdexplain.1.gz
#   DIR/share/doc/fdpreserve/copyright          DIR/share/doc/fdpreserve/changelog.gz
#   DIR/share/doc/fdpreserve/examples/*.txt
#
# The Windows build is packaged as a zip instead (cmake/WindowsZip.cmake).
if(WIN32)
  include(cmake/WindowsZip.cmake)
  return()
endif()
include(GNUInstallDirs)
include(cmake/ManualPages.cmake)

# Who answers for the package: whoever publishes it sets their own name and address. The default
# address is in the .invalid domain, which no mail can reach, so that it is never mistaken for one.
set(FDPRESERVE_MAINTAINER "the fdpreserve developers <maintainer@fdpreserve.invalid>"
    CACHE STRING "Maintainer of the Debian package, as \"Name <address>\"")
if(NOT FDPRESERVE_MAINTAINER MATCHES "^[^<>]*[^ <>] <[^<>@ ]+@[^<>@ ]+>$")
  message(FATAL_ERROR "FDPRESERVE_MAINTAINER is \"${FDPRESERVE_MAINTAINER}\"; "
                      "it must read \"Name <address>\"")
endif()

install(TARGETS fdpreserve fdexplain RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
fdpreserve_add_manual_page(doc/fdpreserve.1)
fdpreserve_add_manual_page(doc/fdexplain.1)
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
                           -DVERSION=${PROJECT_VERSION} -DMAINTAINER=${FDPRESERVE_MAINTAINER}
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

# Values reach CPack as written: the description's quotes would otherwise end its string early.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME fdpreserve)
set(CPACK_PACKAGE_VENDOR "the fdpreserve developers")
set(CPACK_PACKAGE_CONTACT "${FDPRESERVE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${FDPRESERVE_MAINTAINER}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY fdpreserve)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The synopsis, and below it the rest of the description, wrapped so that each line of the control
# file stays within lintian's 80 columns.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dependency preservation test for schema decompositions")
set(CPACK_PACKAGE_DESCRIPTION "\
fdpreserve is a console tool for relational database design. Given a text
file holding a decomposition of a relation schema into subschemas and a set
of functional dependencies, it decides whether the decomposition preserves
the dependencies, and writes a copy of the file followed by the verdict in
Hungarian: \"függőségőrző\" (dependency-preserving) or \"nem függőségőrző\".

Every line of the input is read by fixed rules, odd lines included. The
manual page describes the input format, the closure rule and the messages;
worked examples come with the package.

fdexplain, in the same package, says why: dependency by dependency, with
notes on the lines that read differently from how they look, and the
textbook closure rule beside the tool's own.")
# The run-time dependencies (libc, libstdc++, libgcc) as the linked binary needs them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
