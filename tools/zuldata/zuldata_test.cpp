// zuldata: descriptions to creation layouts (exact bytes), and the
// xdf/create/dump/check commands run as the real program.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstring>

#include "platform/coding.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/test_dir.h"
#include "recman/btrcall.h"
#include "recman/key_layout.h"
#include "recman/record_manager.h"
#include "recman/recman_test_support.h"
#include "tools/zuldata/commands.h"

namespace zuldata {
namespace {

using recman::testing_support::Handle;
using platform::TestDir;

TEST(Description, BuildsTheExactLayout) {
  const char* text =
      "# departments\n"
      "record 40\n"
      "page 1024\n"
      "acs CAT cp850-upper   # accents weigh as plain letters\n"
      "weight 'a' 0x41\n"
      "key duplicates modifiable null=' '\n"
      "  segment 1 2 unsigned\n"
      "  segment 5 10 string acs descending\n"
      "key\n"
      "  segment 3 2 integer\n";
  std::string creation, error;
  ASSERT_TRUE(DescriptionToLayout(text, &creation, &error)) << error;
  ASSERT_EQ(creation.size(), size_t(16 + 3 * 16 + 265));
  const uint8_t* p = reinterpret_cast<const uint8_t*>(creation.data());
  EXPECT_EQ(platform::DecodeFixed16(p + recman::FS_RECORD_LENGTH), 40);
  EXPECT_EQ(platform::DecodeFixed16(p + recman::FS_PAGE_SIZE), 1024);
  EXPECT_EQ(platform::DecodeFixed16(p + recman::FS_NUMBER_OF_KEYS), 2);
  const uint8_t* s0 = p + 16;
  EXPECT_EQ(platform::DecodeFixed16(s0 + recman::KS_POSITION), 1);
  EXPECT_EQ(platform::DecodeFixed16(s0 + recman::KS_FLAGS),
            recman::KF_DUPLICATES | recman::KF_MODIFIABLE | recman::KF_NULL |
                recman::KF_SEGMENTED | recman::KF_EXTENDED_TYPE | recman::KF_BINARY);
  EXPECT_EQ(s0[recman::KS_EXTENDED_TYPE], recman::XT_UNSIGNED_BINARY);
  EXPECT_EQ(s0[recman::KS_NULL_VALUE], ' ');
  const uint8_t* s1 = p + 32;
  EXPECT_EQ(platform::DecodeFixed16(s1 + recman::KS_FLAGS),
            recman::KF_DUPLICATES | recman::KF_MODIFIABLE | recman::KF_NULL |
                recman::KF_ALT_COLLATING | recman::KF_DESCENDING);
  const uint8_t* s2 = p + 48;
  EXPECT_EQ(platform::DecodeFixed16(s2 + recman::KS_FLAGS), recman::KF_EXTENDED_TYPE);
  EXPECT_EQ(s2[recman::KS_EXTENDED_TYPE], recman::XT_INTEGER);
  const uint8_t* acs = p + 64;
  EXPECT_EQ(acs[recman::ACS_SIGNATURE], 0xAC);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(acs + recman::ACS_NAME), 8), "CAT     ");
  EXPECT_EQ(acs[recman::ACS_TABLE + 'a'], 0x41);
  EXPECT_EQ(acs[recman::ACS_TABLE + 0x87], 'C');  // c with cedilla
  EXPECT_EQ(acs[recman::ACS_TABLE + '5'], '5');
}

TEST(Description, ErrorsNameTheLine) {
  std::string creation, error;
  EXPECT_FALSE(DescriptionToLayout("record 10\nkey\nsegment 1 4 text\n", &creation, &error));
  EXPECT_EQ(error.rfind("line 3:", 0), 0u) << error;
  EXPECT_FALSE(DescriptionToLayout("record 10\nsegment 1 4 string\n", &creation, &error));
  EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
  EXPECT_FALSE(DescriptionToLayout("key\n", &creation, &error));
  EXPECT_FALSE(DescriptionToLayout("record 10\nkey\nsegment 8 4 string\n", &creation, &error));
  EXPECT_NE(error.find("27"), std::string::npos) << error;
  EXPECT_FALSE(DescriptionToLayout("record 10\nkey\n", &creation, &error));
}

TEST(Description, NumbersAreDecimalOrHexadecimalNeverOctal) {
  std::string creation, error;
  ASSERT_TRUE(DescriptionToLayout("record 010\nkey\nsegment 09 0x2 string\n", &creation,
                                  &error))
      << error;
  const uint8_t* p = reinterpret_cast<const uint8_t*>(creation.data());
  EXPECT_EQ(platform::DecodeFixed16(p + recman::FS_RECORD_LENGTH), 10);
  EXPECT_EQ(platform::DecodeFixed16(p + 16 + recman::KS_POSITION), 9);
  EXPECT_EQ(platform::DecodeFixed16(p + 16 + recman::KS_LENGTH), 2);
  for (const char* bad : {"record -5\n", "record +5\n", "record 0x\n", "record 5x\n",
                          "record 99999999999999999999\n", "record 0xFFFFFFFFFFFFFFFFFF\n"}) {
    EXPECT_FALSE(DescriptionToLayout(bad, &creation, &error)) << bad;
    EXPECT_EQ(error.rfind("line 1:", 0), 0u) << error;
  }
}

TEST(Description, ALayoutLongerThanAnXdfHoldsIsRefused) {
  // 247 collating sequences make 16 + 247 * 265 = 65,471 bytes, 248 make
  // 65,736: past the 2-byte length of an .xdf file.
  std::string text = "record 10\n";
  for (int i = 0; i < 247; ++i) text += "acs A" + std::to_string(i) + "\n";
  std::string creation, error;
  ASSERT_TRUE(DescriptionToLayout(text, &creation, &error)) << error;
  EXPECT_EQ(creation.size(), 65471u);
  text += "acs LAST\n";
  EXPECT_FALSE(DescriptionToLayout(text, &creation, &error));
  EXPECT_NE(error.find("65736 bytes"), std::string::npos) << error;
  EXPECT_TRUE(creation.empty());
}

// Runs zuldata with the arguments; a run that does not end within two
// minutes is stopped (exit code 124).
int RunTool(const std::string& args, std::string* out = nullptr) {
  std::string cmd = "timeout 120 " + std::string(ZULDATA_EXE) + " " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return -1;
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
  int st = pclose(p);
  if (out) *out = text;
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

TEST(Commands, XdfCreateDumpCheck) {
  TestDir dir;
  ASSERT_TRUE(platform::WriteFile(dir.file("t.desc"),
                                  "record 8\nkey duplicates\n segment 1 2 unsigned\n"));
  ASSERT_EQ(RunTool("xdf " + dir.file("t.desc") + " " + dir.file("t.xdf")), 0);
  std::string xdf;
  ASSERT_TRUE(platform::ReadFile(dir.file("t.xdf"), &xdf));
  EXPECT_EQ(xdf.size(), size_t(2 + 32));
  EXPECT_EQ(xdf[0], 32);

  const std::string dat = dir.file("t.dat");
  ASSERT_EQ(RunTool("create " + dat + " " + dir.file("t.xdf") + " --owner ZUL1"), 0);
  std::string out;
  EXPECT_EQ(RunTool("create " + dat + " " + dir.file("t.xdf"), &out), 1);
  EXPECT_NE(out.find("status 59"), std::string::npos) << out;
  {
    Handle h;
    EXPECT_EQ(h.Open(dat), recman::B_INVALID_OWNER);
    ASSERT_EQ(h.Open(dat, 0, std::string("ZUL1\0", 5)), 0);
    ASSERT_EQ(h.Insert(std::string("\x02\x01" "abc\\\x87\x01", 8)), 0);
    ASSERT_EQ(h.Insert(std::string("\x01\x02" "xyz   ", 8)), 0);
    recman::manager = recman::RecmanState();
  }
  ASSERT_EQ(RunTool("dump " + dat + " --owner ZUL1", &out), 0);
  EXPECT_EQ(out,
            "# records 2, length 8, keys 1\n"
            "@1 [\\x02\\x01] \\x02\\x01abc\\\\\xC3\xA7\\x01\n"
            "@2 [\\x01\\x02] \\x01\\x02xyz   \n");
  EXPECT_EQ(RunTool("dump " + dat, &out), 1);  // no owner: status 51, said what it means
  EXPECT_NE(out.find("status 51: a wrong owner name"), std::string::npos) << out;
  ASSERT_EQ(RunTool("check " + dat, &out), 0);
  EXPECT_EQ(out, "ok: 2 records\n");
  ASSERT_TRUE(platform::WriteFile(dir.file("text.dat"), "hello\n"));
  EXPECT_EQ(RunTool("check " + dir.file("text.dat"), &out), 1);
  EXPECT_NE(out.find("status 30"), std::string::npos) << out;
  EXPECT_EQ(RunTool("frobnicate"), 2);
  ASSERT_EQ(RunTool("--help", &out), 0);  // every option of every command
  for (const char* option : {"--owner-mode", "--replace", "--allow-identical", "--semicolon"})
    EXPECT_NE(out.find(option), std::string::npos) << option;
}

TEST(Commands, TooLongDescriptionsAndBadOwnerModesLeaveNoFile) {
  TestDir dir;
  std::string text = "record 10\n";
  for (int i = 0; i < 250; ++i) text += "acs A" + std::to_string(i) + "\n";
  ASSERT_TRUE(platform::WriteFile(dir.file("long.desc"), text));
  std::string out;
  EXPECT_EQ(RunTool("xdf " + dir.file("long.desc") + " " + dir.file("long.xdf"), &out), 1);
  EXPECT_NE(out.find("at most 65535"), std::string::npos) << out;
  EXPECT_FALSE(platform::PathExists(dir.file("long.xdf")));

  ASSERT_TRUE(platform::WriteFile(dir.file("t.desc"), "record 8\n"));
  ASSERT_EQ(RunTool("xdf " + dir.file("t.desc") + " " + dir.file("t.xdf")), 0);
  const std::string dat = dir.file("t.dat");
  for (const char* options : {"--owner ZUL1 --owner-mode 99", "--owner ZUL1 --owner-mode x",
                              "--owner-mode 1"}) {
    EXPECT_EQ(RunTool("create " + dat + " " + dir.file("t.xdf") + " " + options, &out), 2)
        << options;
    EXPECT_FALSE(platform::PathExists(dat)) << options;
  }
  ASSERT_EQ(RunTool("create " + dat + " " + dir.file("t.xdf") + " --owner ZUL1 --owner-mode 1"),
            0);
  Handle h;
  EXPECT_EQ(h.Open(dat), 0);  // mode 1: reading is allowed without the owner
  recman::manager = recman::RecmanState();
}

TEST(Commands, DumpAndCheckOfADamagedKeyEndWithAMessage) {
  TestDir dir;
  ASSERT_TRUE(platform::WriteFile(dir.file("t.desc"),
                                  "record 8\nkey\n segment 1 2 unsigned\n"
                                  "key duplicates\n segment 3 4 string\n"));
  ASSERT_EQ(RunTool("xdf " + dir.file("t.desc") + " " + dir.file("t.xdf")), 0);
  const std::string dat = dir.file("t.dat");
  ASSERT_EQ(RunTool("create " + dat + " " + dir.file("t.xdf")), 0);
  {
    Handle h;
    ASSERT_EQ(h.Open(dat), 0);
    for (const char* r : {"\x01\x00" "AAAA..", "\x02\x00" "BBBB..", "\x03\x00" "CCCC.."})
      ASSERT_EQ(h.Insert(std::string(r, 8)), 0);
    recman::manager = recman::RecmanState();
  }
  // Record 2's entry in key 1 becomes a copy of record 3's.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(dat.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "UPDATE zul_rec SET k1 = (SELECT k1 FROM zul_rec WHERE pos = 3)"
                         " WHERE pos = 2",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  std::string out;
  EXPECT_EQ(RunTool("dump " + dat + " --key 1", &out), 1) << out.substr(0, 2000);
  EXPECT_NE(out.find("read status 2"), std::string::npos) << out.substr(0, 2000);
  EXPECT_EQ(out.find("@2 "), std::string::npos) << out.substr(0, 2000);
  ASSERT_EQ(RunTool("dump " + dat + " --key 0", &out), 0) << out;
  EXPECT_NE(out.find("@3 "), std::string::npos) << out;
  EXPECT_EQ(RunTool("check " + dat, &out), 1);
  EXPECT_NE(out.find("key 1: "), std::string::npos) << out;
}

}  // namespace
}  // namespace zuldata
