// Pieces shared by the SQLite engine's files (sqlite_engine.cpp: files;
// sqlite_table.cpp: records of one open file; sqlite_memory.cpp: SQLite's
// memory). Not for use outside them.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>

#include "recman/engine.h"

namespace recman {
namespace sqlite_internal {

// Format marks of our databases (see the layout in sqlite_engine.cpp).
// Changing them makes existing files unreadable.
constexpr int32_t kApplicationId = 0x5A554C52;  // "ZULR"
constexpr int kFormatVersion = 2;

// The status for a SQLite result code: busy -> 85, full -> 18, read-only
// -> 46, not a database -> 30, anything else that is not success -> 2.
int16_t StatusOf(int rc);

// Runs SQL without results; returns the SQLite result code.
int Exec(sqlite3* db, const char* sql);

// Settings of every connection: busy handler, defensive mode,
// synchronous level, cell size checks.
void ConfigureConnection(sqlite3* db);

// SQLite's memory routines (sqlite_memory.cpp), for SQLITE_CONFIG_MALLOC in
// single-thread mode only: they take no lock.
const sqlite3_mem_methods* BlockCacheMethods();

// The table of an open file; takes over the connection.
std::unique_ptr<Table> NewSqliteTable(sqlite3* db, FileInfo info);

}  // namespace sqlite_internal
}  // namespace recman
