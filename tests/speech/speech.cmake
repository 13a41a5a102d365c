# Tests of the speech layer.
set(dir ${CMAKE_CURRENT_LIST_DIR})
placarim_test(speech_values_test
  SOURCES ${dir}/config_values_test.cpp ${dir}/local_path_test.cpp ${dir}/number_words_test.cpp
          ${dir}/wave_image_test.cpp
  LIBS placarim_speech)
placarim_test(speech_layer_test
  SOURCES ${dir}/speech_start_test.cpp ${dir}/speak_text_test.cpp ${dir}/sounds_and_keys_test.cpp
          ${dir}/numbers_test.cpp
  LIBS placarim_speech)
placarim_test(speech_ini_test
  SOURCES ${dir}/ini_reader_test.cpp
  LIBS placarim_speech)
placarim_test(speech_platform_test
  SOURCES ${dir}/speech_platform_test.cpp
  LIBS placarim_speech placarim_platform_fake)
