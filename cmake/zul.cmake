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
