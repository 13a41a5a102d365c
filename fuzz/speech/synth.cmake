placarim_fuzzer(synth_text_fuzzer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/synth_text_fuzzer.cpp
  LIBS placarim_synth
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/synth_text_fuzzer)
