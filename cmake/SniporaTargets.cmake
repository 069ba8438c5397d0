# Helpers shared by every folder: one static library per folder, one test
# executable per tests/<folder>/<Name>Test.cpp, one benchmark per
# bench/<folder>/<Name>Bench.cpp.

set(SNIPORA_WARNINGS -Wall -Wextra -Wshadow)
if(SNIPORA_WERROR)
  list(APPEND SNIPORA_WARNINGS -Werror)
endif()

# snipora_library(<folder> SOURCES ... [LIBS ...])
# Defines the target snipora_<folder> (slashes become underscores) with the
# repository root as its include directory, so headers are included as
# "<folder>/<file>.h".
function(snipora_library folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  string(REPLACE "/" "_" name "snipora_${folder}")
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${SNIPORA_WARNINGS})
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

# Seconds a test program may run before ctest stops it: a hang fails within a
# minute. Sanitizer builds run several times slower.
if(SNIPORA_SANITIZE OR SNIPORA_TSAN)
  set(SNIPORA_TEST_TIMEOUT 180)
else()
  set(SNIPORA_TEST_TIMEOUT 60)
endif()

# snipora_executable(<exe> <source> <libs...>): one source file linked with
# the given libraries, warnings on and the repository root as include path.
function(snipora_executable exe source)
  add_executable(${exe} ${source})
  target_compile_options(${exe} PRIVATE ${SNIPORA_WARNINGS})
  target_include_directories(${exe} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${exe} PRIVATE ${ARGN})
endfunction()

# add_unit_test(<folder> <Name>): tests/<folder>/<Name>Test.cpp linked with
# the folder's library and GoogleTest. Widget tests run headless and fail fast
# instead of hanging on an unanswered modal box.
function(add_unit_test folder name)
  string(REPLACE "/" "_" lib "snipora_${folder}")
  string(REPLACE "/" "_" exe "${folder}_${name}Test")
  snipora_executable(${exe} ${PROJECT_SOURCE_DIR}/tests/${folder}/${name}Test.cpp
    ${lib} snipora_testsupport GTest::gtest GTest::gmock GTest::gtest_main)
  add_test(NAME ${folder}/${name} COMMAND ${exe})
  set_tests_properties(${folder}/${name} PROPERTIES
    TIMEOUT ${SNIPORA_TEST_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTEST_FUNCTION_TIMEOUT=60000;SDL_AUDIODRIVER=dummy;SNIPORA_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# add_benchmark(<folder> <Name>): bench/<folder>/<Name>Bench.cpp with Google Benchmark.
function(add_benchmark folder name)
  string(REPLACE "/" "_" lib "snipora_${folder}")
  string(REPLACE "/" "_" exe "bench_${folder}_${name}")
  snipora_executable(${exe} ${PROJECT_SOURCE_DIR}/bench/${folder}/${name}Bench.cpp
    ${lib} benchmark::benchmark benchmark::benchmark_main)
endfunction()
