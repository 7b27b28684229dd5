# Sanitizer builds for CI: -DYAV_SANITIZE=address (AddressSanitizer with UndefinedBehavior-
# Sanitizer, halting on the first report) or -DYAV_SANITIZE=thread (ThreadSanitizer). The flags
# go to every target of the project, so no translation unit is left uninstrumented by accident.
# The plain build (empty) is the one that produces the program.
set(YAV_SANITIZE "" CACHE STRING "Sanitizer for every target: empty, address or thread")
set_property(CACHE YAV_SANITIZE PROPERTY STRINGS "" address thread)

if(YAV_SANITIZE STREQUAL "address")
  set(YAV_SANITIZE_FLAGS
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
elseif(YAV_SANITIZE STREQUAL "thread")
  set(YAV_SANITIZE_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
elseif(NOT YAV_SANITIZE STREQUAL "")
  message(FATAL_ERROR "YAV_SANITIZE=${YAV_SANITIZE}: use address, thread or nothing")
endif()

if(YAV_SANITIZE_FLAGS)
  add_compile_options(${YAV_SANITIZE_FLAGS})
  add_link_options(${YAV_SANITIZE_FLAGS})
endif()

# What a test process (and every process it starts) runs with under a sanitizer. A report fails
# the test: ASan and UBSan end the process at the first one, TSan ends it with exit code 66 after
# reporting them all.
set(YAV_SANITIZE_TEST_ENV "")
if(YAV_SANITIZE STREQUAL "address")
  list(APPEND YAV_SANITIZE_TEST_ENV
    "ASAN_OPTIONS=detect_stack_use_after_return=1"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
elseif(YAV_SANITIZE STREQUAL "thread")
  list(APPEND YAV_SANITIZE_TEST_ENV
    "TSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/cmake/tsan.supp:second_deadlock_stack=1")
endif()

# yav_build_tool(target): a program the build itself runs (a generator). It is never built with
# a sanitizer: its run is a build step, not a test, and a report inside an uninstrumented
# library it calls (Qt's painting threads under ThreadSanitizer) would stop the build.
function(yav_build_tool target)
  if(YAV_SANITIZE_FLAGS)
    foreach(property COMPILE_OPTIONS LINK_OPTIONS)
      get_target_property(options ${target} ${property})
      if(options)
        list(REMOVE_ITEM options ${YAV_SANITIZE_FLAGS})
        set_target_properties(${target} PROPERTIES ${property} "${options}")
      endif()
    endforeach()
  endif()
endfunction()
