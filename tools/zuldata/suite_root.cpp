#include "tools/zuldata/suite_root.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "recman/btrcall.h"
#include "recman/creation_layout_file.h"
#include "recman/engine_choice.h"
#include "tools/zuldata/commands.h"
#include "tools/zuldata/help_source.h"
#include "tools/zuldata/status_text.h"

#ifndef ZUL_SUITE_DIR
#define ZUL_SUITE_DIR ""
#endif
#ifndef ZUL_ZUDAVIVI
#define ZUL_ZUDAVIVI ""
#endif

namespace zuldata {
namespace {

// The regular files of a folder in byte order, but for hidden ones (".x").
std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (std::string& n : platform::ListDirectory(dir, platform::Entries::kFiles))
    if (n[0] != '.') names.push_back(std::move(n));
  return names;
}

bool CopyText(const std::string& from, const std::string& to, std::string* error) {
  std::string utf8, cp850;
  if (!platform::ReadFile(from, &utf8)) {
    *error = "cannot read " + from;
    return false;
  }
  if (!SuiteText(utf8, &cp850)) {
    *error = from + " has a character that code page 850 does not have";
    return false;
  }
  if (!platform::WriteFile(to, cp850)) {
    *error = "cannot write " + to;
    return false;
  }
  return true;
}

// Copies the text files of suite/<folder> into ROOT/<folder>.
bool CopyFolder(const std::string& suite, const std::string& root, const std::string& folder,
                std::string* error) {
  for (const std::string& name : FilesIn(suite + "/" + folder)) {
    if (name == "README.md") continue;
    if (!CopyText(suite + "/" + folder + "/" + name, root + "/" + folder + "/" + name, error))
      return false;
  }
  return true;
}

// The help topics of one folder: each FROM/TOPIC.txt built into
// TO/TOPIC.HLP (help_source.h); other files of the folder copied as text.
bool BuildHelpTopics(const std::string& fromDir, const std::string& toDir, std::string* error) {
  for (const std::string& name : FilesIn(fromDir)) {
    if (name == "README.md") continue;
    const std::string from = fromDir + "/" + name;
    if (name.size() < 5 || name.substr(name.size() - 4) != ".txt") {
      if (!CopyText(from, toDir + "/" + name, error)) return false;
      continue;
    }
    const std::string to = toDir + "/" + name.substr(0, name.size() - 4) + ".HLP";
    std::string utf8, hlp, problem;
    if (!platform::ReadFile(from, &utf8)) {
      *error = "cannot read " + from;
      return false;
    }
    if (!BuildHelpFile(utf8, &hlp, &problem)) {
      *error = from + ": " + problem;
      return false;
    }
    if (!platform::WriteFile(to, hlp)) {
      *error = "cannot write " + to;
      return false;
    }
  }
  return true;
}

// The help topics: suite/AJUDA into ROOT/AJUDA (the Catalan texts), and
// the folder of each further language the suite has texts in
// (suite/AJUDA/SPA) into ROOT/AJUDA/SPA, where the help viewer looks for
// the session's language (console/help.h).
bool BuildHelpFolder(const std::string& suite, const std::string& root, std::string* error) {
  if (!BuildHelpTopics(suite + "/AJUDA", root + "/AJUDA", error)) return false;
  for (const char* language : {"SPA", "GLG", "OCI"}) {
    const std::string from = suite + "/AJUDA/" + language, to = root + "/AJUDA/" + language;
    if (!platform::IsDirectory(from)) continue;
    if (!platform::MakeDirs(to)) {
      *error = "cannot make the folder " + to;
      return false;
    }
    if (!BuildHelpTopics(from, to, error)) return false;
  }
  return true;
}

// The session file's text (CR LF lines) with [Terminal] Dir set to `dir`:
// the Dir line of that section replaced, or the section added at the end
// when the file has no such line.
std::string WithTerminalDir(const std::string& text, const std::string& dir) {
  std::string out;
  bool inTerminal = false, set = false;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 2;
    if (!line.empty() && line[0] == '[') inTerminal = line == "[Terminal]";
    if (inTerminal && !set && line.compare(0, 4, "Dir=") == 0) {
      line = "Dir=" + dir;
      set = true;
    }
    out += line + "\r\n";
  }
  if (!set) out += "[Terminal]\r\nDir=" + dir + "\r\n";
  return out;
}

// The terminal's Sessio.ini names the terminal's own directory, the root's
// TERM01, as an absolute path, so that the programs find it from wherever
// they start; the calculator keeps its state file there. A root whose path
// code page 850 cannot write gets the name relative to the root ("TERM01"),
// which the programs find from the root, their current directory.
bool SetTerminalDir(const std::string& root, std::string* error) {
  const std::string file = root + "/TERM01/Sessio.ini";
  std::string text;
  if (!platform::ReadFile(file, &text)) {
    *error = "cannot read " + file;
    return false;
  }
  std::string dir = "TERM01";
  bool lossy = false;
  std::string cp850 = platform::Utf8ToCp850(platform::AbsolutePath(root) + "/TERM01", '?', &lossy);
  if (!lossy) dir = cp850;
  if (!platform::WriteFile(file, WithTerminalDir(text, dir))) {
    *error = "cannot write " + file;
    return false;
  }
  return true;
}

}  // namespace

bool SuiteText(const std::string& utf8, std::string* cp850) {
  bool lossy = false;
  std::string text =
      platform::Utf8ToCp850(utf8.substr(platform::Utf8MarkLength(utf8)), '?', &lossy);
  if (lossy) return false;
  cp850->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) *cp850 += '\r';
    *cp850 += text[i];
  }
  return true;
}

bool LayDownSuite(const std::string& root, SuiteOptions& options, std::string* error) {
  if (options.suiteDir.empty()) options.suiteDir = ZUL_SUITE_DIR;
  if (options.zudavivi.empty()) options.zudavivi = ZUL_ZUDAVIVI;
  if (options.zudavivi.empty() || !platform::PathExists(options.zudavivi))
    options.zudavivi = platform::ProgramDirectory() + "/../zudavivi/ZUDAVIVI";
  // The Windows build's program file carries its ".exe".
  if (!platform::PathExists(options.zudavivi) && platform::PathExists(options.zudavivi + ".exe"))
    options.zudavivi += ".exe";
  const std::string& suite = options.suiteDir;
  if (suite.empty() || !platform::PathExists(suite + "/Brol.ini")) {
    *error = "cannot find the suite sources (give --suite DIR, the repository's suite/ folder)";
    return false;
  }

  for (const char* dir : {"", "FORMS", "LOCALE", "ddf", "AJUDA", "DADES", "BIN", "TERM01"}) {
    if (!platform::MakeDirs(root + "/" + dir)) {
      *error = "cannot make the folder " + root + "/" + dir;
      return false;
    }
  }
  if (!CopyText(suite + "/Brol.ini", root + "/Brol.ini", error)) return false;
  if (!options.connection.empty()) {
    std::string utf8 = "\n[BaseDades]\nConnexio=" + options.connection + "\n";
    if (!options.schema.empty()) utf8 += "Esquema=" + options.schema + "\n";
    std::string ini, text;
    if (!platform::ReadFile(root + "/Brol.ini", &ini) || !SuiteText(utf8, &text) ||
        !platform::WriteFile(root + "/Brol.ini", ini + text)) {
      *error = "cannot write the server setting into " + root + "/Brol.ini";
      return false;
    }
    // The suite's schema: made here, never by the files' creation.
    const std::string anyFile = root + "/DADES/Brol.dat";
    int16_t st = recman::MakeSuiteStorage(anyFile);
    if (st != recman::B_OK) {
      *error = "cannot make the suite's schema on the server (" + StatusText(st, anyFile) + ")";
      return false;
    }
  }
  for (const char* folder : {"FORMS", "LOCALE", "TERM01"})
    if (!CopyFolder(suite, root, folder, error)) return false;
  if (!BuildHelpFolder(suite, root, error)) return false;
  if (!SetTerminalDir(root, error)) return false;

  // Creation layouts: each readable description becomes the layout file
  // NAME.xdf (recman/creation_layout_file.h).
  for (const std::string& name : FilesIn(suite + "/ddf")) {
    if (name.size() < 5 || name.substr(name.size() - 4) != ".txt") continue;
    std::string source = suite + "/ddf/" + name;
    std::string xdf = root + "/ddf/" + name.substr(0, name.size() - 4) + ".xdf";
    std::string text, creation, problem;
    if (!platform::ReadFile(source, &text) || !DescriptionToLayout(text, &creation, &problem)) {
      *error = source + ": " + (problem.empty() ? "cannot be read" : problem);
      return false;
    }
    if (recman::WriteCreationLayoutFile(xdf, creation) != recman::LayoutFileStatus::kOk) {
      *error = "cannot write " + xdf;
      return false;
    }
  }

  // The print program.
  std::string program;
  if (platform::PathExists(options.zudavivi) && platform::ReadFile(options.zudavivi, &program)) {
    // BIN/ZUDAVIVI, with the ".exe" of a Windows program file kept.
    const std::string& from = options.zudavivi;
    const bool exe = from.size() > 4 && platform::SameNameNoCase(from.substr(from.size() - 4), ".exe");
    std::string target = root + "/BIN/ZUDAVIVI" + (exe ? ".exe" : "");
    if (!platform::WriteFile(target, program) || !platform::MakeExecutable(target)) {
      *error = "cannot write " + target;
      return false;
    }
  } else {
    std::fprintf(stderr, "zuldata: no print program at %s; BIN/ stays empty\n",
                 options.zudavivi.c_str());
  }
  return true;
}

bool ServerOption(const std::vector<std::string>& args, size_t* i, SuiteOptions* options) {
  if (*i + 1 >= args.size()) return false;
  if (args[*i] == "--connexio") options->connection = args[++*i];
  else if (args[*i] == "--esquema") options->schema = args[++*i];
  else return false;
  return true;
}

int16_t DataFileStatus(const std::string& root, const std::string& name) {
  std::string path = platform::SuitePath(root + "/DADES/" + name + ".dat");
  return recman::EngineFor(path).Exists(path);
}

bool DataFileExists(const std::string& root, const std::string& name) {
  return DataFileStatus(root, name) == recman::B_OK;
}

}  // namespace zuldata
