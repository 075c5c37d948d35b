# Build helpers: every folder is globbed, so adding a source file needs no edit here.

set(VEXA_ENGINE_LIBS vexa_app vexa_viewer vexa_print vexa_reader vexa_layout vexa_style vexa_images vexa_core vexa_platform)

function(vexa_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# vexa_library(folder deps...) makes vexa_<folder> from <folder>/*.cpp (recursively).
function(vexa_library folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  list(FILTER sources EXCLUDE REGEX "/${folder}/main/")
  set(cpp_sources ${sources})
  list(FILTER cpp_sources INCLUDE REGEX "\\.cpp$")
  set(libs)
  foreach(dep ${ARGN})
    if(dep MATCHES "::")
      list(APPEND libs ${dep})
    else()
      list(APPEND libs vexa_${dep})
    endif()
  endforeach()
  if(cpp_sources)
    add_library(vexa_${folder} STATIC ${sources})
    target_include_directories(vexa_${folder} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(vexa_${folder} PUBLIC ${libs})
    vexa_warnings(vexa_${folder})
  else()
    add_library(vexa_${folder} INTERFACE)
    target_include_directories(vexa_${folder} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(vexa_${folder} INTERFACE ${libs})
  endif()
endfunction()

# Every tools/*.cpp is a command of its own, named after the file (underscores become dashes).
function(vexa_tools)
  file(GLOB tools CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/*.cpp)
  foreach(src ${tools})
    get_filename_component(name ${src} NAME_WE)
    string(REPLACE "_" "-" exe ${name})
    add_executable(${exe} ${src})
    target_link_libraries(${exe} PRIVATE ${VEXA_ENGINE_LIBS})
    vexa_warnings(${exe})
  endforeach()
endfunction()

# tests/<folder>/*.cpp becomes one GoogleTest program <folder>_tests, run headless by ctest.
function(vexa_tests)
  add_library(vexa_test_support STATIC ${PROJECT_SOURCE_DIR}/tests/support/test_main.cpp)
  target_link_libraries(vexa_test_support PUBLIC vexa_platform GTest::gtest GTest::gmock)
  target_compile_definitions(vexa_test_support PUBLIC
    VEXA_SOURCE_DIR="${PROJECT_SOURCE_DIR}" VEXA_TESTDATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  # The include directions between the folders (scripts/check_floors.sh) are a test of their own.
  add_test(NAME floors COMMAND ${PROJECT_SOURCE_DIR}/scripts/check_floors.sh)
  # Headless runs of the tools print nothing but their own output.
  add_test(NAME quiet COMMAND ${PROJECT_SOURCE_DIR}/scripts/check_quiet.sh ${PROJECT_BINARY_DIR})
  set_tests_properties(quiet PROPERTIES
    ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp" TIMEOUT 300)
  file(GLOB dirs LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/tests/*)
  foreach(dir ${dirs})
    get_filename_component(folder ${dir} NAME)
    if(NOT IS_DIRECTORY ${dir} OR folder STREQUAL "support" OR folder STREQUAL "data")
      continue()
    endif()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(NOT sources)
      continue()
    endif()
    add_executable(${folder}_tests ${sources})
    # A folder named after an engine library tests that library; any other (hostile/) tests the whole engine.
    if(TARGET vexa_${folder})
      target_link_libraries(${folder}_tests PRIVATE vexa_${folder} vexa_test_support)
    else()
      target_link_libraries(${folder}_tests PRIVATE ${VEXA_ENGINE_LIBS} vexa_test_support)
    endif()
    vexa_warnings(${folder}_tests)
    add_test(NAME ${folder} COMMAND ${folder}_tests)
    set_tests_properties(${folder} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_FONT_DPI=96;LANG=C.UTF-8;ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1"
      TIMEOUT 900)
    # A folder may add what its tests alone need (test-only libraries, data) in extra.cmake.
    set(VEXA_TEST_TARGET ${folder}_tests)
    include(${dir}/extra.cmake OPTIONAL)
  endforeach()
endfunction()

# bench/*.cpp: one Google Benchmark program per file.
function(vexa_benchmarks)
  file(GLOB benches CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*.cpp)
  foreach(src ${benches})
    get_filename_component(name ${src} NAME_WE)
    add_executable(bench_${name} ${src})
    target_link_libraries(bench_${name} PRIVATE ${VEXA_ENGINE_LIBS} benchmark::benchmark)
    target_compile_definitions(bench_${name} PRIVATE VEXA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  endforeach()
  # Libraries that only the benchmarks compare against (bench/extra.cmake).
  include(${PROJECT_SOURCE_DIR}/bench/extra.cmake OPTIONAL)
endfunction()

# fuzz/*.cpp: libFuzzer targets, only with clang.
function(vexa_fuzzers)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(STATUS "libFuzzer targets need clang; skipped")
    return()
  endif()
  file(GLOB fuzzers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*.cpp)
  foreach(src ${fuzzers})
    get_filename_component(name ${src} NAME_WE)
    add_executable(fuzz_${name} ${src})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${name} PRIVATE ${VEXA_ENGINE_LIBS})
  endforeach()
endfunction()
