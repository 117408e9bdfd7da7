// The suite of a data file and the engine its setting names (contract in
// engine_choice.h).
#include "recman/engine_choice.h"

#include <map>
#include <memory>

#include "config/ini_reader.h"
#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/paths.h"
#include "recman/pg/pg_engine.h"
#include "recman/pg/pg_names.h"
#include "recman/record_manager.h"

namespace recman {

namespace {

constexpr const char* kSection = "BaseDades";
constexpr const char* kConnectionKey = "Connexio";
constexpr const char* kSchemaKey = "Esquema";

// The folder part of an absolute path ("/" for a file in the root).
std::string FolderOf(const std::string& absolute) {
  size_t slash = absolute.find_last_of('/');
  if (slash == 0 || slash == std::string::npos) return "/";
  return absolute.substr(0, slash);
}

// The INI reader takes suite names (code page 850, through the path rule).
std::string SuiteName(const std::string& native) { return platform::Utf8ToCp850(native); }

bool HoldsBrolIni(const std::string& folder) {
  std::string file = (folder == "/" ? "" : folder) + "/Brol.ini";
  return platform::PathExists(platform::SuitePath(SuiteName(file)));
}

// Folder -> suite root, kept in manager.suiteRoots (record_manager.h). Only
// roots found are kept: a folder without a suite is looked at again at the
// next open, since a tool may lay down the suite's Brol.ini meanwhile.
std::string RootOf(const std::string& folder) {
  auto& cache = manager.suiteRoots;
  auto it = cache.find(folder);
  if (it != cache.end()) return it->second;
  std::string root;
  for (std::string at = folder;; at = FolderOf(at)) {
    if (HoldsBrolIni(at)) {
      root = at;
      break;
    }
    if (at == "/") break;
  }
  if (!root.empty()) cache[folder] = root;
  return root;
}

std::string LastComponent(const std::string& folder) {
  size_t slash = folder.find_last_of('/');
  return slash == std::string::npos ? folder : folder.substr(slash + 1);
}

std::string AsciiSmall(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

struct EngineKey {
  std::string root, connection, schema;
  bool operator<(const EngineKey& o) const {
    if (root != o.root) return root < o.root;
    if (connection != o.connection) return connection < o.connection;
    return schema < o.schema;
  }
};

// The server engine of each suite, connection and schema, made at its
// first open and kept for the life of the process (record_manager.h says
// why a reset of the manager leaves it).
std::map<EngineKey, std::unique_ptr<Engine>>& ServerEngines() {
  static auto* engines = new std::map<EngineKey, std::unique_ptr<Engine>>;
  return *engines;
}

}  // namespace

SuiteSetting SuiteOf(const std::string& nativePath) {
  SuiteSetting s;
  s.root = RootOf(FolderOf(platform::AbsolutePath(nativePath)));
  if (s.root.empty()) return s;
  std::string ini = SuiteName((s.root == "/" ? "" : s.root) + "/Brol.ini");
  s.connection = platform::Cp850ToUtf8(config::IniRead(ini, kSection, kConnectionKey));
  if (s.connection.find_first_not_of(' ') == std::string::npos) s.connection.clear();
  s.schema = platform::Cp850ToUtf8(config::IniRead(ini, kSection, kSchemaKey));
  if (s.schema.find_first_not_of(' ') == std::string::npos)
    s.schema = AsciiSmall(LastComponent(s.root));
  return s;
}

Engine& EngineFor(const std::string& nativePath) {
  SuiteSetting s = SuiteOf(nativePath);
  if (s.connection.empty()) return DefaultEngine();
  auto& engines = ServerEngines();
  EngineKey key{s.root, s.connection, s.schema};
  auto it = engines.find(key);
  if (it == engines.end()) it = engines.emplace(key, NewServerEngine(s)).first;
  return *it->second;
}

int16_t MakeSuiteStorage(const std::string& nativePath) {
  return EngineFor(nativePath).MakeSuiteStorage(nativePath);
}

bool SchemaNameTooLong(const SuiteSetting& suite) {
  return !suite.connection.empty() && suite.schema.size() > pg::kMaxIdentifier;
}

int16_t EndServerTransactions(bool commit) { return EndAllServerTransactions(commit); }

}  // namespace recman
