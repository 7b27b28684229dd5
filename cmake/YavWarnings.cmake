# Warnings are errors for every target of the project.
function(yav_set_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough -Werror)
  if(YAV_SANITIZE)
    # GCC's flow-based object-size warnings see the sanitizers' checks as paths and report
    # bounds that no run can reach (GCC's manual advises against -Werror with sanitizers); the
    # plain build keeps them errors.
    target_compile_options(${target} PRIVATE -Wno-error=stringop-overflow)
  endif()
endfunction()

# A project library: yav_library(NAME SOURCES ... [QT] [DEPS ...])
function(yav_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PUBLIC_INCLUDES" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  yav_set_warnings(${name})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${ARG_PUBLIC_INCLUDES})
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
endfunction()
