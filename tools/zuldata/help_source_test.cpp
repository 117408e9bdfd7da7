#include "tools/zuldata/help_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  // An editor's byte-order mark before the first line is no character.
  ASSERT_TRUE(BuildHelpFile("\xEF\xBB\xBF{h}A{h}\n", &hlp, &problem)) << problem;
  EXPECT_EQ(hlp, Record("\x1E" "A\x1E"));
}

TEST(HelpSource, TheSuiteRootGetsBothTopicsAsTheViewerReadsThem) {
  platform::TestDir dir;
  SuiteOptions options;
  options.suiteDir = ZUL_SOURCE_DIR "/suite";
  options.zudavivi = "/nonexistent";
  std::string error;
  ASSERT_TRUE(LayDownSuite(dir.file("root"), options, &error)) << error;
  for (const char* folder : {"", "SPA/"}) {
    for (const char* topic : {"TORBELAN", "KESTOBAL"}) {
      console::HelpText text;
      const std::string name = dir.file("root/AJUDA/") + folder + topic + ".HLP";
      ASSERT_TRUE(console::LoadHelpText(name, 80, text)) << name;
      EXPECT_GT(text.LineCount, 17) << name;  // more than one window
      EXPECT_EQ(text.Bytes.size() % 80, 0u);
    }
  }
  // What the form's fields, the printed page's lines and the keys are
  // called, and where the printout goes, in each language; and nothing of
  // what the page does not print or the field does not take.
  const struct {
    const char* file;
    std::vector<std::string> words;
  } texts[] = {
      {"root/AJUDA/TORBELAN.HLP",
       {"DATA LIQUIDACI\xE0", "FINS A LA COMUNITAT", "R\xE3SSEC ANTERIOR",
        "PARTICIPACI\xE0 DESPESES", "TOTAL FONS", "SUMEN", "311226"}},
      {"root/AJUDA/SPA/TORBELAN.HLP",
       {"FECHA LIQUIDACI\xE0N", "HASTA LA COMUNIDAD", "SALDO ANTERIOR",
        "PARTICIPACI\xE0N GASTOS", "TOTAL FONDOS", "SUMAN", "311226"}},
  };
  for (const auto& t : texts) {
    console::HelpText text;
    ASSERT_TRUE(console::LoadHelpText(dir.file(t.file), 80, text));
    std::string all;
    for (int32_t n = 1; n <= text.LineCount; ++n) {
      for (const console::HelpRun& run : console::HelpLineRuns(console::HelpLine(text, n))) {
        all += run.Text;
      }
      all += "\n";
    }
    std::vector<std::string> words = t.words;
    for (const char* key : {" F1 ", " F4 ", "Alt+C", "Alt+X", " Esc ", "PgUp", "Sortida", "PDF"})
      words.push_back(key);
    for (const std::string& w : words) EXPECT_NE(all.find(w), std::string::npos) << t.file << w;
    for (const char* absent : {"dd/mm/aaaa", "pagaments i cobraments", "pagos y cobros"})
      EXPECT_EQ(all.find(absent), std::string::npos) << t.file << absent;
  }
  EXPECT_FALSE(platform::PathExists(dir.file("root/AJUDA/README.md")));
  EXPECT_FALSE(platform::PathExists(dir.file("root/AJUDA/TORBELAN.txt")));
}

}  // namespace
}  // namespace zuldata
