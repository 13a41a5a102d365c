# Helpers shared by every unit's CMakeLists.txt.

# placarim_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l] [ENV VAR=value ...]
#               [INCLUDES dir ...])
# One GoogleTest binary, registered with ctest as a single test so that a binary
# that crashes is reported once, by name.
function(placarim_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENV;INCLUDES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${T_INCLUDES})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set(env "PLACARIM_SYSCONFDIR=${CMAKE_CURRENT_BINARY_DIR}/${name}.etc"
          "PLACARIM_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
          "PLACARIM_BINARY_DIR=${PROJECT_BINARY_DIR}"
          ${T_ENV})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  else()
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  endif()
endfunction()

# placarim_fuzzer(NAME SOURCES f.cpp LIBS lib CORPUS dir [SECONDS n])
# A libFuzzer target; ctest runs it over its seed corpus (and the named crash
# inputs kept there) and then fuzzes for a short while.
set(PLACARIM_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs under ctest")
function(placarim_fuzzer name)
  cmake_parse_arguments(F "" "CORPUS;SECONDS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  set(seconds ${PLACARIM_FUZZ_SECONDS})
  if(F_SECONDS)
    set(seconds ${F_SECONDS})
  endif()
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}.corpus)
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
                   ${CMAKE_COMMAND} -DFUZZER=$<TARGET_FILE:${name}> -DSEEDS=${F_CORPUS}
                   -DWORK=${work} -DSECONDS=${seconds}
                   -P ${PROJECT_SOURCE_DIR}/cmake/RunFuzzer.cmake)
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 600
    ENVIRONMENT "PLACARIM_SYSCONFDIR=${CMAKE_CURRENT_BINARY_DIR}/${name}.etc")
endfunction()
