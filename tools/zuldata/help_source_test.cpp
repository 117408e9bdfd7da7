#include "tools/zuldata/help_source.h"

#include <gtest/gtest.h>

#include <string>

#include "config/session.h"
#include "forms/help_text.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/test_dir.h"
#include "tools/zuldata/suite_root.h"

namespace zuldata {
namespace {

std::string Record(const std::string& cp850) {
  std::string r = cp850;
  r.resize(80, ' ');
  return r;
}

TEST(HelpSource, MarksBecomeTheirCodesAndLinesTheViewerCannotShowAreRefused) {
  std::string hlp, problem;
  ASSERT_TRUE(BuildHelpFile("{h}DATA{h} liquidació\r\n\n{u}a{u}{r}b{r} {x}", &hlp, &problem))
      << problem;
  EXPECT_EQ(hlp, Record("\x1E" "DATA\x1E" " liquidaci\xA2") + Record("") +
                     Record("\x1F" "a\x1F" "\x10" "b\x10" " {x}"));
  EXPECT_TRUE(BuildHelpFile(std::string(76, 'x'), &hlp, &problem));
  EXPECT_FALSE(BuildHelpFile("ok\n" + std::string(77, 'x'), &hlp, &problem));
  EXPECT_EQ(problem.substr(0, 8), "line 2: ");
  // 76 shown, but with its marks the record would pass 80 bytes.
  EXPECT_FALSE(BuildHelpFile("{h}{h}{h}{h}{h}" + std::string(76, 'x'), &hlp, &problem));
  EXPECT_FALSE(BuildHelpFile("\xE4\xB8\xAD", &hlp, &problem));  // not in code page 850
  EXPECT_FALSE(BuildHelpFile("raw \x1E code", &hlp, &problem));
}

TEST(HelpSource, TheSuiteRootGetsBothTopicsAsTheViewerReadsThem) {
  platform::TestDir dir;
  SuiteOptions options;
  options.suiteDir = ZUL_SOURCE_DIR "/suite";
  options.zudavivi = "/nonexistent";
  std::string error;
  ASSERT_TRUE(LayDownSuite(dir.file("root"), options, &error)) << error;
  for (const char* topic : {"TORBELAN", "KESTOBAL"}) {
    console::HelpText text;
    ASSERT_TRUE(console::LoadHelpText(dir.file("root/AJUDA/") + topic + ".HLP", 80, text)) << topic;
    EXPECT_GT(text.LineCount, 17) << topic;  // more than one window
    EXPECT_EQ(text.Bytes.size() % 80, 0u);
  }
  console::HelpText text;
  ASSERT_TRUE(console::LoadHelpText(dir.file("root/AJUDA/TORBELAN.HLP"), 80, text));
  // What the form's fields and keys are called, and where the printout goes.
  std::string all;
  for (int32_t n = 1; n <= text.LineCount; ++n) {
    for (const console::HelpRun& run : console::HelpLineRuns(console::HelpLine(text, n))) {
      all += run.Text;
    }
    all += "\n";
  }
  for (const char* words : {"DATA LIQUIDACI\xE0", "DES DE LA COMUNITAT", "FINS A LA COMUNITAT",
                            "DEPARTAMENT", " F1 ", " F4 ", "Alt+C", "Alt+X", " Esc ", "PgUp",
                            "PgDn", "Sortida", "PANTALLA", "PDF", "TXT"}) {
    EXPECT_NE(all.find(words), std::string::npos) << words;
  }
  EXPECT_FALSE(platform::PathExists(dir.file("root/AJUDA/README.md")));
  EXPECT_FALSE(platform::PathExists(dir.file("root/AJUDA/TORBELAN.txt")));
}

}  // namespace
}  // namespace zuldata
