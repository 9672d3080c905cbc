# Runs the demo generator and compares its output with the committed file.
execute_process(COMMAND ${GENERATOR} ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_demo_recording failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED} RESULT_VARIABLE same)
if(NOT same EQUAL 0)
  message(FATAL_ERROR "the generator's output differs from ${EXPECTED}")
endif()
