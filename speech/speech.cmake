# The speech layer: configuration lookup, speaking text and sounds, numbers and time.
add_library(placarim_speech STATIC
  ${CMAKE_CURRENT_LIST_DIR}/config_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ini_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/local_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/number_words.cpp
  ${CMAKE_CURRENT_LIST_DIR}/speech.cpp
  ${CMAKE_CURRENT_LIST_DIR}/speech_numbers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/speech_start.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wave_image.cpp
)
target_include_directories(placarim_speech PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(placarim_speech PUBLIC placarim_platform)
# The links to the console and wave playback (console_link.h, wave_link.h,
# speech_layer.h) are header-only; who includes them links these.
target_link_libraries(placarim_speech PUBLIC placarim_console placarim_sound)
