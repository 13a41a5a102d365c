# Fails when an include crosses from one folder to another along an edge this
# file does not allow.
#
#   cmake -DROOT=<source tree> -P CheckLayers.cmake
#
# Production code: a file may include headers of its own folder and of the
# folders its folder's allow() line names, nothing else of ours. Edges are
# direct: a folder that needs a header two floors down names that folder too.
# Every folder that holds sources needs a line, so a new folder is placed on
# purpose (ARCHITECTURE.md draws the picture these lines make).
#
# Tests, benchmarks and fuzz targets: tests/X, bench/X and fuzz/X belong to
# the folder X (the longest folder of the table their path starts with). They
# may include X, every folder X reaches through the table, the shared
# fixtures in tests/support/, the platform implementations a test runs on
# (test_hosts), what a test_allow() line adds, and their own folder; never
# another unit's test folder. They include fixtures by their path, so a bare
# "name.h" must lie beside the file.
cmake_minimum_required(VERSION 3.25)

set(units "")
set(bottom_units "")
# allow(FOLDER [FOLDERS IT MAY INCLUDE...])
macro(allow folder)
  list(APPEND units ${folder})
  set(uses_${folder} ${ARGN})
endmacro()
# test_allow(FOLDER [FOLDERS...]): what the tests of FOLDER may include beyond
# its reach, each line with its reason.
macro(test_allow folder)
  set(test_uses_${folder} ${ARGN})
endmacro()
# only_from(FOLDER FILES...): the production files that may include FOLDER;
# an allow() edge to it covers these files and no others. For an
# implementation that only the program's entry point builds, so that no
# interface or other file of the folder comes to depend on it.
macro(only_from folder)
  set(only_from_${folder} ${ARGN})
endmacro()
# bottom(FOLDER): a folder every folder may include and that includes none of
# ours (it still needs an allow() line without edges).
macro(bottom folder)
  list(APPEND bottom_units ${folder})
endmacro()

# The language library: the Portuguese every voice and the editor share. Any
# folder may include it, and it includes nothing of ours.
allow(lang)
bottom(lang)

# The platform: small interfaces at the foot, their implementations beside.
allow(platform)
allow(platform/audio          platform platform/audio/sdl platform/audio/pulse)
# A sink implements its parent's interface, and the parent's table names it.
allow(platform/audio/sdl      platform platform/audio)
allow(platform/audio/pulse    platform/audio)
allow(platform/posix          platform)
allow(platform/fake           platform)
allow(platform/sdl            platform platform/audio platform/audio/sdl platform/posix)
allow(platform/term           platform platform/audio platform/posix)
# The braille display through the braille daemon's client library: made by
# the program's entry point alone, used by everyone through the interface.
allow(platform/brlapi         platform)
only_from(platform/brlapi     game/main.cpp)
# The browser: the console drawn with the SDL folder's system-free image and
# font code, sound through its own Web Audio sink.
allow(platform/web            platform platform/audio platform/audio/web platform/sdl)
allow(platform/audio/web      platform platform/audio)

# Text to braille cells, read by the console's display line.
allow(braille)

# The engine reads decimal numbers with the platform's locale-free reader.
allow(mbr                     platform)
allow(sound                   platform)
allow(console                 platform sound braille)
# The speech layer picks a voice from the table and asks its flags; the
# built-in voice speaks through it.
allow(speech                  platform sound console voices voices/tradutor)
# The voices: the interface and the table (voices/), whose entries make the
# drivers of the folders below it; each driver implements the interface and
# speaks through the sound-output and main-loop ports.
allow(voices                  platform sound voices/espeak voices/ilvra voices/speechd voices/browser)
allow(voices/tradutor         platform sound voices)
allow(voices/espeak           voices)
allow(voices/speechd          voices)
allow(voices/ilvra            platform sound voices mbr)
allow(voices/browser          platform voices)
allow(editor                  platform sound console speech)
# The game reaches the braille daemon only from main.cpp (see only_from above).
allow(game                    platform platform/sdl platform/term platform/brlapi platform/web
                              console sound speech editor voices/tradutor)

allow(tools/soundkit          platform)
allow(tools/difones           voices/tradutor)
allow(tools/ilvra             platform voices/ilvra)
allow(tools/ilvra_voice       mbr tools/soundkit)
allow(tools/vowel_lexicon     platform voices/ilvra voices/tradutor)
# The tools as a whole: no sources of its own, the unit tests/tools belongs to.
allow(tools                   tools/soundkit tools/difones tools/ilvra tools/ilvra_voice
                              tools/vowel_lexicon)

# Wave playback is tested with the console that hosts it; the built-in voice
# is heard through the speech layer, over the game's own sentences.
test_allow(sound              console)
test_allow(voices/tradutor    speech game tools/vowel_lexicon)
# The voices' rules are measured against the vowel lexicon tool; the braille
# display is tested with the console line it shows.
test_allow(voices             platform voices/ilvra voices/tradutor tools/vowel_lexicon)
test_allow(platform/brlapi    console braille)

# What tests and benchmarks may run their unit on besides their unit's own
# reach: the headless platform and the real ones.
set(test_hosts platform/fake platform/sdl platform/term platform/posix platform/brlapi
               platform/audio platform/audio/sdl platform/audio/pulse platform/web)
set(test_roots tests bench fuzz)
set(skipped tests/layering cmake scripts data)

if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source tree> -P CheckLayers.cmake")
endif()

# The folders `unit` reaches through the table, itself and the bottom included.
function(reach out unit)
  set(seen ${unit} ${bottom_units})
  set(todo ${unit})
  while(todo)
    list(POP_FRONT todo next)
    foreach(used IN LISTS uses_${next})
      if(NOT used IN_LIST seen)
        list(APPEND seen ${used})
        list(APPEND todo ${used})
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# The longest folder of the table that `folder` is or lies in; empty if none.
function(unit_holding out folder)
  set(best "")
  foreach(unit IN LISTS units)
    string(LENGTH "${unit}" length)
    string(LENGTH "${best}" best_length)
    if((folder STREQUAL unit OR folder MATCHES "^${unit}/") AND length GREATER best_length)
      set(best ${unit})
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

set(faults "")
set(sources "")
file(GLOB tops RELATIVE ${ROOT} LIST_DIRECTORIES true ${ROOT}/*)
foreach(top IN LISTS tops)
  if(IS_DIRECTORY ${ROOT}/${top} AND NOT top MATCHES "^(build|\\.)")
    file(GLOB_RECURSE found RELATIVE ${ROOT} ${ROOT}/${top}/*.h ${ROOT}/${top}/*.cpp ${ROOT}/${top}/*.c)
    list(APPEND sources ${found})
  endif()
endforeach()
list(SORT sources)

foreach(source IN LISTS sources)
  get_filename_component(folder ${source} DIRECTORY)
  string(REGEX MATCH "^[^/]+" top "${source}")
  set(is_skipped FALSE)
  foreach(skip IN LISTS skipped)
    if(folder STREQUAL skip OR folder MATCHES "^${skip}/")
      set(is_skipped TRUE)
    endif()
  endforeach()
  if(is_skipped OR folder STREQUAL "")
    continue()
  endif()

  # Who the file is and what it may include.
  set(is_test FALSE)
  if(top IN_LIST test_roots)
    set(is_test TRUE)
    if(folder STREQUAL "tests/support")
      set(unit "tests/support")
      set(may ${units})  # fixtures stand in for any unit
    else()
      string(REGEX REPLACE "^[^/]+/(.*)$" "\\1" tested "${folder}")
      unit_holding(unit "${tested}")
      if(unit STREQUAL "")
        list(APPEND faults "${source}: ${folder}/ tests no folder of cmake/CheckLayers.cmake")
        continue()
      endif()
      reach(may ${unit})
      list(APPEND may ${test_hosts} ${test_uses_${unit}})
    endif()
  else()
    set(unit ${folder})
    if(NOT unit IN_LIST units)
      list(APPEND faults "${source}: the folder ${unit}/ has no allow() line in cmake/CheckLayers.cmake")
      continue()
    endif()
    set(may ${unit} ${uses_${unit}} ${bottom_units})
  endif()

  file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*" "\\1" header "${line}")
    get_filename_component(header_folder "${header}" DIRECTORY)
    if(header_folder STREQUAL "")
      if(is_test AND NOT EXISTS ${ROOT}/${folder}/${header})
        list(APPEND faults "${source}: includes \"${header}\" by name only, and it is not beside it: include fixtures by their path, tests/support/${header}")
      endif()
      continue()
    endif()
    string(REGEX MATCH "^[^/]+" header_top "${header}")
    if(header_top IN_LIST test_roots)
      if(header_folder STREQUAL folder OR header_folder STREQUAL "tests/support")
        continue()
      endif()
      if(is_test)
        list(APPEND faults "${source}: includes ${header}, another unit's test folder: shared fixtures live in tests/support/")
      else()
        list(APPEND faults "${source}: ${unit}/ includes test code, ${header}")
      endif()
      continue()
    endif()
    if(NOT header_folder IN_LIST units)
      unit_holding(near "${header_folder}")
      if(NOT near STREQUAL "" OR EXISTS ${ROOT}/${header_top})
        list(APPEND faults "${source}: includes ${header}, whose folder has no allow() line in cmake/CheckLayers.cmake")
      endif()
      continue()  # otherwise a system or third-party header
    endif()
    if(NOT header_folder IN_LIST may)
      if(is_test)
        list(APPEND faults "${source}: a test of ${unit}/ includes ${header}, and ${unit}/ does not reach ${header_folder}/")
      else()
        list(APPEND faults "${source}: ${unit}/ includes ${header}, and ${header_folder}/ is not among the folders ${unit}/ may use")
      endif()
    elseif(NOT is_test AND DEFINED only_from_${header_folder} AND NOT unit STREQUAL header_folder
           AND NOT source IN_LIST only_from_${header_folder})
      list(JOIN only_from_${header_folder} ", " allowed)
      list(APPEND faults "${source}: includes ${header}, and only ${allowed} may include ${header_folder}/")
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes against the allowed edges:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "Allowed edges kept by ${count} files")
