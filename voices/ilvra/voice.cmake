# The Ilvra voice's pipeline and its binding to a diphone engine: on the
# desktop loaded at run time (ours by default: the placarim-mbrola library of
# mbr/, found beside the program, where both the build and the installation
# put it); in the browser, which has no dlopen, the same engine linked in.
target_sources(placarim_ilvra PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ilvra_voice.cpp)
if(PLACARIM_WEB)
  target_sources(placarim_ilvra PRIVATE ${CMAKE_CURRENT_LIST_DIR}/mbrola_linked.cpp)
  target_link_libraries(placarim_ilvra PRIVATE placarim_mbr_linked)
else()
  target_sources(placarim_ilvra PRIVATE ${CMAKE_CURRENT_LIST_DIR}/mbrola_library.cpp)
  target_link_libraries(placarim_ilvra PRIVATE ${CMAKE_DL_LIBS})
  add_dependencies(placarim_ilvra placarim-mbrola)
endif()
