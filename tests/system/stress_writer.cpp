// stress_writer: one writing terminal of the multi-terminal stress run, and
// the check of what the writers left in the files.
//
//   stress_writer snapshot ROOT OUT
//       writes the amounts the writers change, one line each, to OUT:
//       "P KEY AMOUNT" for every department (PropietH, the amount of balance
//       entry 1; KEY its 8 digits) and "C POSITION AMOUNT" for every
//       collection (CobramH, its amount in; POSITION its physical position).
//   stress_writer run ROOT LOG COMMUNITIES DEPARTMENTS SEED
//       until the file ROOT/stress.stop exists: picks a department at
//       random (communities 1..COMMUNITIES, departments 1..DEPARTMENTS) and
//       one of its collections, reads both with the record lock and lock
//       wait of lock mode "A", and in one transaction adds one hundredth to
//       the department's balance entry 1 and to the collection's amount in.
//       Appends to LOG, with one write each, "I SEQ KEY POSITION" before the
//       commit and "W SEQ KEY POSITION" once the commit returned 0, so a
//       writer killed between the two leaves its one transaction in doubt.
//   stress_writer sweep ROOT LOG
//       until ROOT/stress.stop exists: one transaction after another, each
//       adding one hundredth to the amount in of every collection; appends
//       "I N" before the commit of transaction N and "W N" once it returned.
//   stress_writer verify-sweep ROOT BASELINE LOG
//       every collection grew by the same number of hundredths, which is
//       the number of "W" lines, or one more while the last "I" has no "W":
//       a transaction is in the file whole or not at all.
//   stress_writer verify ROOT BASELINE LOG...
//       compares the files with the snapshot BASELINE and the logs: every
//       department and collection must have grown by its committed
//       increments ("W" lines), plus at most the transactions in doubt ("I"
//       lines without their "W") that name it; nothing else may change.
//       Prints "commits=N in_doubt=D departments=P collections=C" and the
//       first differences.
//
// Exit codes: 0 done (verify: the files match), 1 a difference, a failed
// call, or (run) 1000 transactions in a row that could not be made
// (explained on stderr), 2 bad arguments.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "config/session.h"
#include "config/session_init.h"
#include "datafile/data_open.h"
#include "datafile/file_table.h"
#include "datafile/record_ops.h"
#include "dates/packed.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "recman/btrcall.h"
#include "report/record_layouts.h"

namespace {

using report::cobram::kIn;
using report::propiet::kBalance;

constexpr size_t kDeptAmount = kBalance + report::balance::kEntryAmount;
constexpr int kCollectionsPerDepartment = 12;  // as zuldata generate makes them

unsigned char propiet[datafile::kDataBufferSize];
unsigned char cobram[datafile::kDataBufferSize];

void OpenFiles(const std::string& root) {
  config::session.RootDir = root;
  int16_t status = 0;
  datafile::DataOpen(report::kPropietH, root + "DADES\\PropietH", propiet, status,
                     report::propiet::kLength);
  datafile::DataOpen(report::kCobramH, root + "DADES\\CobramH", cobram, status,
                     report::cobram::kLength);
}

std::string DeptDigits(const unsigned char* rec) {
  return dates::Unpack(std::string(reinterpret_cast<const char*>(rec), 4));
}

std::string DeptKey(int community, int department) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d%04d", community, department);
  return dates::Pack(digits);
}

// The position block of an open logical number, for the calls the data-file
// layer does not make (Update and the transactions).
unsigned char* Block(int16_t fileNumber) {
  return datafile::table.Slots[datafile::OpenSlot(fileNumber)].PositionBlock.data();
}

int16_t Update(int16_t fileNumber, unsigned char* record, uint32_t length) {
  unsigned char key[datafile::kKeyBufferSize] = {};
  return recman::BTRCALL(recman::B_UPDATE, Block(fileNumber), record, &length, key,
                         sizeof key, 0);
}

int16_t Transaction(uint16_t op) {
  unsigned char scratch[recman::kPositionBlockSize] = {};
  uint32_t none = 0;
  return recman::BTRCALL(op, scratch, nullptr, &none, nullptr, 0, 0);
}

bool Append(int fd, const std::string& line) {
  return write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

// What a snapshot holds: department key digits and collection positions.
struct Amounts {
  std::map<std::string, int64_t> departments;
  std::map<int32_t, int64_t> collections;
};

bool ReadCurrent(Amounts* out) {
  int16_t status = 0;
  datafile::DataSeek(report::kPropietH, 0, std::string(), datafile::kSeekGreaterOrEqual, status);
  while (status == 0) {
    out->departments[DeptDigits(propiet)] = report::GetInt32(
        reinterpret_cast<const char*>(propiet), kDeptAmount);
    datafile::DataSkip(report::kPropietH, datafile::kSkipNext, status);
  }
  if (status != recman::B_END_OF_FILE) {
    std::fprintf(stderr, "stress_writer: PropietH read with status %d\n", status);
    return false;
  }
  datafile::DataSeek(report::kCobramH, 0, std::string(), datafile::kSeekGreaterOrEqual, status);
  while (status == 0) {
    out->collections[datafile::DataPosition(report::kCobramH, 0)] =
        report::GetInt32(reinterpret_cast<const char*>(cobram), kIn);
    datafile::DataSkip(report::kCobramH, datafile::kSkipNext, status);
  }
  if (status != recman::B_END_OF_FILE) {
    std::fprintf(stderr, "stress_writer: CobramH read with status %d\n", status);
    return false;
  }
  return true;
}

int Snapshot(const std::string& root, const std::string& outPath) {
  OpenFiles(root);
  Amounts now;
  if (!ReadCurrent(&now)) return 1;
  std::ofstream out(outPath);
  for (const auto& d : now.departments) out << "P " << d.first << ' ' << d.second << '\n';
  for (const auto& c : now.collections) out << "C " << c.first << ' ' << c.second << '\n';
  out.close();
  if (!out) {
    std::fprintf(stderr, "stress_writer: cannot write %s\n", outPath.c_str());
    return 1;
  }
  return 0;
}

// One transaction. Returns 0 committed, 1 a call failed (the caller starts
// over), -1 nothing to do (no such department).
int OneTransaction(std::mt19937& rng, int communities, int departments, int fd, long seq) {
  int c = std::uniform_int_distribution<int>(1, communities)(rng);
  int d = std::uniform_int_distribution<int>(1, departments)(rng);
  int which = std::uniform_int_distribution<int>(0, kCollectionsPerDepartment - 1)(rng);
  int16_t status = 0;
  const std::string key = DeptKey(c, d);
  datafile::DataSeek(report::kPropietH, 0, key, datafile::kSeekEqual, status);
  if (status == recman::B_KEY_NOT_FOUND) return -1;
  if (status != 0) {
    std::fprintf(stderr, "stress_writer: PropietH seek status %d\n", status);
    return 1;
  }
  // The collection: `which` records after the department's first one; only
  // the final fetch takes the lock (and waits for it).
  if (which == 0) {
    datafile::DataLockMode(report::kCobramH, "A", status);
    datafile::DataSeek(report::kCobramH, 0, key, datafile::kSeekGreaterOrEqual, status);
  } else {
    datafile::DataLockMode(report::kCobramH, "D", status);
    datafile::DataSeek(report::kCobramH, 0, key, datafile::kSeekGreaterOrEqual, status);
    datafile::DataLockMode(report::kCobramH, "A", status);
    if (status == 0) datafile::DataSkip(report::kCobramH, int16_t(which), status);
  }
  if (status != 0 || std::memcmp(cobram, key.data(), 4) != 0) return -1;
  const int32_t position = datafile::DataPosition(report::kCobramH, 0);

  status = Transaction(recman::B_BEGIN_TRANSACTION);
  if (status != 0) {
    std::fprintf(stderr, "stress_writer: begin transaction status %d\n", status);
    return 1;
  }
  char* p = reinterpret_cast<char*>(propiet);
  char* r = reinterpret_cast<char*>(cobram);
  report::PutInt32(p, kDeptAmount, report::GetInt32(p, kDeptAmount) + 1);
  report::PutInt32(r, kIn.offset, report::GetInt32(r, kIn) + 1);
  int16_t st1 = Update(report::kPropietH, propiet, report::propiet::kLength);
  int16_t st2 = st1 == 0 ? Update(report::kCobramH, cobram, report::cobram::kLength) : st1;
  if (st1 != 0 || st2 != 0) {
    Transaction(recman::B_ABORT_TRANSACTION);
    // A busy file (85) or a changed record (80) is the load: start over.
    if (st2 != recman::B_FILE_LOCKED && st2 != recman::B_CONFLICT)
      std::fprintf(stderr, "stress_writer: update status %d %d\n", st1, st2);
    return 1;
  }
  const std::string tail = std::to_string(seq) + ' ' + dates::Unpack(key) + ' ' +
                           std::to_string(position) + '\n';
  if (!Append(fd, "I " + tail)) {
    Transaction(recman::B_ABORT_TRANSACTION);
    std::fprintf(stderr, "stress_writer: cannot write the log\n");
    return 1;
  }
  status = Transaction(recman::B_END_TRANSACTION);
  if (status != 0) {
    std::fprintf(stderr, "stress_writer: end transaction status %d\n", status);
    return 1;
  }
  if (!Append(fd, "W " + tail)) {
    std::fprintf(stderr, "stress_writer: cannot write the log\n");
    return 1;
  }
  return 0;
}

int Run(const std::string& root, const std::string& logPath, int communities,
        int departments, unsigned seed) {
  int fd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) {
    std::fprintf(stderr, "stress_writer: cannot open %s\n", logPath.c_str());
    return 1;
  }
  OpenFiles(root);
  int16_t status = 0;
  datafile::DataLockMode(report::kPropietH, "A", status);
  std::mt19937 rng(seed);
  const std::string stop = platform::SuitePath(root + "stress.stop");
  long seq = 0;
  int failures = 0;  // in a row
  while (!platform::PathExists(stop)) {
    int done = OneTransaction(rng, communities, departments, fd, seq);
    if (done == 0) {
      ++seq;
      failures = 0;
    }
    if (done == 1 && ++failures > 1000) {
      std::fprintf(stderr, "stress_writer: 1000 transactions in a row failed\n");
      return 1;
    }
  }
  close(fd);
  datafile::DataCloseAll(status);
  return 0;
}

int Sweep(const std::string& root, const std::string& logPath) {
  int fd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) {
    std::fprintf(stderr, "stress_writer: cannot open %s\n", logPath.c_str());
    return 1;
  }
  OpenFiles(root);
  const std::string stop = platform::SuitePath(root + "stress.stop");
  char* r = reinterpret_cast<char*>(cobram);
  for (long n = 0; !platform::PathExists(stop); ++n) {
    int16_t status = Transaction(recman::B_BEGIN_TRANSACTION);
    datafile::DataSeek(report::kCobramH, 0, std::string(), datafile::kSeekGreaterOrEqual, status);
    while (status == 0) {
      report::PutInt32(r, kIn.offset, report::GetInt32(r, kIn) + 1);
      status = Update(report::kCobramH, cobram, report::cobram::kLength);
      if (status == 0) datafile::DataSkip(report::kCobramH, datafile::kSkipNext, status);
    }
    if (status != recman::B_END_OF_FILE) {
      std::fprintf(stderr, "stress_writer: sweep status %d\n", status);
      Transaction(recman::B_ABORT_TRANSACTION);
      return 1;
    }
    if (!Append(fd, "I " + std::to_string(n) + "\n")) return 1;
    status = Transaction(recman::B_END_TRANSACTION);
    if (status != 0) {
      std::fprintf(stderr, "stress_writer: end transaction status %d\n", status);
      return 1;
    }
    if (!Append(fd, "W " + std::to_string(n) + "\n")) return 1;
  }
  close(fd);
  return 0;
}

bool ReadBaseline(const std::string& path, Amounts* out) {
  std::ifstream in(path);
  std::string kind, id;
  int64_t amount = 0;
  while (in >> kind >> id >> amount) {
    if (kind == "P") out->departments[id] = amount;
    else out->collections[std::atoi(id.c_str())] = amount;
  }
  if (out->departments.empty()) {
    std::fprintf(stderr, "stress_writer: the baseline %s is empty\n", path.c_str());
    return false;
  }
  return true;
}

int VerifySweep(const std::string& root, const std::string& baselinePath,
                const std::string& logPath) {
  Amounts before;
  if (!ReadBaseline(baselinePath, &before)) return 1;
  std::ifstream l(logPath);
  std::string kind;
  long n = 0, committed = 0;
  bool doubt = false;
  while (l >> kind >> n) {
    if (kind == "I") doubt = true;
    if (kind == "W") {
      doubt = false;
      ++committed;
    }
  }
  OpenFiles(root);
  Amounts now;
  if (!ReadCurrent(&now)) return 1;
  std::map<int64_t, long> grown;  // growth -> how many collections
  for (const auto& c : before.collections) {
    auto it = now.collections.find(c.first);
    if (it == now.collections.end()) {
      std::fprintf(stderr, "stress_writer: the collection at %d is gone\n", c.first);
      return 1;
    }
    ++grown[it->second - c.second];
  }
  std::printf("committed=%ld in_doubt=%d", committed, doubt ? 1 : 0);
  for (const auto& g : grown) std::printf(" grown_%lld=%ld", (long long)g.first, g.second);
  std::printf("\n");
  if (now.collections.size() != before.collections.size() || grown.size() != 1) return 1;
  int64_t k = grown.begin()->first;
  return k == committed || (doubt && k == committed + 1) ? 0 : 1;
}

int Verify(const std::string& root, const std::string& baselinePath,
           const std::vector<std::string>& logs) {
  Amounts before;
  if (!ReadBaseline(baselinePath, &before)) return 1;
  std::string kind;
  std::map<std::string, int64_t> deptDone, deptDoubt;
  std::map<int32_t, int64_t> collDone, collDoubt;
  long commits = 0, doubts = 0;
  for (const std::string& log : logs) {
    std::ifstream l(log);
    std::map<long, std::pair<std::string, int32_t>> open;
    std::string line;
    while (std::getline(l, line)) {
      std::istringstream s(line);
      long seq = 0;
      std::string dept;
      int32_t pos = 0;
      if (!(s >> kind >> seq >> dept >> pos)) continue;  // a line cut by the kill
      if (kind == "I") open[seq] = {dept, pos};
      if (kind == "W") {
        open.erase(seq);
        ++deptDone[dept];
        ++collDone[pos];
        ++commits;
      }
    }
    for (const auto& o : open) {
      ++deptDoubt[o.second.first];
      ++collDoubt[o.second.second];
      ++doubts;
    }
  }
  OpenFiles(root);
  Amounts now;
  if (!ReadCurrent(&now)) return 1;
  int differences = 0;
  auto check = [&](const std::string& what, int64_t was, bool present, int64_t is,
                   int64_t done, int64_t doubt) {
    int64_t grown = is - was;
    if (present && grown >= done && grown <= done + doubt) return;
    if (++differences <= 10) {
      std::fprintf(stderr,
                   "stress_writer: %s: %s, grown by %lld, committed %lld, in doubt %lld\n",
                   what.c_str(), present ? "present" : "missing", (long long)grown,
                   (long long)done, (long long)doubt);
    }
  };
  for (const auto& d : before.departments) {
    auto it = now.departments.find(d.first);
    check("department " + d.first, d.second, it != now.departments.end(),
          it == now.departments.end() ? 0 : it->second, deptDone[d.first], deptDoubt[d.first]);
  }
  for (const auto& c : before.collections) {
    auto it = now.collections.find(c.first);
    check("collection at " + std::to_string(c.first), c.second, it != now.collections.end(),
          it == now.collections.end() ? 0 : it->second, collDone[c.first],
          collDoubt[c.first]);
  }
  if (now.departments.size() != before.departments.size() ||
      now.collections.size() != before.collections.size()) {
    ++differences;
    std::fprintf(stderr, "stress_writer: the files hold %zu departments and %zu collections, "
                 "%zu and %zu before\n", now.departments.size(), now.collections.size(),
                 before.departments.size(), before.collections.size());
  }
  std::printf("commits=%ld in_doubt=%ld departments=%zu collections=%zu\n", commits, doubts,
              now.departments.size(), now.collections.size());
  return differences == 0 ? 0 : 1;
}

int Usage() {
  std::fprintf(stderr,
               "usage: stress_writer snapshot ROOT OUT\n"
               "       stress_writer run ROOT LOG COMMUNITIES DEPARTMENTS SEED\n"
               "       stress_writer sweep ROOT LOG\n"
               "       stress_writer verify-sweep ROOT BASELINE LOG\n"
               "       stress_writer verify ROOT BASELINE LOG...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> a(argv + 1, argv + argc);
  if (a.size() < 2) return Usage();
  config::SessionInit();
  std::string root = a[1];
  if (root.back() != '/') root += '/';
  if (a[0] == "snapshot" && a.size() == 3) return Snapshot(root, a[2]);
  if (a[0] == "run" && a.size() == 6) {
    int communities = std::atoi(a[3].c_str());
    int departments = std::atoi(a[4].c_str());
    if (communities < 1 || departments < 1) return Usage();
    return Run(root, a[2], communities, departments, unsigned(std::strtoul(a[5].c_str(), nullptr, 10)));
  }
  if (a[0] == "sweep" && a.size() == 3) return Sweep(root, a[2]);
  if (a[0] == "verify-sweep" && a.size() == 4) return VerifySweep(root, a[2], a[3]);
  if (a[0] == "verify" && a.size() >= 4)
    return Verify(root, a[2], std::vector<std::string>(a.begin() + 3, a.end()));
  return Usage();
}
