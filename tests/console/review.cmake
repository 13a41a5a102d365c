placarim_test(console_screen_review_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/screen_review_test.cpp
  LIBS placarim_review placarim_editor placarim_platform_fake)
