if(TARGET placarim_platform_sdl AND TARGET placarim_synth)
  add_executable(synth_latency_bench ${CMAKE_CURRENT_LIST_DIR}/synth_latency_bench.cpp)
  target_link_libraries(synth_latency_bench PRIVATE placarim_synth placarim_speech placarim_platform_sdl)
  target_compile_definitions(synth_latency_bench PRIVATE
    PLACARIM_ILVRA_DATA="${CMAKE_BINARY_DIR}/data/ilvra"
    PLACARIM_TEST_PROSODY="${PROJECT_SOURCE_DIR}/tests/ilvra/data/teste.pro"
    PLACARIM_MBROLA_LIBRARY="$<TARGET_FILE:placarim-mbrola>")
endif()
