# Runs one libFuzzer target: first every seed once (regression inputs included),
# then a fresh fuzzing run of SECONDS seconds over a scratch copy of the seeds.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(GLOB seeds ${SEEDS}/*)
if(seeds)
  execute_process(COMMAND ${FUZZER} -runs=0 ${SEEDS} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed on its seed corpus")
  endif()
endif()
execute_process(COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
                        -print_final_stats=1 ${WORK} ${SEEDS}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a failing input; see the crash- file in the build tree")
endif()
