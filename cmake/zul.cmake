# zul_tests(NAME SOURCES... LIBS lib...)
# Builds one GoogleTest executable from the *_test.cpp files of a folder and
# registers every test case with CTest. Discovery runs before the tests, not
# at build time, so a build never executes test code. Every test executable
# links the test support library (platform/test_dir.h).
function(zul_tests name)
  cmake_parse_arguments(ZT "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ZT_SOURCES})
  target_link_libraries(${name} PRIVATE ${ZT_LIBS} zul_test_support GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                       PROPERTIES TIMEOUT 300)
endfunction()
