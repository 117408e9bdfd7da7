// The data-file layer against a second real process: record locks, an
// exclusive open, and the open failure that ends the program.
//
// The other process is datafile_test_peer (test_peer.cpp). It writes marker
// files when it holds its lock and when it starts to release it, so these
// tests wait for events, never for amounts of time. The lock waits are the
// real random ones (1 to 10 001 ms per attempt): a test may take tens of
// seconds.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "console/screen.h"
#include "platform/test_dir.h"
#include "datafile/data_open.h"
#include "datafile/data_messages.h"
#include "datafile/owner.h"
#include "datafile/record_ops.h"
#include "datafile/datafile_test_support.h"
#include "datafile/peer_process_test_support.h"
#include "platform/console.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace datafile {
namespace {

using testing::Code;
using testing::CreationLayout;
using testing::Insert;
using testing::PeerProcess;
using testing::StartPeer;
using testing::WaitPeer;

const char kLockText[] = "FITXER BLOQUEJAT. ESPEREU UN MOMENT.";

// Waits until the file exists or the peer has ended; true when it exists.
bool AwaitFile(const std::string& path, testing::PeerProcess& peer) {
  for (;;) {
    if (platform::PathExists(path)) return true;
    if (testing::PeerEnded(peer)) return platform::PathExists(path);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string WholeScreen() {
  std::string text;
  for (int16_t r = 1; r <= platform::ConsoleRows(); ++r) text += platform::ConsoleReadRow(r);
  return text;
}

class LockWaitTest : public testing::DataFileTest {
 protected:
  void SetUp() override {
    DataFileTest::SetUp();
    config::session.TempDir = dir.path();
    platform::console = platform::ConsoleState();
    platform::ConsoleStartWith(platform::ConsoleBackendKind::kHeadless);
    console::screen = console::ScreenState();
    WriteLayout("R", CreationLayout(12, {{{1, 2, recman::KF_BINARY}}}));
    int16_t status = -1;
    DataOpen(501, DataName("R"), buffer, status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(Insert(501, Code(7) + "locked rec"), 0);
    ASSERT_EQ(Insert(501, Code(8) + "free recrd"), 0);
    marker = dir.path() + "peer";
  }

  // A peer that locks record 7 and holds it for at least 3 seconds and
  // until the file "<marker>.go" appears.
  PeerProcess StartLockHolder() {
    PeerProcess pid = StartPeer({"lock", dir.path(), "R", "7", "3", marker});
    EXPECT_TRUE(AwaitFile(marker + ".held", pid)) << "the peer could not lock";
    return pid;
  }
  void LetGo() { platform::WriteFile(marker + ".go", "go"); }

  char buffer[12] = {};
  std::string marker;
};

TEST_F(LockWaitTest, LockModeOneWaitsWithTheMessageUntilTheLockIsGone) {
  PeerProcess peer = StartLockHolder();
  int16_t status = -1;
  DataLockMode(501, "A", status);

  // Watches the screen model while the seek waits, and lets the peer go
  // once the message is up. The seek's thread writes the cells only when it
  // shows and removes the message; the watcher only reads them.
  std::atomic<bool> done{false};
  std::atomic<int> seenRow{0};
  std::thread watcher([&] {
    while (!done) {
      for (int16_t r = 1; r <= 25 && seenRow == 0; ++r) {
        if (platform::ConsoleReadRow(r).find(kLockText) != std::string::npos) {
          seenRow = r;
          LetGo();
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  DataSeek(501, 0, Code(7), 0, status);
  done = true;
  watcher.join();
  LetGo();  // in case the message was never seen

  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::string(buffer + 2, 10), "locked rec");
  EXPECT_EQ(seenRow, 22);  // one line boxed in rows 21-23, for row 24
  EXPECT_TRUE(platform::PathExists(marker + ".released"));
  EXPECT_EQ(WholeScreen(), std::string(25 * 80, ' '));  // message removed
  EXPECT_EQ(console::screen.WindowDepth, 0);
  EXPECT_EQ(WaitPeer(peer), 0);
}

TEST_F(LockWaitTest, LockModeTwoReturnsTheConflictAtOnceAndModeZeroReads) {
  PeerProcess peer = StartLockHolder();
  int16_t status = -1;
  DataSeek(501, 0, Code(8), 0, status);
  ASSERT_EQ(status, 0);
  std::string before(buffer, sizeof buffer);

  DataLockMode(501, "B", status);
  DataSeek(501, 0, Code(7), 0, status);
  EXPECT_EQ(status, recman::B_RECORD_LOCKED);
  EXPECT_EQ(std::string(buffer, sizeof buffer), before);
  EXPECT_EQ(WholeScreen(), std::string(25 * 80, ' '));
  EXPECT_EQ(console::screen.WindowDepth, 0);
  EXPECT_FALSE(platform::PathExists(marker + ".released"));

  // Without locks (the report's mode) the locked record is read at once.
  DataLockMode(501, "D", status);
  DataSeek(501, 0, Code(7), 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::string(buffer + 2, 10), "locked rec");
  EXPECT_FALSE(platform::PathExists(marker + ".released"));

  LetGo();
  EXPECT_EQ(WaitPeer(peer), 0);
}

TEST_F(LockWaitTest, OpenWaitsWhileAnotherProgramHoldsTheFileExclusively) {
  int16_t status = -1;
  DataCloseAll(status);
  ASSERT_EQ(status, 0);
  PeerProcess peer = StartPeer({"exclusive", dir.path(), "R", "3", marker});
  ASSERT_TRUE(AwaitFile(marker + ".held", peer)) << "the peer could not open";

  DataOpen(501, DataName("R"), buffer, status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(platform::PathExists(marker + ".released"));
  EXPECT_EQ(WholeScreen(), std::string(25 * 80, ' '));  // no message meanwhile
  EXPECT_EQ(platform::console.bells, 0);
  DataSeek(501, 0, Code(8), 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(WaitPeer(peer), 0);
}

// The failure path runs in the peer, which ends inside DataOpen.
class OpenFailureTest : public testing::DataFileTest {
 protected:
  // Runs "open" in the peer; returns its exit code. The peer writes what its
  // console went through to <root>peer.report as it ends.
  int RunFailingOpen(const std::string& path) {
    PeerProcess pid = StartPeer({"open", dir.path(), "CAT", path});
    return WaitPeer(pid);
  }
  std::string Report() {
    std::string text;
    platform::ReadFile(dir.path() + "peer.report", &text);
    return text;
  }
};

TEST_F(OpenFailureTest, MissingLayoutEndsTheProgramAfterTheMessage) {
  EXPECT_EQ(RunFailingOpen(DataName("NOU")), 0);
  // One bell, the typed key discarded, one key waited for, the window gone.
  EXPECT_EQ(Report(), "bells=1 waits=1 depth=0 screen=blank");
  std::string xdf;
  EXPECT_TRUE(platform::ReadFile(dir.path() + "ddf/NOU.xdf", &xdf));
  EXPECT_EQ(xdf, "");  // left behind empty
  EXPECT_FALSE(platform::PathExists(dir.path() + "DADES/NOU.dat"));
}

TEST_F(OpenFailureTest, NameTooLongForTheKeyBufferIsAnOpenFailure) {
  std::string longName = DataName(std::string(300, 'N'));
  EXPECT_EQ(RunFailingOpen(longName), 0);
  EXPECT_EQ(Report(), "bells=1 waits=1 depth=0 screen=blank");
}

TEST_F(OpenFailureTest, LayoutLongerThanTheDataBufferIsRefused) {
  std::string creation = CreationLayout(12, {{{1, 2, recman::KF_BINARY}}});
  creation.resize(kDataBufferSize + 1, '\0');
  WriteLayout("GRAN", creation);
  EXPECT_EQ(RunFailingOpen(DataName("GRAN")), 0);
  EXPECT_EQ(Report(), "bells=1 waits=1 depth=0 screen=blank");
  EXPECT_FALSE(platform::PathExists(dir.path() + "DADES/GRAN.dat"));
}

TEST_F(OpenFailureTest, OnlyFilesOfTheDeploymentsOwnerOpen) {
  for (const char* name : {"MEU", "ALIE"}) {
    WriteLayout(name, CreationLayout(12, {{{1, 2, recman::KF_BINARY}}}));
    char buffer[12] = {};
    int16_t status = -1;
    DataOpen(501, DataName(name), buffer, status);
    ASSERT_EQ(status, 0);
    std::string owner = std::string(name) == "MEU" ? OwnerName() : "ALTR";
    owner += '\0';
    std::string key = owner;
    uint32_t length = static_cast<uint32_t>(owner.size());
    ASSERT_EQ(recman::BTRCALL(recman::B_SET_OWNER, table.Slots[OpenSlot(501)].PositionBlock.data(),
                              &owner[0], &length, &key[0], static_cast<uint16_t>(key.size()), 0),
              0);
    DataCloseAll(status);
  }
  EXPECT_EQ(RunFailingOpen(DataName("MEU")), 3);  // opened: DataOpen returned
  EXPECT_EQ(RunFailingOpen(DataName("ALIE")), 0);
  EXPECT_EQ(Report(), "bells=1 waits=1 depth=0 screen=blank");
}

TEST(OpenFailureMessageTest, LanguageTextPathAndStatus) {
  config::session = config::SessionState();
  EXPECT_EQ(OpenFailureMessage("DADES\\X", 35), "NO ES POT ACCEDIR AL FITXER DADES\\X (35)");
  config::session.Language = "OCI";
  EXPECT_EQ(OpenFailureMessage("D", 2), "NON SE P\xE3T ACCEDIR ATH FICH\xD4R D (2)");
  EXPECT_EQ(LockMessage(), "FICH\xD4R BLOQUEJAT. ESPERATZ UN MOMENT.");
  config::session = config::SessionState();
}

// A server suite's file: the statuses about the server say what happened,
// in each language; other statuses, and files on disk, add nothing.
TEST(OpenFailureMessageTest, ServerStatusesSayWhatHappenedToTheServer) {
  platform::TestDir dir;
  dir.Write("Srv/Brol.ini", "[BaseDades]\r\nConnexio=host=/nowhere\r\nEsquema=brol nord\r\n");
  dir.Write("Srv/DADES/.keep", "");
  const std::string file = dir.file("Srv/DADES/X.dat");
  const std::string tooLong = dir.file("Long/DADES/X.dat");
  dir.Write("Long/Brol.ini", "[BaseDades]\r\nConnexio=host=/nowhere\r\nEsquema=" +
                                 std::string(64, 'x') + "\r\n");
  const struct {
    const char* language;
    std::string path;
    int status;
    const char* note;
  } kCases[] = {
      {"CAT", file, 95, ": CONNEXI\xE0 AMB EL SERVIDOR PERDUDA"},
      {"SPA", file, 95, ": CONEXI\xE0N CON EL SERVIDOR PERDIDA"},
      {"GLG", file, 20, ": O SERVIDOR NOM RESPONDE"},
      {"OCI", file, 35, ": ETH ESQUEMA brol nord NON EXISTIS EN SERVIDOR"},
      {"CAT", tooLong, 11, ": NOM D'ESQUEMA MASSA LLARG (M\xB7XIM 63 BYTES)"},
      {"CAT", file, 11, ""},
      {"CAT", file, 84, ""},
      {"CAT", dir.file("X.dat"), 95, ""},
  };
  for (const auto& c : kCases) {
    config::session.Language = c.language;
    EXPECT_EQ(ServerStatusNote(c.status, c.path), c.note) << c.language << " " << c.status;
  }
  config::session = config::SessionState();
  EXPECT_EQ(OpenFailureMessage(file, 95),
            "NO ES POT ACCEDIR AL FITXER " + file + " (95): CONNEXI\xE0 AMB EL SERVIDOR PERDUDA");
}

}  // namespace
}  // namespace datafile
