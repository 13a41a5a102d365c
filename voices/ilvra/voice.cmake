# The Ilvra voice's pipeline and its binding to a diphone engine loaded at run
# time (ours by default: the placarim-mbrola library of mbr/, found beside the
# program or else where the build made it).
target_sources(placarim_ilvra PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ilvra_voice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mbrola_library.cpp
)
target_link_libraries(placarim_ilvra PRIVATE ${CMAKE_DL_LIBS})
target_compile_definitions(placarim_ilvra PRIVATE PLACARIM_MBROLA_BUILD_PATH="$<TARGET_FILE:placarim-mbrola>")
add_dependencies(placarim_ilvra placarim-mbrola)
