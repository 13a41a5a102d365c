# The program for the browser, compiled to WebAssembly (emcmake cmake ...).
# The units are the desktop's own folders, each of which leaves out what the
# browser cannot have; the page itself is assembled by scripts/build-web.sh.
find_package(Threads REQUIRED)
set(CMAKE_EXECUTABLE_SUFFIX .js)
add_compile_options(-fexceptions)
add_link_options(-fexceptions)
foreach(unit IN ITEMS lang platform braille sound mbr voices console speech editor game)
  add_subdirectory(${unit})
endforeach()

# The configuration the page's program reads: the data packaged under
# /placarim/data, the built-in voice speaking words.
set(PGMFALDEK /placarim/data)
set(LETTERS_DIR /placarim/data/letras/)
set(DIPHONE_DIR /placarim/data/difones/)
set(ILVRA_DIR /placarim/data/ilvra/)
set(USE_EXTERNAL_VOICE Nao)
set(EXTERNAL_VOICE_TYPE 3)
configure_file(${PROJECT_SOURCE_DIR}/data/FALDEK.INI.in ${CMAKE_BINARY_DIR}/etc/FALDEK.INI @ONLY)
