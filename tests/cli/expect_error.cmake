# Runs the command-line tool and expects exit status 1 with a one-line
# error on stderr.
execute_process(COMMAND ${CLI} ${ARGS} RESULT_VARIABLE result ERROR_VARIABLE err OUTPUT_QUIET)
if(NOT result EQUAL 1)
  message(FATAL_ERROR "expected exit status 1, got '${result}'")
endif()
if(NOT err MATCHES "^sonalyt-cli: [^\n]+\n")
  message(FATAL_ERROR "expected a one-line error, got '${err}'")
endif()
# The reason is told once, not wrapped in itself.
string(REGEX MATCHALL "cannot open" said "${err}")
list(LENGTH said times)
if(times GREATER 1)
  message(FATAL_ERROR "the error repeats itself: '${err}'")
endif()
