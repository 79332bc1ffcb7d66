# Unit tests against the in-memory platform, with AddressSanitizer and
# UndefinedBehaviorSanitizer.
option(VELMORANT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VELMORANT_SANITIZE)
  set(VELMORANT_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(velmorant_logic PUBLIC ${VELMORANT_SANITIZERS})
  target_link_options(velmorant_logic PUBLIC ${VELMORANT_SANITIZERS})
endif()

add_library(velmorant_fake STATIC tests/fake/FakePlatform.cpp)
target_link_libraries(velmorant_fake PUBLIC velmorant_logic)

find_package(GTest REQUIRED)
add_executable(unit_tests
  tests/unit/registry_queries_test.cpp
  tests/unit/launch_application_test.cpp
  tests/unit/fixed_locations_test.cpp
  tests/unit/path_text_test.cpp
  tests/unit/runtime_text_test.cpp
  tests/unit/current_runtimes_test.cpp
  tests/unit/window_layout_test.cpp
  tests/unit/trace_test.cpp
)
target_link_libraries(unit_tests PRIVATE velmorant_fake GTest::gtest GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(unit_tests)

# The fuzz target needs clang's libFuzzer; the fuzz preset builds with clang.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND VELMORANT_FUZZ)
  add_executable(search_fuzzer tests/fuzz/search_fuzzer.cpp)
  target_compile_options(search_fuzzer PRIVATE -fsanitize=fuzzer)
  target_link_options(search_fuzzer PRIVATE -fsanitize=fuzzer)
  target_link_libraries(search_fuzzer PRIVATE velmorant_fake)
  set(VELMORANT_FUZZ_SECONDS 60 CACHE STRING "How long the fuzz test runs")
  add_test(NAME search_fuzzer
    COMMAND search_fuzzer -max_total_time=${VELMORANT_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048
            ${CMAKE_BINARY_DIR}/fuzz-corpus ${CMAKE_CURRENT_SOURCE_DIR}/tests/fuzz/corpus)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz-corpus)
  set_tests_properties(search_fuzzer PROPERTIES TIMEOUT 300)
endif()
