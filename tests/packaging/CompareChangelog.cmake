# Makes the package changelog of CHANGES as the build does and fails unless it is EXPECTED, byte
# for byte.
execute_process(COMMAND ${CMAKE_COMMAND} -DCHANGES=${CHANGES} -DOUT=${OUT} -DPACKAGE=demo
                        -DVERSION=${VERSION} "-DMAINTAINER=A Maintainer <maintainer@example.org>"
                        -P ${SCRIPT}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "DebianChangelog.cmake failed on ${CHANGES}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(READ ${OUT} made)
  message(FATAL_ERROR "${OUT} differs from ${EXPECTED}; it holds:\n${made}")
endif()
