find_package(GTest REQUIRED)
include(GoogleTest)

# yav_test(NAME LABEL unit|ui|e2e SOURCES ... [DEPS ...] [TIMEOUT s] [TSAN])
# ui tests run Qt offscreen; every test runs from the program folder so that the
# resources next to the executable are found as the program finds them.
# TSAN marks a program whose threads touch shared state: its tests also carry the label tsan and
# make up the ThreadSanitizer build (-DYAV_SANITIZE=thread), which builds them alone (target
# yav_tsan_tests) and runs them with `ctest -L tsan`. Qt is not built with TSan, so a program
# whose threads meet inside Qt reports races that are not ours: mark only programs whose
# threads share our own code.
function(yav_test name)
  cmake_parse_arguments(ARG "TSAN" "LABEL;TIMEOUT" "SOURCES;DEPS" ${ARGN})
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
  if(YAV_SANITIZE STREQUAL "thread" AND NOT ARG_TSAN)
    # Not part of the ThreadSanitizer run: neither built nor listed there.
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
    return()
  endif()
  if(ARG_TSAN)
    if(NOT TARGET yav_tsan_tests)
      add_custom_target(yav_tsan_tests)
    endif()
    add_dependencies(yav_tsan_tests ${name})
  endif()
  set(env "")
  if(ARG_LABEL STREQUAL "ui")
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  # Each build's tests read one GStreamer plugin registry of their own, which scripts/test.sh
  # builds before the tests run: parallel test processes never rescan the plugins at once, and a
  # sanitizer build never leaves its view of the plugins to the others.
  list(APPEND env "YAV_TEST_OUTPUT_DIR=${CMAKE_BINARY_DIR}/test-output"
       "GST_REGISTRY=${CMAKE_BINARY_DIR}/gstreamer-registry.bin" ${YAV_SANITIZE_TEST_ENV})
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
  if(ARG_TSAN)
    # A list does not survive the discovery's PROPERTIES either: the second label is set by a
    # script ctest reads after the discovered tests (${name}_TESTS lists them).
    set(labels_script ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
    file(WRITE ${labels_script}
      "if(${name}_TESTS)\n"
      "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${ARG_LABEL};tsan\")\n"
      "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${labels_script})
  endif()
endfunction()

# Tests write their grabs and files here from the first run on.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-output)
