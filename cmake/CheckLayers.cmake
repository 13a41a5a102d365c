# Fails when a unit includes a header of a unit above it.
#
#   cmake -DROOT=<source tree> -P CheckLayers.cmake
#
# Every folder of the tree that holds C or C++ sources (tests, benchmarks and
# fuzz targets aside) has a layer below; a file may include headers of its own
# layer and of the layers beneath. Keys come up from the platform, the game
# asks the speech layer to speak, and all sound ends in wave playback:
#
#   5  game tools       the program and the build-time tools
#   4  editor           the line editor and the screen review
#   3  speech           speaking text and sounds, the synthesizer dispatcher
#   2  console          screen, key queue, message pump (the main loop)
#      voices           the voice interface and table, one folder per voice
#   1  braille sound    wave playback, the main-loop and sound-output ports
#   0  platform mbr lang
#
# Under voices/ each voice's folder is a unit of its own. lang/, the
# Portuguese shared by every voice and the editor, is the very bottom: it
# includes nothing of the project but itself.
#
# Inside platform/, the interfaces and their system-free helpers must not
# include an implementation (sdl/, term/, fake/).
cmake_minimum_required(VERSION 3.25)

set(layer_of_platform 0)
set(layer_of_mbr 0)
set(layer_of_lang 0)
set(layer_of_braille 1)
set(layer_of_sound 1)
set(layer_of_voices 2)
set(layer_of_voices/tradutor 2)
set(layer_of_voices/ilvra 2)
set(layer_of_voices/espeak 2)
set(layer_of_voices/speechd 2)
set(layer_of_console 2)
set(layer_of_speech 3)
set(layer_of_editor 4)
set(layer_of_game 5)
set(layer_of_tools 5)
set(not_units tests bench fuzz cmake scripts data)

if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source tree> -P CheckLayers.cmake")
endif()

# The unit a path belongs to: its first folder, or under voices/ its first two.
function(unit_of out path)
  string(REGEX MATCH "^voices/[^/]+/" unit "${path}")
  if(unit)
    string(REGEX REPLACE "/$" "" unit "${unit}")
  else()
    string(REGEX MATCH "^[^/]+" unit "${path}")
  endif()
  set(${out} ${unit} PARENT_SCOPE)
endfunction()

set(faults "")
file(GLOB sources RELATIVE ${ROOT} ${ROOT}/*/*.h ${ROOT}/*/*.cpp ${ROOT}/*/*/*.h ${ROOT}/*/*/*.cpp
     ${ROOT}/*/*/*/*.h ${ROOT}/*/*/*/*.cpp)
list(SORT sources)
foreach(source IN LISTS sources)
  unit_of(unit ${source})
  if(unit IN_LIST not_units OR unit MATCHES "^build")
    continue()
  endif()
  if(NOT DEFINED layer_of_${unit})
    list(APPEND faults "${source}: the folder ${unit}/ has no layer in cmake/CheckLayers.cmake")
    continue()
  endif()
  file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*" "\\1" header "${line}")
    unit_of(used ${header})
    if(NOT DEFINED layer_of_${used})
      continue()  # a system or third-party header
    endif()
    if(layer_of_${used} GREATER layer_of_${unit})
      list(APPEND faults "${source}: ${unit}/ (layer ${layer_of_${unit}}) includes ${header} (layer ${layer_of_${used}})")
    endif()
    if(unit STREQUAL "lang" AND NOT used STREQUAL "lang")
      list(APPEND faults "${source}: lang/ is the bottom and includes ${header}")
    endif()
    if(source MATCHES "^platform/[^/]+$" AND header MATCHES "^platform/(sdl|term|fake|brlapi)/")
      list(APPEND faults "${source}: the platform's interfaces include an implementation, ${header}")
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes against the layers:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "Layers kept by ${count} files")
