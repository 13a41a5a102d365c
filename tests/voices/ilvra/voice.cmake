# The Ilvra voice's pipeline and binding, against stand-in engines and our own.
add_library(ilvra_fake_engine MODULE ${CMAKE_CURRENT_LIST_DIR}/fake_engine.cpp)
add_library(ilvra_incomplete_engine MODULE ${CMAKE_CURRENT_LIST_DIR}/fake_engine.cpp)
target_compile_definitions(ilvra_incomplete_engine PRIVATE FAKE_ENGINE_INCOMPLETE)
placarim_test(ilvra_voice_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/ilvra_voice_test.cpp LIBS placarim_ilvra ${CMAKE_DL_LIBS}
  ENV "ILVRA_FAKE_ENGINE=$<TARGET_FILE:ilvra_fake_engine>"
      "ILVRA_INCOMPLETE_ENGINE=$<TARGET_FILE:ilvra_incomplete_engine>"
      "PLACARIM_MBROLA_LIBRARY=$<TARGET_FILE:placarim-mbrola>")
add_dependencies(ilvra_voice_test ilvra_fake_engine ilvra_incomplete_engine placarim-mbrola ilvra_voice_data
  placarim_ilvra_files)
