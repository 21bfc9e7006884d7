# Runs georeckon-cli once and checks what it did. Used by the tests of
# CMakeLists.txt in this folder.
#   CLI        the program
#   ARGS       its arguments, separated by '|'
#   EXIT       the expected exit status (default 0)
#   OUT        file the run writes (optional)
#   EXPECTED   file OUT must equal byte for byte (optional)
#   NO_OUT     when set, OUT must not exist after the run
#   STDERR     regular expression the error output must match (optional)
#   STDOUT     regular expression the standard output must match (optional)
string(REPLACE "|" ";" args "${ARGS}")
if(NOT DEFINED EXIT)
  set(EXIT 0)
endif()
if(DEFINED OUT)
  file(REMOVE "${OUT}")
endif()
execute_process(COMMAND "${CLI}" ${args}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT "${status}" STREQUAL "${EXIT}")
  message(FATAL_ERROR "exit status ${status}, expected ${EXIT}\nstderr: ${err}")
endif()
if(DEFINED STDERR AND NOT err MATCHES "${STDERR}")
  message(FATAL_ERROR "stderr does not match \"${STDERR}\":\n${err}")
endif()
if(DEFINED STDOUT AND NOT out MATCHES "${STDOUT}")
  message(FATAL_ERROR "stdout does not match \"${STDOUT}\":\n${out}")
endif()
if(DEFINED EXPECTED)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUT}" "${EXPECTED}"
    RESULT_VARIABLE differs)
  if(differs)
    file(READ "${OUT}" got)
    message(FATAL_ERROR "${OUT} differs from ${EXPECTED}; it holds:\n${got}")
  endif()
endif()
if(NO_OUT AND EXISTS "${OUT}")
  message(FATAL_ERROR "${OUT} was written although the run failed")
endif()
