// Pieces shared by the server engine's files (pg_engine.cpp: files and
// locks; pg_table.cpp: the records of one open file). Not for use outside
// them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "recman/engine.h"
#include "recman/pg/pg_session.h"

namespace recman {
namespace pg {

// Format mark of a data file's catalogue row (see the layout in
// pg_engine.cpp). Changing the layout raises it.
constexpr int kFormatVersion = 1;

// Where a data file lives in the server.
struct Place {
  std::string schema;     // quoted schema name
  std::string name;       // the table name (pg_names.h), as stored in the catalogue
  std::string table;      // quoted, schema-qualified record table
  std::string catalogue;  // quoted, schema-qualified catalogue table
};

// The table of an open file, with its record table's object id;
// machineWide: the file's write generation is shared by every process of
// the machine (Session::WritePage), so that seeks may be answered from
// fetched-ahead rows (pg_read_ahead.h).
std::unique_ptr<Table> NewServerTable(std::shared_ptr<Session> session, Place place,
                                      uint32_t oid, FileInfo info, bool machineWide);

// Big-endian coding of parameters and results.
inline void PutBE64(char* p, uint64_t v) {
  for (int i = 7; i >= 0; --i) {
    p[i] = char(v & 0xFF);
    v >>= 8;
  }
}

}  // namespace pg
}  // namespace recman
