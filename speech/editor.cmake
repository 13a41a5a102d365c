# The spoken line editor.
add_library(placarim_editor STATIC ${CMAKE_CURRENT_LIST_DIR}/line_editor.cpp)
target_include_directories(placarim_editor PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(placarim_editor PUBLIC placarim_speech placarim_console placarim_sound)
