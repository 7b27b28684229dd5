# Which folder of the sources may include which, and the checks that hold the sources to it.
# docs/folders.md explains the map; the tables below are the map itself.
#
#   include(cmake/YavIncludeDirection.cmake)   defines the rules and
#       yav_add_include_direction_check()      a build step that scans the sources whenever one
#                                              changes, and
#       yav_check_link_direction()             a configure-time check of the targets' links;
#   cmake -DYAV_SOURCE_ROOT=<tree> -P cmake/YavIncludeDirection.cmake
#                                              scans a tree once and fails on every include
#                                              against the direction.
#
# An include ("" or <>) is resolved as the compiler would find it here: beside the including
# file, from the top of the tree, from client/, else by the one file of the tree whose path ends
# with the included name (a name that several files end with must say its folder). A name that
# is no file of the tree (Qt, GStreamer, the standard library) is not checked.

if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

# The client's folders from the top down: a folder includes only folders below it.
set(YAV_CLIENT_LAYERS
  client              # main.cpp
  client/app          # start-up and command line
  client/conference   # the room: composes its windows and the media manager
  client/dialogs      # the windows, one folder each (see the arrows below)
  client/media        # the media manager and the layout manager
  client/roomapi      # what the room and the parts it composes agree on
  client/ui           # the toolkit: dialog bases, controls, message boxes
  client/config       # settings, texts, skins
  client/Common)      # utilities, locks, threads, buffers

# Between the windows' folders only these arrows ("from>to").
set(YAV_DIALOG_ARROWS
  video>users         # the video-cycle filter holds the check-box user list; the preview window
                      # is driven by the participant tree
  users>chat)         # the participant window hosts the chat page

set(YAV_SCANNED_TOPS client platform components server tools)
set(YAV_SCANNED_SUFFIXES h hpp cpp cc c)

# The folder a path (relative to the top of the tree) belongs to; empty when no rule names it.
function(yav_area path out)
  if(path MATCHES "^client/dialogs/([^/]+)/")
    set(area "client/dialogs/${CMAKE_MATCH_1}")
  elseif(path MATCHES "^client/([^/]+)/")
    set(area "client/${CMAKE_MATCH_1}")
  elseif(path MATCHES "^client/[^/]+$")
    set(area "client")
  elseif(path MATCHES "^(platform|components)/([^/]+)/")
    set(area "${CMAKE_MATCH_1}/${CMAKE_MATCH_2}")
  elseif(path MATCHES "^(server|tools)/")
    set(area "${CMAKE_MATCH_1}")
  else()
    set(area "")
  endif()
  set(${out} "${area}" PARENT_SCOPE)
endfunction()

function(_yav_client_rank area out)
  if(area MATCHES "^client/dialogs/")
    set(area "client/dialogs")
  endif()
  list(FIND YAV_CLIENT_LAYERS "${area}" rank)
  set(${out} ${rank} PARENT_SCOPE)
endfunction()

# Sets out to why folder `from` may not include (or link) folder `to`; empty when it may.
function(yav_forbidden from to out)
  set(why "")
  if(from STREQUAL "" OR to STREQUAL "" OR from STREQUAL to)
    # Same folder, or a folder no rule names (tests, benchmarks, resources).
  elseif(from MATCHES "^client")
    if(to MATCHES "^server")
      set(why "the client reaches the server over the wire only")
    elseif(to MATCHES "^client")
      _yav_client_rank("${from}" from_rank)
      _yav_client_rank("${to}" to_rank)
      if(from_rank EQUAL -1)
        set(why "${from} is not in the map of folders (YAV_CLIENT_LAYERS)")
      elseif(to_rank EQUAL -1)
        set(why "${to} is not in the map of folders (YAV_CLIENT_LAYERS)")
      elseif(from_rank EQUAL to_rank)
        string(REGEX REPLACE "^client/dialogs/" "" from_dialog "${from}")
        string(REGEX REPLACE "^client/dialogs/" "" to_dialog "${to}")
        if(NOT "${from_dialog}>${to_dialog}" IN_LIST YAV_DIALOG_ARROWS)
          string(REPLACE ";" ", " arrows "${YAV_DIALOG_ARROWS}")
          set(why "${from} may not include ${to}: between the windows' folders only ${arrows}")
        endif()
      elseif(from_rank GREATER to_rank)
        set(why "${from} lies below ${to}: dependencies point down only")
      endif()
    endif()
  elseif(from MATCHES "^platform/")
    if(to MATCHES "^(client|components|server|tools)")
      set(why "platform/ knows no part of the program")
    elseif(from STREQUAL "platform/core" AND to STREQUAL "platform/window")
      set(why "platform/core lies below the window framework")
    endif()
  elseif(from MATCHES "^components/")
    if(to MATCHES "^(client|server|tools)")
      set(why "components/ knows no part of the program")
    elseif(to MATCHES "^platform/window")
      set(why "components use the non-GUI parts of platform/ only")
    endif()
  elseif(from STREQUAL "server")
    if(to MATCHES "^(client|tools)")
      set(why "the server knows no part of the client")
    elseif(to MATCHES "^platform/window")
      set(why "the server uses the non-GUI parts of platform/ only")
    elseif(to MATCHES "^components/" AND NOT to STREQUAL "components/protocol")
      set(why "the server shares only the protocol library with the components")
    endif()
  elseif(from STREQUAL "tools")
    if(to MATCHES "^(client|server)")
      set(why "the outside programs know no part of the client or the server")
    endif()
  endif()
  set(${out} "${why}" PARENT_SCOPE)
endfunction()

# The line number of a line's first occurrence in a file.
function(_yav_line_number path text out)
  file(READ "${path}" content)
  string(FIND "${content}" "${text}" offset)
  string(SUBSTRING "${content}" 0 ${offset} before)
  string(REGEX MATCHALL "\n" breaks "${before}")
  list(LENGTH breaks count)
  math(EXPR number "${count} + 1")
  set(${out} ${number} PARENT_SCOPE)
endfunction()

# Scans every source below the tops of `root`; sets out to one line per include against the
# direction (file:line, the included file, why).
function(yav_scan_includes root out)
  set(globs "")
  foreach(top IN LISTS YAV_SCANNED_TOPS)
    foreach(suffix IN LISTS YAV_SCANNED_SUFFIXES)
      list(APPEND globs "${root}/${top}/*.${suffix}")
    endforeach()
  endforeach()
  file(GLOB_RECURSE files RELATIVE "${root}" ${globs})
  list(SORT files)
  # Every file under its own name, for includes that name a file without its folder.
  foreach(file IN LISTS files)
    get_filename_component(name "${file}" NAME)
    list(APPEND "named_${name}" "${file}")
  endforeach()

  set(problems "")
  foreach(file IN LISTS files)
    yav_area("${file}" from)
    if(from STREQUAL "")
      continue()
    endif()
    file(STRINGS "${root}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    if(NOT lines)
      continue()
    endif()
    get_filename_component(dir "${file}" DIRECTORY)
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">]")
        continue()
      endif()
      set(included "${CMAKE_MATCH_1}")
      set(target "")
      foreach(candidate "${dir}/${included}" "${included}" "client/${included}")
        cmake_path(NORMAL_PATH candidate)
        if(EXISTS "${root}/${candidate}" AND NOT IS_DIRECTORY "${root}/${candidate}")
          set(target "${candidate}")
          break()
        endif()
      endforeach()
      if(target STREQUAL "")
        get_filename_component(name "${included}" NAME)
        string(LENGTH "/${included}" tail_length)
        set(matches "")
        foreach(known IN LISTS "named_${name}")
          string(LENGTH "${known}" known_length)
          math(EXPR tail_start "${known_length} - ${tail_length}")
          set(tail "")
          if(tail_start GREATER_EQUAL 0)
            string(SUBSTRING "${known}" ${tail_start} -1 tail)
          endif()
          if(known STREQUAL included OR tail STREQUAL "/${included}")
            list(APPEND matches "${known}")
          endif()
        endforeach()
        list(LENGTH matches count)
        if(count EQUAL 1)
          set(target "${matches}")
        elseif(count GREATER 1)
          string(REPLACE ";" ", " matches "${matches}")
          _yav_line_number("${root}/${file}" "${line}" number)
          list(APPEND problems
               "${file}:${number}: #include \"${included}\" could be any of ${matches}: name its folder")
          continue()
        else()
          # Not a file of the tree (Qt, GStreamer, the standard library).
          continue()
        endif()
      endif()
      yav_area("${target}" to)
      yav_forbidden("${from}" "${to}" why)
      if(NOT why STREQUAL "")
        _yav_line_number("${root}/${file}" "${line}" number)
        list(APPEND problems "${file}:${number}: #include \"${included}\" (${target}): ${why}")
      endif()
    endforeach()
  endforeach()
  set(${out} "${problems}" PARENT_SCOPE)
endfunction()

# The build step: scans the sources again whenever one of them (or this map) changes.
function(yav_add_include_direction_check)
  set(globs "")
  foreach(top IN LISTS YAV_SCANNED_TOPS)
    foreach(suffix IN LISTS YAV_SCANNED_SUFFIXES)
      list(APPEND globs "${CMAKE_SOURCE_DIR}/${top}/*.${suffix}")
    endforeach()
  endforeach()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${globs})
  set(stamp "${CMAKE_BINARY_DIR}/include-direction.stamp")
  add_custom_command(OUTPUT "${stamp}"
    COMMAND ${CMAKE_COMMAND} -DYAV_SOURCE_ROOT=${CMAKE_SOURCE_DIR}
            -P ${CMAKE_SOURCE_DIR}/cmake/YavIncludeDirection.cmake
    COMMAND ${CMAKE_COMMAND} -E touch "${stamp}"
    DEPENDS ${sources} ${CMAKE_SOURCE_DIR}/cmake/YavIncludeDirection.cmake
    COMMENT "Checking that includes follow the folder map (docs/folders.md)"
    VERBATIM)
  add_custom_target(yav_include_direction ALL DEPENDS "${stamp}")
endfunction()

function(_yav_collect_targets dir out)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    _yav_collect_targets("${subdir}" more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} "${targets}" PARENT_SCOPE)
endfunction()

# Every target of the tree links only targets its folder may include; a wrong link stops the
# configuration.
function(yav_check_link_direction)
  _yav_collect_targets("${CMAKE_SOURCE_DIR}" targets)
  set(problems "")
  foreach(target IN LISTS targets)
    get_target_property(dir ${target} SOURCE_DIR)
    file(RELATIVE_PATH rel "${CMAKE_SOURCE_DIR}" "${dir}/x")
    yav_area("${rel}" from)
    if(from STREQUAL "")
      continue()
    endif()
    get_target_property(type ${target} TYPE)
    set(links "")
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${target} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(usage ${target} INTERFACE_LINK_LIBRARIES)
    if(usage)
      list(APPEND links ${usage})
    endif()
    list(REMOVE_DUPLICATES links)
    foreach(link IN LISTS links)
      if(link MATCHES "^\\$<|^::@" OR NOT TARGET "${link}")
        continue()
      endif()
      get_target_property(imported "${link}" IMPORTED)
      if(imported)
        continue()
      endif()
      get_target_property(link_dir "${link}" SOURCE_DIR)
      file(RELATIVE_PATH link_rel "${CMAKE_SOURCE_DIR}" "${link_dir}/x")
      yav_area("${link_rel}" to)
      yav_forbidden("${from}" "${to}" why)
      if(NOT why STREQUAL "")
        list(APPEND problems "${target} (${from}) links ${link} (${to}): ${why}")
      endif()
    endforeach()
  endforeach()
  if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Links against the folder map (docs/folders.md):\n  ${text}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT YAV_SOURCE_ROOT)
    message(FATAL_ERROR "usage: cmake -DYAV_SOURCE_ROOT=<tree> -P ${CMAKE_CURRENT_LIST_FILE}")
  endif()
  yav_scan_includes("${YAV_SOURCE_ROOT}" problems)
  if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Includes against the folder map (docs/folders.md):\n  ${text}")
  endif()
endif()
