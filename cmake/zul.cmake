# zul_tests(NAME SOURCES... [LINUX_SOURCES...] LIBS lib...)
# Builds one GoogleTest executable from the *_test.cpp files of a folder and
# registers every test case with CTest. Discovery runs before the tests, not
# at build time, so a build never executes test code. Every test executable
# links the test support library (platform/test_dir.h). LINUX_SOURCES are
# tests that make their conditions with Linux's own calls (processes,
# signals, modes, mounts): the Windows build leaves them out, and its tests
# run under wine (cmake/mingw-w64.cmake).
function(zul_tests name)
  cmake_parse_arguments(ZT "" "" "SOURCES;LINUX_SOURCES;LIBS" ${ARGN})
  if(NOT WIN32)
    list(APPEND ZT_SOURCES ${ZT_LINUX_SOURCES})
  endif()
  add_executable(${name} ${ZT_SOURCES})
  target_link_libraries(${name} PRIVATE ${ZT_LIBS} zul_test_support GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                       PROPERTIES TIMEOUT 300)
endfunction()

# zul_check_library_graph()
# Fails the configuration when the tree's targets link each other in a
# circle. Static libraries in a circle would still link (the linker sees
# them all), so nothing else would notice; the libraries are meant to
# depend on each other one way only (see the top CMakeLists.txt). Walks
# every target's LINK_LIBRARIES depth first; imported targets (system
# libraries) end the walk.
function(_zul_graph_visit target path)
  get_property(mark GLOBAL PROPERTY "_ZUL_GRAPH_${target}")
  if(mark STREQUAL "done")
    return()
  elseif(mark STREQUAL "open")
    message(FATAL_ERROR "library cycle: ${path}")
  endif()
  set_property(GLOBAL PROPERTY "_ZUL_GRAPH_${target}" open)
  get_target_property(libs ${target} LINK_LIBRARIES)
  if(libs)
    foreach(lib IN LISTS libs)
      if(TARGET ${lib})
        get_target_property(imported ${lib} IMPORTED)
        if(NOT imported)
          _zul_graph_visit(${lib} "${path} -> ${lib}")
        endif()
      endif()
    endforeach()
  endif()
  set_property(GLOBAL PROPERTY "_ZUL_GRAPH_${target}" done)
endfunction()

function(_zul_graph_targets dir out)
  get_property(found DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _zul_graph_targets(${sub} more)
    list(APPEND found ${more})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(zul_check_library_graph)
  _zul_graph_targets(${CMAKE_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type STREQUAL "UTILITY")
      _zul_graph_visit(${target} ${target})
    endif()
  endforeach()
endfunction()

# zul_check_layer_includes()
# Fails the configuration when a source file includes the header of a
# library its target does not link: a header of a higher layer, which the
# link graph cannot see (a header without code links nothing). The layer
# order is the link graph itself: a target may include the headers of
# itself and of every library it links, directly or through others.
#
# A header belongs to the target whose sources hold the .cpp of the same
# path, and is searched with that target's sources. A header without a
# .cpp belongs to the libraries with a source in its folder: including it
# needs one of them, and its own includes may reach what any target of its
# folder links (test support headers reach the test library). Only includes
# written as "folder/file.h" that name a file of the tree count.
function(_zul_link_closure target out)
  set(seen ${target})
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    get_target_property(libs ${current} LINK_LIBRARIES)
    if(NOT libs)
      continue()
    endif()
    foreach(lib IN LISTS libs)
      if(TARGET ${lib} AND NOT lib IN_LIST seen)
        get_target_property(imported ${lib} IMPORTED)
        if(NOT imported)
          list(APPEND seen ${lib})
          list(APPEND queue ${lib})
        endif()
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# The targets a header belongs to (see above), or nothing for a file that
# is no library's.
function(_zul_header_owners header out)
  string(MAKE_C_IDENTIFIER "${header}" id)
  get_property(owners GLOBAL PROPERTY "_ZUL_OWNER_${id}")
  if(NOT owners)
    get_filename_component(folder ${header} DIRECTORY)
    string(MAKE_C_IDENTIFIER "${folder}" folder_id)
    get_property(owners GLOBAL PROPERTY "_ZUL_LIBS_${folder_id}")
  endif()
  set(${out} ${owners} PARENT_SCOPE)
endfunction()

# Reports every include in `files` whose header belongs to no target of
# `reach`; `who` names the including side in the message.
function(_zul_check_includes who reach files)
  foreach(rel IN LISTS files)
    file(STRINGS ${CMAKE_SOURCE_DIR}/${rel} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" inc "${line}")
      if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${inc})
        continue()
      endif()
      _zul_header_owners(${inc} owners)
      if(NOT owners)
        continue()
      endif()
      set(reached FALSE)
      foreach(owner IN LISTS owners)
        if(owner IN_LIST reach)
          set(reached TRUE)
          break()
        endif()
      endforeach()
      if(NOT reached)
        list(REMOVE_DUPLICATES owners)
        string(REPLACE ";" " or " owners "${owners}")
        message(SEND_ERROR "${rel} (${who}) includes \"${inc}\" of ${owners}, which it "
                           "does not link: a header of a higher layer")
      endif()
    endforeach()
  endforeach()
endfunction()

function(zul_check_layer_includes)
  _zul_graph_targets(${CMAKE_SOURCE_DIR} all)
  set(targets "")
  set(folders "")
  # Each target's sources as paths from the top of the tree; the owner of
  # each header with a .cpp of its name; each folder's targets and
  # libraries.
  foreach(target IN LISTS all)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "UTILITY" OR type STREQUAL "INTERFACE_LIBRARY")
      continue()
    endif()
    get_target_property(dir ${target} SOURCE_DIR)
    get_target_property(sources ${target} SOURCES)
    set(files "")
    foreach(src IN LISTS sources)
      if(src MATCHES "\\$<")
        continue()
      endif()
      get_filename_component(abs ${src} ABSOLUTE BASE_DIR ${dir})
      file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${abs})
      if(rel MATCHES "^\\.\\.")
        continue()
      endif()
      list(APPEND files ${rel})
      get_filename_component(folder ${rel} DIRECTORY)
      string(MAKE_C_IDENTIFIER "${folder}" folder_id)
      list(APPEND folders ${folder})
      set_property(GLOBAL APPEND PROPERTY "_ZUL_TARGETS_${folder_id}" ${target})
      if(type MATCHES "_LIBRARY$")
        set_property(GLOBAL APPEND PROPERTY "_ZUL_LIBS_${folder_id}" ${target})
      endif()
      if(rel MATCHES "\\.cpp$")
        string(REGEX REPLACE "\\.cpp$" ".h" header ${rel})
        if(EXISTS ${CMAKE_SOURCE_DIR}/${header})
          string(MAKE_C_IDENTIFIER "${header}" header_id)
          set_property(GLOBAL APPEND PROPERTY "_ZUL_OWNER_${header_id}" ${target})
          list(APPEND files ${header})
        endif()
      endif()
    endforeach()
    set_property(GLOBAL PROPERTY "_ZUL_FILES_${target}" ${files})
    list(APPEND targets ${target})
  endforeach()
  foreach(target IN LISTS targets)
    get_property(files GLOBAL PROPERTY "_ZUL_FILES_${target}")
    _zul_link_closure(${target} reach)
    _zul_check_includes("of ${target}" "${reach}" "${files}")
  endforeach()
  # The headers without a .cpp, against what their folder's targets link.
  list(REMOVE_DUPLICATES folders)
  foreach(folder IN LISTS folders)
    string(MAKE_C_IDENTIFIER "${folder}" folder_id)
    get_property(folder_targets GLOBAL PROPERTY "_ZUL_TARGETS_${folder_id}")
    set(reach "")
    foreach(target IN LISTS folder_targets)
      _zul_link_closure(${target} more)
      list(APPEND reach ${more})
    endforeach()
    file(GLOB headers RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/${folder}/*.h)
    set(alone "")
    foreach(header IN LISTS headers)
      string(MAKE_C_IDENTIFIER "${header}" header_id)
      get_property(owners GLOBAL PROPERTY "_ZUL_OWNER_${header_id}")
      if(NOT owners)
        list(APPEND alone ${header})
      endif()
    endforeach()
    _zul_check_includes("of ${folder}/" "${reach}" "${alone}")
  endforeach()
endfunction()
