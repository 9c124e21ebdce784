# fdpreserve_add_manual_page(doc/NAME.SECTION): builds, installs and lints one manual page.
#
# The page in doc/ names the package in its title line without a version, so that it reads the
# same from the source tree (man doc/NAME.SECTION); the built page names the version too.
#
# The page is installed as Debian wants it, compressed with gzip -9n (no name or time stamp, so the
# same page always gives the same bytes), by the install rules themselves: cmake --install and the
# package hold the same file. Where mandoc and groff are at hand, a test lints the page as it is
# installed. The Windows build, which has no man, installs the page as HTML instead (mandoc).
include(GNUInstallDirs)
find_program(FDPRESERVE_GZIP gzip REQUIRED)
if(WIN32)
  find_program(FDPRESERVE_MANDOC mandoc REQUIRED)
else()
  find_program(FDPRESERVE_MANDOC mandoc)
endif()
find_program(FDPRESERVE_GROFF groff)

# Writes `built` from the page `source`, its title line's "fdpreserve" followed by the version.
function(fdpreserve_version_page source built)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} text)
  set(title "\n(\\.TH [^ \n]+ [^ \n]+ [^ \n]+) fdpreserve ")
  string(REGEX REPLACE "${title}" "\n\\1 \"fdpreserve ${PROJECT_VERSION}\" " versioned "${text}")
  if(versioned STREQUAL text)
    message(FATAL_ERROR "${source}: its .TH line must read .TH NAME SECTION DATE fdpreserve ...")
  endif()
  # Written only when it changed, so that a new configure does not compress the page again.
  file(WRITE ${built}.new "${versioned}")
  configure_file(${built}.new ${built} COPYONLY)
  file(REMOVE ${built}.new)
endfunction()

function(fdpreserve_add_manual_page source)
  get_filename_component(page "${source}" NAME)
  if(NOT page MATCHES "\\.([1-9])$")
    message(FATAL_ERROR "${source}: a manual page's name ends in its section, as in fdpreserve.1")
  endif()
  set(section ${CMAKE_MATCH_1})
  set(built ${PROJECT_BINARY_DIR}/man/${page})
  fdpreserve_version_page(${PROJECT_SOURCE_DIR}/${source} ${built})
  if(WIN32)
    get_filename_component(name "${source}" NAME_WE)
    set(html ${PROJECT_BINARY_DIR}/man/${name}.html)
    add_custom_command(OUTPUT ${html}
                       COMMAND ${CMAKE_COMMAND} -DMANDOC=${FDPRESERVE_MANDOC} -DPAGE=${built}
                               -DOUT=${html} -P ${PROJECT_SOURCE_DIR}/cmake/HtmlManualPage.cmake
                       DEPENDS ${built} ${PROJECT_SOURCE_DIR}/cmake/HtmlManualPage.cmake
                       COMMENT "Writing the manual page ${page} as HTML"
                       VERBATIM)
    add_custom_target(manual_page_${page} ALL DEPENDS ${html})
    install(FILES ${html} DESTINATION doc)
    return()
  endif()
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
