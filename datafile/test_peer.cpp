// datafile_test_peer: the "other terminal" of the data-file tests. A second
// real process that holds a record lock or an exclusive open for a while, or
// runs an open that is expected to fail.
//
//   datafile_test_peer lock ROOT NAME CODE SECONDS MARKER
//       opens ROOT + "DADES\" + NAME, locks the record whose 2-byte binary
//       key 0 is CODE (a no-wait single-record lock), writes MARKER.held,
//       holds the lock for SECONDS and then until the file MARKER.go
//       exists, writes MARKER.released and ends, which releases the lock.
//   datafile_test_peer exclusive ROOT NAME SECONDS MARKER
//       opens the same file exclusively, writes MARKER.held, waits SECONDS,
//       writes MARKER.released and ends.
//   datafile_test_peer open ROOT LANGUAGE PATH
//       opens PATH under RootDir ROOT in the session language LANGUAGE, on
//       the headless console with one key typed ahead; an open that fails
//       ends the process inside DataOpen (exit code 0 after the message); an
//       open that succeeds exits with code 3. As the process ends it writes
//       ROOT + "peer.report": "bells=B waits=W depth=D screen=S", the bells
//       rung, the key waits that found no key queued, the windows left
//       pushed, and whether the screen is "blank" again.
//
// The markers let a test know when the lock is held, and prove afterwards
// that a waiting operation finished only once the release had begun.
// Exit codes: 0 done, 1 bad arguments, 2 the lock could not be taken.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/session.h"
#include "console/screen.h"
#include "datafile/data_open.h"
#include "datafile/file_table.h"
#include "datafile/owner.h"
#include "datafile/record_ops.h"
#include "platform/coding.h"
#include "platform/console.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "recman/btrcall.h"

namespace {

void Mark(const std::string& marker, const char* what) {
  platform::WriteFile(marker + "." + what, what);
}

int HoldLock(const std::string& root, const std::string& name, int code, long seconds,
             const std::string& marker) {
  config::session.RootDir = root;
  unsigned char record[datafile::kDataBufferSize] = {};
  int16_t status = -1;
  datafile::DataOpen(501, root + "DADES\\" + name, record, status);
  if (status != 0) return 2;
  datafile::DataLockMode(501, "B", status);
  std::string key;
  platform::PutFixed16(&key, static_cast<uint16_t>(code));
  datafile::DataSeek(501, 0, key, datafile::kSeekEqual, status);
  if (status != 0) {
    std::fprintf(stderr, "lock: status %d\n", status);
    return 2;
  }
  Mark(marker, "held");
  platform::SleepMs(seconds * 1000);
  while (!platform::PathExists(marker + ".go")) platform::SleepMs(20);
  Mark(marker, "released");
  datafile::DataCloseAll(status);
  return 0;
}

int HoldExclusive(const std::string& root, const std::string& name, long seconds,
                  const std::string& marker) {
  std::string path = root + "DADES\\" + name + ".dat";
  unsigned char position[recman::kPositionBlockSize] = {};
  unsigned char owner[datafile::kOwnerNameLength + 1] = {};
  std::memcpy(owner, datafile::OwnerName().data(), datafile::kOwnerNameLength);
  uint32_t ownerLength = sizeof owner;
  unsigned char key[datafile::kKeyBufferSize] = {};
  if (path.size() >= sizeof key) return 1;
  std::memcpy(key, path.data(), path.size());
  int16_t status = recman::BTRCALL(recman::B_OPEN, position, owner, &ownerLength, key,
                                   sizeof key, recman::B_MODE_EXCLUSIVE);
  if (status != 0) {
    std::fprintf(stderr, "exclusive: status %d\n", status);
    return 2;
  }
  Mark(marker, "held");
  platform::SleepMs(seconds * 1000);
  Mark(marker, "released");
  uint32_t none = 0;
  recman::BTRCALL(recman::B_CLOSE, position, owner, &none, key, 0, 0);
  return 0;
}

std::string reportPath;

void WriteReport() {
  bool blank = true;
  for (int16_t r = 1; r <= platform::ConsoleRows(); ++r) {
    if (platform::ConsoleReadRow(r).find_first_not_of(' ') != std::string::npos) blank = false;
  }
  std::string text = "bells=" + std::to_string(platform::console.bells) +
                     " waits=" + std::to_string(platform::console.starvedWaits) +
                     " depth=" + std::to_string(console::screen.WindowDepth) +
                     " screen=" + (blank ? "blank" : "used");
  platform::WriteFile(reportPath, text);
}

int Open(const std::string& root, const std::string& language, const std::string& path) {
  config::session.RootDir = root;
  config::session.TempDir = root;
  config::session.Language = language;
  platform::ConsoleStartWith(platform::ConsoleBackendKind::kHeadless);
  platform::ConsoleQueueText("x");  // typed before the failure: discarded
  reportPath = root + "peer.report";
  std::atexit(WriteReport);
  unsigned char record[datafile::kDataBufferSize] = {};
  int16_t status = -1;
  datafile::DataOpen(501, path, record, status);
  std::printf("open returned %d\n", status);
  return 3;
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "lock" && argc == 7) {
    return HoldLock(argv[2], argv[3], std::atoi(argv[4]), std::atol(argv[5]), argv[6]);
  }
  if (command == "exclusive" && argc == 6) {
    return HoldExclusive(argv[2], argv[3], std::atol(argv[4]), argv[5]);
  }
  if (command == "open" && argc == 5) return Open(argv[2], argv[3], argv[4]);
  std::fprintf(stderr, "usage: see the head of test_peer.cpp\n");
  return 1;
}
