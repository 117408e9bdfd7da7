# What the Windows build brings in itself, as no Windows package of them is
# at hand: GoogleTest from the sources Debian's libgtest-dev ships, and
# SQLite from its amalgamation (scripts/bootstrap --windows fetches it and
# checks its SHA-256; ZUL_SQLITE_SOURCE names the folder of sqlite3.c).
set(ZUL_SQLITE_SOURCE "" CACHE PATH "folder holding SQLite's sqlite3.c and sqlite3.h")
if(NOT EXISTS "${ZUL_SQLITE_SOURCE}/sqlite3.c")
  message(FATAL_ERROR "ZUL_SQLITE_SOURCE: no sqlite3.c in '${ZUL_SQLITE_SOURCE}' "
                      "(scripts/bootstrap --windows lays it down)")
endif()
add_library(zul_sqlite3 STATIC "${ZUL_SQLITE_SOURCE}/sqlite3.c")
target_include_directories(zul_sqlite3 SYSTEM PUBLIC "${ZUL_SQLITE_SOURCE}")
target_compile_definitions(zul_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_DQS=0)
target_compile_options(zul_sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS zul_sqlite3)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
# (it names its targets GTest::gtest and GTest::gtest_main itself)

# Unicode forms of the Windows API (the W calls), Windows 7 and later.
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)
