# Writes a manual page as one HTML file, its style inside, for systems without man (the Windows
# zip):
#   cmake -DMANDOC=/usr/bin/mandoc -DPAGE=man/fdexplain.1 -DOUT=man/fdexplain.html -P HtmlManualPage.cmake
foreach(argument MANDOC PAGE OUT)
  if(NOT DEFINED ${argument})
    message(FATAL_ERROR "usage: cmake -DMANDOC=mandoc -DPAGE=page.1 -DOUT=page.html "
                        "-P HtmlManualPage.cmake")
  endif()
endforeach()
execute_process(COMMAND ${MANDOC} -T html ${PAGE} OUTPUT_FILE ${OUT}.new
                RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  file(REMOVE ${OUT}.new)
  message(FATAL_ERROR "mandoc -T html ${PAGE} (status ${status}):\n${errors}")
endif()
file(RENAME ${OUT}.new ${OUT})
