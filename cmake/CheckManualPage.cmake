# Fails unless the manual page renders without a single warning from either formatter:
#   cmake -DPAGE=doc/fdpreserve.1 -P cmake/CheckManualPage.cmake
if(NOT PAGE)
  message(FATAL_ERROR "usage: cmake -DPAGE=path/to/page.1 -P CheckManualPage.cmake")
endif()
find_program(MANDOC mandoc REQUIRED)
find_program(GROFF groff REQUIRED)
foreach(check "${MANDOC};-T;lint" "${GROFF};-ww;-man;-z")
  execute_process(COMMAND ${check} ${PAGE} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE out)
  if(NOT status EQUAL 0 OR NOT out STREQUAL "")
    list(JOIN check " " command)
    message(FATAL_ERROR "${command} ${PAGE} (status ${status}):\n${out}")
  endif()
endforeach()
