# The synthesizer dispatcher and its bridges (in-process espeak-ng, the
# speech-dispatcher service), a library of their own beside the speech layer.
add_library(placarim_synth STATIC
  ${CMAKE_CURRENT_LIST_DIR}/synth_dispatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/synth_espeak.cpp
  ${CMAKE_CURRENT_LIST_DIR}/synth_ilvra.cpp
  ${CMAKE_CURRENT_LIST_DIR}/synth_speechd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/synth_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/synth_text.cpp
)
target_include_directories(placarim_synth PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(placarim_synth
  PUBLIC placarim_platform placarim_ilvra
  PRIVATE PkgConfig::ESPEAKNG PkgConfig::SPEECHD Threads::Threads)
# synth_links.h serves the seams from the console and wave playback; who
# includes it links these.
if(TARGET placarim_console AND TARGET placarim_sound)
  target_link_libraries(placarim_synth PUBLIC placarim_console placarim_sound)
endif()
