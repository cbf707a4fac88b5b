# Runs tarrow-replay on one transcript and compares its output byte for byte
# with the committed expectation. Called by CTest as a script:
#   -DTOOL=<tarrow-replay> [-DEMULATOR=<wine-run>] -DCASE_DIR=<dir> -DCASE=<name> -DOUT_DIR=<dir>
#   [-DINPUT=<case>] [-DEXTRA_ARG=<argument>] [-DEXPECTED=<file>]
# <name>.in is standard input; <name>.args, when present, holds one argument
# per line in UTF-8; <name>.rc, when present, the expected exit code (else 0);
# <name>.expected the expected standard output. INPUT runs another case's
# input and arguments, EXTRA_ARG adds a last argument, EXPECTED names the
# expectation: the language transcripts share one case.
if(NOT INPUT)
  set(INPUT "${CASE}")
endif()
set(input "${CASE_DIR}/${INPUT}.in")
set(expected "${CASE_DIR}/${CASE}.expected")
if(EXPECTED)
  set(expected "${EXPECTED}")
endif()
set(actual "${OUT_DIR}/${CASE}.out")
set(errors "${OUT_DIR}/${CASE}.err")

set(args "")
if(EXISTS "${CASE_DIR}/${INPUT}.args")
  file(STRINGS "${CASE_DIR}/${INPUT}.args" args ENCODING UTF-8)
endif()
if(EXTRA_ARG)
  list(APPEND args "${EXTRA_ARG}")
endif()
set(want_rc 0)
if(EXISTS "${CASE_DIR}/${CASE}.rc")
  file(STRINGS "${CASE_DIR}/${CASE}.rc" want_rc LIMIT_COUNT 1)
endif()

# Output to files, not pipes: a wineserver started by the run could otherwise
# hold a pipe open after the program has ended.
# The tool writes its start record before anything else and explains each of
# its own failures on standard error, so a run that fails having written
# nothing to either stream never reached the tool's code. Under Wine on a busy
# machine a start now and then ends that way (exit code 1, both streams
# empty); such a run is tried again, at most twice, and said so.
foreach(attempt RANGE 1 3)
  execute_process(
    COMMAND ${EMULATOR} "${TOOL}" ${args}
    INPUT_FILE "${input}"
    OUTPUT_FILE "${actual}"
    ERROR_FILE "${errors}"
    RESULT_VARIABLE rc)
  file(SIZE "${actual}" written)
  file(SIZE "${errors}" complained)
  if(rc STREQUAL want_rc OR written GREATER 0 OR complained GREATER 0)
    break()
  endif()
  message(STATUS "run ${attempt} of 3: exit code ${rc} with nothing written")
endforeach()
if(NOT rc STREQUAL want_rc)
  file(READ "${errors}" err)
  message(FATAL_ERROR "exit code ${rc}, expected ${want_rc}\n${err}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${actual}" "${expected}" RESULT_VARIABLE differs)
if(differs)
  find_program(DIFF diff)
  if(DIFF)
    execute_process(COMMAND "${DIFF}" -u "${expected}" "${actual}")
  endif()
  message(FATAL_ERROR "output of ${CASE} differs from ${expected} (actual output kept in ${actual})")
endif()
