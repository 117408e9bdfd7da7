// Names and texts of the server engine that come from outside: the table
// name of a data file, identifiers quoted for SQL, and connection strings
// made fit to be shown.
//
// The table name rule. A data file of a suite is named in the server by its
// path relative to the suite root (recman/engine_choice.h), with "/" between
// the folders and the ASCII capitals made small, since the suite-path rule
// finds files without regard to case: "DADES\PropietH" (opened as
// ROOT/DADES/PropietH.dat) is the table "dades/propieth.dat" of the suite's
// schema, the same for every terminal. A name longer than 63 bytes (the
// longest identifier the server keeps) is cut to its first 46 bytes, never
// inside a UTF-8 character, followed by "~" and the 16 hexadecimal digits
// of the 64-bit FNV-1a hash of the whole name. Table names never begin with
// "/", so the engine's own catalogue table "/files" meets none of them.
#pragma once

#include <string>

namespace recman {
namespace pg {

// Longest identifier the server keeps, in bytes.
constexpr size_t kMaxIdentifier = 63;

// The table name of a data file whose path relative to the suite root is
// `relative` (no leading slash, "/" between folders).
std::string TableName(const std::string& relative);

// The path of the absolute path `path` relative to the folder `root`
// (absolute, no trailing slash): true and *relative set when path lies
// inside root.
bool RelativeTo(const std::string& root, const std::string& path, std::string* relative);

// An identifier quoted for SQL: in double quotes, each double quote
// doubled. The text must not hold a zero byte (callers' names cannot).
std::string QuoteIdentifier(const std::string& name);

// A connection string with the value of every password (keyword
// "password" in any capitalisation, in key=value form or in a URI's query,
// and the password of a URI's user:password@) replaced by "***", for
// messages. Text that is no URI is read as key=value pairs, however badly
// formed: a value runs to the next blank, or to its closing quote.
std::string MaskConnection(const std::string& connection);

}  // namespace pg
}  // namespace recman
