# The screen review: reading the console screen aloud. It speaks through the
# speech layer, so it is a library of its own above both.
add_library(placarim_review STATIC ${CMAKE_CURRENT_LIST_DIR}/screen_review.cpp)
target_include_directories(placarim_review PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(placarim_review PUBLIC placarim_console placarim_speech)
