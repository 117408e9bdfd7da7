#include "tools/zuldata/status_text.h"

#include "recman/btrcall.h"
#include "recman/engine_choice.h"
#include "recman/pg/pg_names.h"

namespace zuldata {

std::string StatusText(int16_t status, const std::string& nativePath) {
  std::string text = "status " + std::to_string(status);
  if (status == recman::B_ACCESS_DENIED)
    text += ": the file can only be read (a read-only file, folder or medium)";
  if (status == recman::B_INVALID_OWNER)
    text += ": a wrong owner name (the file has one: set ZULOWNER to it)";
  if (status == recman::B_RECORD_MANAGER_INACTIVE || status == recman::B_SESSION_LOST) {
    recman::SuiteSetting suite = recman::SuiteOf(nativePath);
    text += status == recman::B_SESSION_LOST ? ": the connection to the database server was lost"
                                             : ": the database server cannot be reached";
    if (!suite.connection.empty()) text += " (" + recman::pg::MaskConnection(suite.connection) + ")";
  }
  if (status == recman::B_DIRECTORY_ERROR) {
    recman::SuiteSetting suite = recman::SuiteOf(nativePath);
    if (!suite.connection.empty())
      text += ": the schema \"" + suite.schema +
              "\" does not exist on the database server (check Esquema in " + suite.root +
              "/Brol.ini; zuldata demo, generate and create make one)";
  }
  if (status == recman::B_INVALID_FILE_NAME && recman::SchemaNameTooLong(recman::SuiteOf(nativePath)))
    text += ": the schema name (Esquema, or the suite folder's name) is longer than the 63 bytes"
            " the database server keeps";
  return text;
}

}  // namespace zuldata
