// Which engine keeps a data file: the setting of the suite the file belongs
// to, in one place.
//
// The suite of a data file: the nearest folder that holds a file named
// "Brol.ini" (in any capitalisation), looking first in the data file's own
// folder and then in each folder above it. The suite's data files live in
// ROOT/DADES and Brol.ini in ROOT, so a file "DADES\PropietH" of any program
// of the suite, or of zuldata, finds ROOT. The folders are taken from the
// absolute path, made from the current folder for a relative path and
// written without "." and ".." (not resolved through symbolic links). A
// root found for a folder is kept for the life of the process (a folder
// without one is looked at again each time); the settings below are read
// at every open (the INI reader keeps the parsed file).
//
// In that Brol.ini, section "BaseDades":
//   Connexio  a libpq connection string ("host=srv dbname=brol user=x",
//             or a postgresql:// URI). Empty or missing: the embedded
//             engine, one SQLite file per data file at its path.
//   Esquema   the PostgreSQL schema that holds the suite's tables. Empty or
//             missing: the name of the suite root folder with its ASCII
//             letters made small (so "/srv/Brol" and "/mnt/brol" agree;
//             terminals that name the folder differently must set it).
//             A name longer than 63 bytes in UTF-8 (the longest the server
//             keeps) is refused: the server would cut it, and two suites
//             whose names begin alike would meet.
// A data file outside any suite (no Brol.ini above it) is a SQLite file.
// Values are read in code page 850, as every INI file of the suite, and
// handed to the server in UTF-8.
#pragma once

#include <string>

#include "recman/engine.h"

namespace recman {

struct SuiteSetting {
  std::string root;        // absolute folder, no slash at the end; "" = none
  std::string connection;  // libpq connection string; "" = SQLite files
  std::string schema;      // schema of the suite's tables (with connection)
};

// The suite of the data file at the native path, and its setting.
SuiteSetting SuiteOf(const std::string& nativePath);

// The engine that keeps the data file at the native path: the SQLite engine
// (DefaultEngine) or the server engine of its suite's connection and schema,
// made at the first use and kept for the life of the process. Never fails;
// an unreachable server shows as the statuses of the engine's operations.
Engine& EngineFor(const std::string& nativePath);

// Makes the storage of the suite of the data file at the native path (see
// Engine::MakeSuiteStorage): only the tools that make a suite call it.
// Returns 0 or a status.
int16_t MakeSuiteStorage(const std::string& nativePath);

// True when the suite keeps its files in a server schema whose name is
// longer than the server's identifiers: every call on its files gives 11.
bool SchemaNameTooLong(const SuiteSetting& suite);

// Ends (commit true) or rolls back the server transactions that no open
// file ends any more (their files were closed inside the transaction).
// Returns 0 or the status of the first commit that failed.
int16_t EndServerTransactions(bool commit);

}  // namespace recman
