# Tests of the synthesizer dispatcher and its bridges.
placarim_test(synth_unit_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/synth_text_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/synth_stream_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/synth_dispatcher_test.cpp
  LIBS placarim_synth Threads::Threads)
placarim_test(synth_espeak_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/synth_espeak_test.cpp
  LIBS placarim_synth Threads::Threads)
placarim_test(synth_speechd_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/synth_speechd_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ssip_fake_server.cpp
  LIBS placarim_synth Threads::Threads)
placarim_test(synth_speechd_daemon_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/synth_speechd_daemon_test.cpp
  LIBS placarim_synth Threads::Threads
  TIMEOUT 120)
placarim_test(synth_speech_path_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/synth_speech_path_test.cpp
  LIBS placarim_synth placarim_speech placarim_platform_fake Threads::Threads)
placarim_test(synth_ilvra_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/synth_ilvra_test.cpp
  LIBS placarim_synth
  ENV "PLACARIM_MBROLA_LIBRARY=$<TARGET_FILE:placarim-mbrola>")
add_dependencies(synth_ilvra_test placarim-mbrola)
foreach(data ilvra_voice_data placarim_ilvra_files)
  if(TARGET ${data})
    add_dependencies(synth_ilvra_test ${data})
  endif()
endforeach()
