#include "print/print_result.h"

#include <gtest/gtest.h>

#include <string>

#include "config/session.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/test_dir.h"

namespace print {
namespace {

TEST(PrintResult, WrittenReadBackOnceAndNeverLeftEmpty) {
  platform::TestDir dir;
  config::session = config::SessionState();
  config::session.TempDir = dir.path();
  const std::string file = dir.file("zudavivi.msg");

  ASSERT_TRUE(WritePrintResult({"/srv/TERM01/LIQ.txt", "no es pot\r\ncrear", "", 0}));
  std::string bytes;
  ASSERT_TRUE(platform::ReadFile(file, &bytes));
  EXPECT_EQ(bytes, "DOCUMENT/srv/TERM01/LIQ.txt\r\nMESSAGEno es pot  crear\r\n");
  const PrintResult got = TakePrintResult();
  EXPECT_EQ(got.document, "/srv/TERM01/LIQ.txt");
  EXPECT_EQ(got.message, "no es pot  crear");
  EXPECT_FALSE(platform::PathExists(file));
  EXPECT_EQ(TakePrintResult().message, "");  // read once

  // Nothing to tell: no file. A record this reader does not know is
  // passed over.
  ASSERT_TRUE(WritePrintResult(PrintResult()));
  EXPECT_FALSE(platform::PathExists(file));
  ASSERT_TRUE(platform::WriteFile(file, "PAGES 3\nMESSAGEcap impressora\n"));
  EXPECT_EQ(TakePrintResult().message, "cap impressora");

  // A folder of documents comes back with their number.
  PrintResult folder;
  folder.folder = "/srv/LIQ";
  folder.files = 25;
  ASSERT_TRUE(WritePrintResult(folder));
  ASSERT_TRUE(platform::ReadFile(file, &bytes));
  EXPECT_EQ(bytes, "FOLDER/srv/LIQ\r\nFILES25\r\n");
  const PrintResult back = TakePrintResult();
  EXPECT_EQ(back.folder, "/srv/LIQ");
  EXPECT_EQ(back.files, 25);
  config::session = config::SessionState();
}

}  // namespace
}  // namespace print
