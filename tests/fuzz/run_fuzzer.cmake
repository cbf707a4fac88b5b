# Runs one libFuzzer target for a bounded time on a scratch copy of its seed
# corpus. Crash inputs land in WORK/artifacts. Fails when the fuzzer reports
# anything (a crash, a sanitizer report, a failed invariant, a leak).
# Usage: cmake -DFUZZER=... -DSEEDS=... -DWORK=... -DSECONDS=... -P run_fuzzer.cmake
file(REMOVE_RECURSE "${WORK}/corpus")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/artifacts")
file(GLOB seeds "${SEEDS}/*")
file(COPY ${seeds} DESTINATION "${WORK}/corpus")

execute_process(
  COMMAND "${FUZZER}" "-max_total_time=${SECONDS}" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048
          "-artifact_prefix=${WORK}/artifacts/" "${WORK}/corpus"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "fuzzer ${FUZZER} failed (${result}); inputs in ${WORK}/artifacts")
endif()
