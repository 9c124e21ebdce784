# fdpreserve_add_manual_page(doc/NAME.SECTION): builds, installs and lints one manual page.
#
# The page is installed as Debian wants it, compressed with gzip -9n (no name or time stamp, so the
# same page always gives the same bytes), by the install rules themselves: cmake --install and the
# package hold the same file. @PROJECT_VERSION@ in the page becomes the project's version. Where
# mandoc and groff are at hand, a test lints the page as it is installed.
include(GNUInstallDirs)
find_program(FDPRESERVE_GZIP gzip REQUIRED)
find_program(FDPRESERVE_MANDOC mandoc)
find_program(FDPRESERVE_GROFF groff)

function(fdpreserve_add_manual_page source)
  get_filename_component(page "${source}" NAME)
  if(NOT page MATCHES "\\.([1-9])$")
    message(FATAL_ERROR "${source}: a manual page's name ends in its section, as in fdpreserve.1")
  endif()
  set(section ${CMAKE_MATCH_1})
  set(built ${PROJECT_BINARY_DIR}/man/${page})
  configure_file(${source} ${built} @ONLY)
  add_custom_command(OUTPUT ${built}.gz
                     COMMAND ${FDPRESERVE_GZIP} -9nkf ${built}
                     DEPENDS ${built}
                     COMMENT "Compressing the manual page ${page}"
                     VERBATIM)
  add_custom_target(manual_page_${page} ALL DEPENDS ${built}.gz)
  install(FILES ${built}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})

  if(FDPRESERVE_BUILD_TESTS AND FDPRESERVE_MANDOC AND FDPRESERVE_GROFF)
    add_test(NAME manual_page_lint.${page}
             COMMAND ${CMAKE_COMMAND} -DPAGE=${built}
                     -P ${PROJECT_SOURCE_DIR}/cmake/CheckManualPage.cmake)
  endif()
endfunction()
