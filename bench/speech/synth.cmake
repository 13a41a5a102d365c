if(TARGET placarim_platform_sdl AND TARGET placarim_synth)
  add_executable(synth_latency_bench ${CMAKE_CURRENT_LIST_DIR}/synth_latency_bench.cpp)
  target_link_libraries(synth_latency_bench PRIVATE placarim_synth placarim_speech placarim_platform_sdl)
endif()
