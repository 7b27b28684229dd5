find_package(GTest REQUIRED)
include(GoogleTest)

# yav_test(NAME LABEL unit|ui|e2e SOURCES ... [DEPS ...])
# ui tests run Qt offscreen; every test runs from the program folder so that the
# resources next to the executable are found as the program finds them.
function(yav_test name)
  cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_LABEL)
    message(FATAL_ERROR "yav_test(${name}): LABEL unit|ui|e2e is required")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  yav_set_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  set(env "")
  if(ARG_LABEL STREQUAL "ui")
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  list(APPEND env "YAV_TEST_OUTPUT_DIR=${CMAKE_BINARY_DIR}/test-output")
  # Listing the tests (discovery) runs the binary too, before ctest sets the environment, so the
  # launcher carries the whole environment (with discovery at test time, gtest_discover_tests
  # keeps only the first entry of a list given as the ENVIRONMENT property). The launcher also
  # gives every test process its own user data base in the build tree: never the real home,
  # and never one shared by tests running in parallel.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "/usr/bin/env;${env};${CMAKE_SOURCE_DIR}/cmake/test-launcher.sh;${CMAKE_BINARY_DIR}/test-home/${name}")
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${YAV_PROGRAM_DIR}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${env}")
endfunction()
