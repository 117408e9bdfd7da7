// zuldata create, dump and check: data files through the record manager.
//
//   zuldata create PATH XDF [--owner NAME [--owner-mode M]] [--replace]
//       creates the data file at PATH from the creation layout in
//       XDF (never replacing an existing file unless --replace), then sets
//       the owner name when given (mode 0: the owner is needed for any
//       access; 1: reading is allowed without it).
//   zuldata dump PATH [--key N] [--owner NAME]
//       one line per record, in the order of key N (default 0; physical
//       order for a file without keys):
//         @POSITION [KEY] RECORD
//       KEY and RECORD shown as text: printable ASCII as is, code page 850
//       letters as UTF-8, other bytes as \xHH, the backslash as \\. A
//       first line "# records R, length L, keys K" describes the file.
//   zuldata check PATH
//       checks the file's storage and every key against its records;
//       prints "ok: R records" or one line per problem. Exit 0 when sound,
//       1 when not (or when the file cannot be examined).
//
// PATH is a suite file name: it goes through the suite-path rule.
#include <cstdio>
#include <cstring>

#include "platform/codepage.h"
#include "platform/coding.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "recman/btrcall.h"
#include "recman/engine_choice.h"
#include "recman/file_check.h"
#include "recman/key_layout.h"
#include "recman/sqlite/lock_file.h"
#include "tools/zuldata/commands.h"
#include "tools/zuldata/status_text.h"

namespace zuldata {

namespace {

using recman::BTRCALL;

// The suite name of a path typed on the command line (UTF-8).
std::string SuiteName(const std::string& arg) { return platform::Utf8ToCp850(arg); }

std::string Readable(const uint8_t* p, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    uint8_t b = p[i];
    if (b == '\\') {
      out += "\\\\";
    } else if (b >= 0x20 && b < 0x7F) {
      out += char(b);
    } else if (b >= 0x80 && b != 0xFF) {
      platform::AppendUtf8(platform::Cp850ToUnicode(b), &out);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      out += hex;
    }
  }
  return out;
}

// Options of the form --name VALUE after the positional arguments.
bool Options(const Args& args, size_t positional, std::vector<std::string>* values,
             const std::vector<std::string>& names, std::vector<bool>* flags,
             const std::vector<std::string>& flagNames) {
  if (args.size() < positional) return false;
  values->assign(names.size(), std::string());
  flags->assign(flagNames.size(), false);
  for (size_t i = positional; i < args.size(); ++i) {
    bool known = false;
    for (size_t f = 0; f < flagNames.size(); ++f)
      if (args[i] == flagNames[f]) {
        (*flags)[f] = true;
        known = true;
      }
    for (size_t v = 0; v < names.size() && !known; ++v)
      if (args[i] == names[v] && i + 1 < args.size()) {
        (*values)[v] = args[++i];
        known = true;
      }
    if (!known) return false;
  }
  return true;
}

struct File {
  uint8_t block[recman::kPositionBlockSize] = {};
  bool open = false;
  ~File() {
    if (open) {
      uint32_t len = 0;
      BTRCALL(recman::B_CLOSE, block, nullptr, &len, nullptr, 0, 0);
    }
  }
  int16_t Open(const std::string& name, const std::string& owner, int16_t mode) {
    char key[256] = {};
    if (name.size() > 255) return recman::B_INVALID_FILE_NAME;
    std::memcpy(key, name.data(), name.size());
    char ownerBuf[recman::kMaxOwnerLength + 1] = {};
    std::memcpy(ownerBuf, owner.data(), std::min<size_t>(owner.size(), 8));
    uint32_t len = uint32_t(owner.size() + 1);
    int16_t st = BTRCALL(recman::B_OPEN, block, ownerBuf, &len, key, 256, mode);
    open = st == 0;
    return st;
  }
};

// Removes a data file this command created, with its companion files (the
// write-ahead log, its index and the lock file).
void RemoveDataFile(const std::string& nativePath) {
  for (const std::string& p : {nativePath, nativePath + "-wal", nativePath + "-shm",
                               recman::LockFile::PathFor(nativePath)}) {
    platform::RemoveFile(p);
  }
}

}  // namespace

int CmdCreate(const Args& args) {
  std::vector<std::string> v;
  std::vector<bool> f;
  if (!Options(args, 2, &v, {"--owner", "--owner-mode"}, &f, {"--replace"})) {
    std::fprintf(stderr, "usage: zuldata create PATH XDF [--owner NAME [--owner-mode M]]"
                         " [--replace]\n");
    return 2;
  }
  const std::string& owner = v[0];
  if (owner.size() > size_t(recman::kMaxOwnerLength)) {
    std::fprintf(stderr, "zuldata create: an owner name has at most 8 characters\n");
    return 2;
  }
  // Checked before anything is created: a file must not be left behind
  // without the owner it was asked for.
  if (!v[1].empty() && (owner.empty() || (v[1] != "0" && v[1] != "1"))) {
    std::fprintf(stderr, "zuldata create: --owner-mode is 0 or 1, given with --owner\n");
    return 2;
  }
  const int16_t mode = v[1] == "1" ? 1 : 0;
  std::string creation, error;
  if (!ReadXdf(args[1], &creation, &error)) {
    std::fprintf(stderr, "zuldata create: %s\n", error.c_str());
    return 1;
  }
  std::string name = SuiteName(args[0]);
  if (name.size() > 255) {
    std::fprintf(stderr, "zuldata create: the path is longer than 255 bytes\n");
    return 1;
  }
  uint8_t scratch[recman::kPositionBlockSize] = {};
  std::vector<uint8_t> data(std::max<size_t>(creation.size(), 1536), 0);
  std::memcpy(data.data(), creation.data(), creation.size());
  uint32_t len = uint32_t(data.size());
  char key[256] = {};
  std::memcpy(key, name.data(), name.size());
  // A server suite's schema is made here when missing, as by demo and
  // generate.
  int16_t made = recman::MakeSuiteStorage(platform::SuitePath(name));
  if (made != 0) {
    std::fprintf(stderr, "zuldata create: %s: %s\n", args[0].c_str(),
                 StatusText(made, platform::SuitePath(name)).c_str());
    return 1;
  }
  int16_t st = BTRCALL(recman::B_CREATE, scratch, data.data(), &len, key, 256,
                       f[0] ? recman::B_CREATE_REPLACE : recman::B_CREATE_NO_REPLACE);
  if (st != 0) {
    std::fprintf(stderr, "zuldata create: %s: status %d%s\n", args[0].c_str(), st,
                 st == recman::B_FILE_EXISTS ? " (the file exists)" : "");
    return 1;
  }
  if (owner.empty()) return 0;
  {
    File file;
    st = file.Open(name, "", 0);
    if (st == 0) {
      char a[9] = {}, b[9] = {};
      std::memcpy(a, owner.data(), owner.size());
      std::memcpy(b, owner.data(), owner.size());
      uint32_t n = uint32_t(owner.size() + 1);
      st = BTRCALL(recman::B_SET_OWNER, file.block, a, &n, b, uint16_t(owner.size() + 1),
                   mode);
    }
  }  // closed here, before a failed file is removed
  if (st != 0) {
    // The file was made by this command and lacks its owner: it goes.
    RemoveDataFile(platform::SuitePath(name));
    std::fprintf(stderr, "zuldata create: setting the owner: status %d; %s not created\n", st,
                 args[0].c_str());
    return 1;
  }
  return 0;
}

int CmdDump(const Args& args) {
  std::vector<std::string> v;
  std::vector<bool> f;
  if (!Options(args, 1, &v, {"--key", "--owner"}, &f, {}) || args.empty()) {
    std::fprintf(stderr, "usage: zuldata dump PATH [--key N] [--owner NAME]\n");
    return 2;
  }
  int key = v[0].empty() ? 0 : std::atoi(v[0].c_str());
  File file;
  int16_t st = file.Open(SuiteName(args[0]), v[1], recman::B_MODE_READ_ONLY);
  if (st != 0) {
    std::fprintf(stderr, "zuldata dump: %s: open status %d%s\n", args[0].c_str(), st,
                 st == recman::B_INVALID_OWNER
                     ? ": a wrong owner name (the file has one: give it with --owner)"
                     : "");
    return 1;
  }
  std::vector<uint8_t> data(65536);
  uint32_t len = uint32_t(data.size());
  uint8_t keyBuf[256] = {};
  st = BTRCALL(recman::B_STAT, file.block, data.data(), &len, keyBuf, 256, 0);
  recman::FileLayout layout;
  if (st != 0 || recman::ParseLayout(data.data(), len, &layout) != 0) {
    std::fprintf(stderr, "zuldata dump: %s: stat status %d\n", args[0].c_str(), st);
    return 1;
  }
  uint32_t count = platform::DecodeFixed32(data.data() + recman::FS_RECORD_COUNT);
  std::printf("# records %u, length %u, keys %zu\n", count, layout.recordLength,
              layout.keys.size());
  const bool physical = layout.keys.empty();
  if (!physical && (key < 0 || size_t(key) >= layout.keys.size())) {
    std::fprintf(stderr, "zuldata dump: the file has keys 0 to %zu\n", layout.keys.size() - 1);
    return 2;
  }
  uint16_t first = physical ? recman::B_STEP_FIRST : recman::B_GET_FIRST;
  uint16_t next = physical ? recman::B_STEP_NEXT : recman::B_GET_NEXT;
  for (st = -1;;) {
    len = uint32_t(data.size());
    st = BTRCALL(st == -1 ? first : next, file.block, data.data(), &len, keyBuf, 256,
                 int16_t(key));
    if (st != 0) break;
    uint8_t posBuf[4];
    uint32_t plen = 4;
    BTRCALL(recman::B_GET_POSITION, file.block, posBuf, &plen, nullptr, 0, 0);
    std::string line = "@" + std::to_string(platform::DecodeFixed32(posBuf)) + " ";
    if (!physical) line += "[" + Readable(keyBuf, layout.keys[key].length) + "] ";
    line += Readable(data.data(), len);
    std::printf("%s\n", line.c_str());
  }
  if (st != recman::B_END_OF_FILE) {
    std::fprintf(stderr, "zuldata dump: %s: read status %d\n", args[0].c_str(), st);
    return 1;
  }
  return 0;
}

int CmdCheck(const Args& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: zuldata check PATH\n");
    return 2;
  }
  recman::CheckResult result;
  int16_t st = recman::CheckDataFile(platform::SuitePath(SuiteName(args[0])), &result);
  if (st != 0) {
    std::printf("%s: cannot be examined, status %d\n", args[0].c_str(), st);
    return 1;
  }
  for (const std::string& p : result.problems) std::printf("%s: %s\n", args[0].c_str(), p.c_str());
  if (!result.problems.empty()) return 1;
  std::printf("ok: %u records\n", result.records);
  return 0;
}

}  // namespace zuldata
