# The program for the browser, compiled to WebAssembly (emcmake cmake ...).
# The units are the desktop's own folders, each of which leaves out what the
# browser cannot have; the page itself is assembled by scripts/build-web.sh.
find_package(Threads REQUIRED)
set(CMAKE_EXECUTABLE_SUFFIX .js)
# Exceptions as JavaScript calls by default; PLACARIM_WASM_EXCEPTIONS takes
# WebAssembly's own (-fwasm-exceptions), which browsers from 2021 on run. With
# Debian's emscripten 3.1.6 only the benchmarks build so: its Asyncify pass,
# which the game needs, aborts on WebAssembly exceptions.
option(PLACARIM_WASM_EXCEPTIONS "Use WebAssembly exception handling" OFF)
if(PLACARIM_WASM_EXCEPTIONS)
  add_compile_options(-fwasm-exceptions)
  add_link_options(-fwasm-exceptions)
else()
  add_compile_options(-fexceptions)
  add_link_options(-fexceptions)
endif()
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
set(EXTERNAL_VOICE_TYPE 6)
configure_file(${PROJECT_SOURCE_DIR}/data/FALDEK.INI.in ${CMAKE_BINARY_DIR}/etc/FALDEK.INI @ONLY)

# The voices' speed in WebAssembly: the desktop's benchmarks compiled for
# node, reading the native tree's data from the real file system
# (node build-web/tradutor_voice_bench.js [--speed N],
#  node build-web/ilvra_words_bench.js [ROUNDS]).
set(PLACARIM_NATIVE_DATA_DIR ${PROJECT_SOURCE_DIR}/build/data CACHE PATH
    "The native build tree's data, for the benchmarks run by node")
add_executable(tradutor_voice_bench ${PROJECT_SOURCE_DIR}/bench/voices/tradutor/voice_bench.cpp)
target_link_libraries(tradutor_voice_bench PRIVATE placarim_tradutor placarim_platform)
target_compile_definitions(tradutor_voice_bench PRIVATE
  PLACARIM_DIFONES_BUILD_DIR="${PLACARIM_NATIVE_DATA_DIR}/difones"
  PLACARIM_BENCH_TEXT="${PROJECT_SOURCE_DIR}/bench/voices/tradutor/texto.txt")
add_executable(ilvra_words_bench ${PROJECT_SOURCE_DIR}/bench/voices/ilvra/ilvra_words_bench.cpp)
target_link_libraries(ilvra_words_bench PRIVATE placarim_ilvra placarim_platform)
target_compile_definitions(ilvra_words_bench PRIVATE
  PLACARIM_ILVRA_DATA="${PLACARIM_NATIVE_DATA_DIR}/ilvra" PLACARIM_MBROLA_LIBRARY="linked"
  PLACARIM_BENCH_TEXT="${PROJECT_SOURCE_DIR}/bench/voices/tradutor/texto.txt")
foreach(bench IN ITEMS tradutor_voice_bench ilvra_words_bench)
  target_include_directories(${bench} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_options(${bench} PRIVATE -sENVIRONMENT=node -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH
                      -sWASM_ASYNC_COMPILATION=0)
  set_target_properties(${bench} PROPERTIES EXCLUDE_FROM_ALL ON)
endforeach()
