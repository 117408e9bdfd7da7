// The whole report over the demo suite: `zuldata demo` lays down a root in a
// temporary folder, `torbelan --batch` runs a pass there, and the spool it
// writes is compared line by line with the expected spools in testdata/,
// whose figures were worked out by hand (testdata/NOTES.md). The print
// program then renders the spool to a text document.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/test_dir.h"
#include "report/demo_root_test_support.h"

namespace {

using namespace demo_root;

TEST_F(DemoRoot, CatalanSpoolMatchesTheHandWorkedFiguresAndIsPrinted) {
  ASSERT_EQ(Batch("31/12/2026", "1.0", "999.999"), 0);
  ExpectSpool("expected_ca.spool");
  if (access(kZudavivi.c_str(), X_OK) == 0) {
    std::string text = Read(root_ + "/TERM01/LIQUIDACIO.TXT");
    EXPECT_NE(text.find("DETALL DE LIQUIDACIÓ DES DEL 1 D'OCTUBRE DEL 2026"), std::string::npos);
    EXPECT_NE(text.find("L'ERA D'EN PUJOL"), std::string::npos);
  }
}

TEST_F(DemoRoot, SpanishSpoolTranslatesEveryCaption) {
  SetIni(root_ + "/TERM01/BrolTerm.ini", "Idioma", "SPA");
  ASSERT_EQ(Batch("311226", "1.0", "999.999"), 0);
  ExpectSpool("expected_es.spool");
}

TEST_F(DemoRoot, LetterheadSettingNLeavesTheTopFree) {
  SetIni(root_ + "/Brol.ini", "Membret", "N");
  ASSERT_EQ(Batch("31.12.26", "1.0", "999.999"), 0);
  ExpectSpool("expected_ca_n.spool");
}

TEST_F(DemoRoot, UnselectedDepartmentsStillCountInTheFees) {
  // Only departments 3 and 4 of community 1: the fees are still those of
  // its ten departments, so department 3's general share stays 68,06.
  ASSERT_EQ(Batch("31/12/2026", "1.3", "1.4"), 0);
  std::string spool = Spool();
  EXPECT_NE(spool.find("DEL DEPARTAMENT (3) 1r 1a JOAN PUJOL I FERRER"), std::string::npos);
  EXPECT_NE(spool.find(" 64 ,     68,06, 2 "), std::string::npos);
  EXPECT_EQ(spool.find("DEL DEPARTAMENT (2)"), std::string::npos);
  EXPECT_EQ(spool.find("DEL DEPARTAMENT (5)"), std::string::npos);
  EXPECT_EQ(spool.find("MOL\xD6 VELL"), std::string::npos);
}

TEST_F(DemoRoot, ACommunitySettledAlreadyAtTheDateIsLeftOutAndNamed) {
  // Community 1 was settled up to 30/09/2026: a settlement to 31/07/2026
  // would run from 1/10/2026 back to 31/07/2026. Nothing else is selected:
  // nothing is printed, exit 1.
  const std::string named = "COMUNITATS NO LIQUIDADES, LA DATA NO \xC3\x89S POSTERIOR A LA SEVA "
                            "DARRERA LIQUIDACI\xC3\x93: 1 (30/9/2026)";
  std::string err;
  EXPECT_EQ(BatchErr({"31/07/2026", "1"}, &err), 1) << err;
  EXPECT_EQ(err, "torbelan: " + named + ". NO S'IMPRIMEIX RES\n");
  EXPECT_TRUE(Spool().empty());
  // The day of the last settlement itself: community 1 is left out, named
  // on its own line, community 2 (settled up to 30/06/2026) printed.
  EXPECT_EQ(BatchErr({"30/09/2026", "1", "2"}, &err), 0) << err;
  EXPECT_NE(err.find("torbelan: " + named + "\n"), std::string::npos) << err;
  std::string spool = Spool();
  EXPECT_EQ(spool.find("PUJOL"), std::string::npos);
  EXPECT_NE(spool.find("EL MOL\xD6 VELL"), std::string::npos);
  EXPECT_EQ(spool.find("FINS AL 30 DE JUNY"), std::string::npos);  // no backwards period
  // An ordinary date: no note.
  ASSERT_EQ(BatchErr({"31/12/2026", "1", "2"}, &err), 0) << err;
  EXPECT_EQ(err.find("NO LIQUIDADES"), std::string::npos) << err;
}

TEST_F(DemoRoot, WholeCommunitiesAndTheirDepartmentRangeSelectTheSame) {
  std::string err;
  ASSERT_EQ(BatchErr({"31/12/2026", "2"}, &err), 0) << err;
  std::string whole = Spool();
  ASSERT_EQ(BatchErr({"31/12/2026", "2.0", "2.9999"}, &err), 0) << err;
  EXPECT_EQ(whole, Spool());
  EXPECT_EQ(whole.find("L'ERA D'EN PUJOL"), std::string::npos);
  EXPECT_NE(whole.find("EL MOL\xD6 VELL"), std::string::npos);
  ASSERT_EQ(BatchErr({"31/12/2026", "1", "2"}, &err), 0) << err;
  std::string two = Spool();
  ASSERT_EQ(BatchErr({"31/12/2026", "1.0", "2.9999"}, &err), 0) << err;
  EXPECT_EQ(two, Spool());
  EXPECT_NE(two.find("L'ERA D'EN PUJOL"), std::string::npos);
  EXPECT_EQ(two.find("RAMBLA NOVA"), std::string::npos);
  // The two forms do not mix; a community has at most four digits.
  EXPECT_EQ(BatchErr({"31/12/2026", "1", "2.5"}, &err), 2);
  EXPECT_EQ(BatchErr({"31/12/2026", "12345"}, &err), 2);
  EXPECT_EQ(BatchErr({"31/12/2026", "1", "2", "3"}, &err), 2);
}

TEST_F(DemoRoot, BatchFeedbackCountsSettlementsAndPagesAndNamesTheDocument) {
  std::string err;
  ASSERT_EQ(BatchErr({"31/12/2026", "1.0", "999.999"}, &err), 0) << err;
  std::string spool = Spool();
  size_t settlements = 0, pages = 0;
  for (size_t at = spool.find("DEL DEPARTAMENT ("); at != std::string::npos;
       at = spool.find("DEL DEPARTAMENT (", at + 1))
    ++settlements;
  for (size_t at = spool.find("\r\n*@e\r\n"); at != std::string::npos;
       at = spool.find("\r\n*@e\r\n", at + 1))
    ++pages;
  ASSERT_GT(settlements, 0u);
  // The report's line is the last, after what the print program says.
  const std::string said = "\ntorbelan: " + std::to_string(settlements) + " LIQUIDACIONS, " +
                           std::to_string(pages) + " P\xC3\x80GINES: DOCUMENT DE TEXT " + root_ +
                           "/TERM01/LIQUIDACIO.TXT\n";
  const std::string lines = "\n" + err;
  EXPECT_TRUE(lines.size() >= said.size() &&
              lines.compare(lines.size() - said.size(), said.size(), said) == 0)
      << err;
  // An empty selection says so, exits 1 and prints nothing.
  ASSERT_EQ(platform::RunProgram("/bin/rm", {"-f", root_ + "/TERM01/LIQUIDACIO.TXT"}), 0);
  EXPECT_EQ(BatchErr({"31/12/2026", "500.0", "600.999"}, &err), 1);
  EXPECT_EQ(err, "torbelan: CAP LIQUIDACI\xC3\x93 A IMPRIMIR: LA SELECCI\xC3\x93 NO T\xC3\x89 CAP "
                 "DEPARTAMENT\n");
  EXPECT_FALSE(platform::PathExists(root_ + "/TERM01/LIQUIDACIO.TXT"));
  EXPECT_FALSE(platform::PathExists(root_ + "/TERM01/zudavivi.tmp"));
}

TEST_F(DemoRoot, TheDeviceOfOneRunGoesToThePrintProgramAndNoIniFileChanges) {
  const std::string ini = Read(root_ + "/TERM01/BrolTerm.ini");
  std::string err;
  const std::string pdf = dir_.file("out.pdf");
  ASSERT_EQ(BatchErr({"--device", "PDF:" + pdf, "31/12/2026", "1"}, &err), 0) << err;
  EXPECT_EQ(Spool().rfind("DEVICEPDF:" + pdf + "\r\n", 0), 0u);
  EXPECT_NE(err.find("DOCUMENT PDF " + pdf), std::string::npos) << err;
  if (access(kZudavivi.c_str(), X_OK) == 0) {
    EXPECT_EQ(Read(pdf).compare(0, 4, "%PDF"), 0);
  }
  const std::string txt = dir_.file("out.txt");
  ASSERT_EQ(BatchErr({"31/12/2026", "1", "--device", "TXT:" + txt}, &err), 0) << err;
  EXPECT_NE(Read(txt).find("L'ERA D'EN PUJOL"), std::string::npos);
  EXPECT_EQ(Read(root_ + "/TERM01/BrolTerm.ini"), ini);
  EXPECT_FALSE(platform::PathExists(root_ + "/TERM01/LIQUIDACIO.TXT"));
  EXPECT_EQ(BatchErr({"31/12/2026", "1", "--device"}, &err), 2);
  // A document without a path: where the print program put it; one of each.
  ASSERT_EQ(BatchErr({"31/12/2026", "1.1", "1.1", "--device", "TXT"}, &err), 0) << err;
  const std::string said = "torbelan: 1 LIQUIDACI\xC3\x93, 1 P\xC3\x80GINA: DOCUMENT DE TEXT " +
                           root_ + "/TERM01/LIQUIDACIO_2026-12-31.txt\n";
  EXPECT_EQ(err.substr(err.size() - std::min(err.size(), said.size())), said) << err;
  EXPECT_NE(Read(root_ + "/TERM01/LIQUIDACIO_2026-12-31.txt").find("PUJOL"), std::string::npos);
}

TEST_F(DemoRoot, ThePrintProgramsOutcomeGivesTheExitCode) {
  std::string err;
  setenv("ZULEXE", dir_.file("nobin/").c_str(), 1);
  EXPECT_EQ(BatchErr({"31/12/2026", "1"}, &err), 3);
  EXPECT_NE(err.find("NO ES POT EXECUTAR EL PROGRAMA D'IMPRESSI\xC3\x93 " + dir_.file("nobin") +
                     "/ZUDAVIVI"),
            std::string::npos) << err;
  ASSERT_TRUE(platform::MakeDirs(dir_.file("failing")));
  ASSERT_TRUE(platform::WriteFile(dir_.file("failing/ZUDAVIVI"), "#!/bin/sh\nexit 7\n"));
  ASSERT_EQ(platform::RunProgram("/bin/chmod", {"755", dir_.file("failing/ZUDAVIVI")}), 0);
  setenv("ZULEXE", dir_.file("failing/").c_str(), 1);
  EXPECT_EQ(BatchErr({"31/12/2026", "1"}, &err), 4);
  EXPECT_NE(err.find("HA ACABAT AMB EL CODI 7"), std::string::npos) << err;
}

TEST_F(DemoRoot, AFeeRateThatIsNotAPercentageStopsTheRun) {
  for (const char* bad : {"150", "-5"}) {
    SetIni(root_ + "/Brol.ini", "Iva1", bad);
    std::string err;
    EXPECT_EQ(BatchErr({"31/12/2026", "1"}, &err), 6) << bad;
    EXPECT_NE(err.find("PERCENTATGE NO V\xC3\x80LID A " + root_ + "/Brol.ini [Honoraris] Iva1=" +
                       bad),
              std::string::npos) << err;
    EXPECT_TRUE(Spool().empty());
  }
  SetIni(root_ + "/Brol.ini", "Iva1", "100");
  std::string err;
  EXPECT_EQ(BatchErr({"31/12/2026", "1"}, &err), 0) << err;
}

TEST_F(DemoRoot, UnreadableArgumentsExitWithTwo) {
  EXPECT_EQ(Batch("31/02/2026", "1.0", "999.999"), 2);  // no such day
  EXPECT_EQ(Batch("31/12", "1.0", "999.999"), 2);
  EXPECT_EQ(Batch("31/12/2026", "1", "999.999"), 2);    // not community.department
  EXPECT_EQ(Batch("31/12/2026", "1.0", "999.x"), 2);
  EXPECT_EQ(Batch("31/12/2026", "2.0", "1.999"), 2);    // first after last
  EXPECT_EQ(platform::RunProgram(kTorbelan, {"--batch", "31/12/2026"}), 2);
  EXPECT_TRUE(Spool().empty());
}

// What is wrong with the command line is said first, in the session's
// language, naming the argument as typed.
TEST_F(DemoRoot, RefusedArgumentsAreNamedInTheSessionsLanguage) {
  SetIni(root_ + "/TERM01/BrolTerm.ini", "Idioma", "SPA");
  const std::string code = "NO ES UN C\xC3\x93" "DIGO COMUNIDAD.DEPARTAMENTO: ";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--bogus"}, "ARGUMENTO DESCONOCIDO: --bogus"},
      {{"--batch"}, "--batch NECESITA UNA FECHA Y UNO O DOS DEPARTAMENTOS O COMUNIDADES"},
      {{"--batch", "311226", "a"}, code + "a"},
      {{"--batch", "311226", ""}, code + "\"\""},
      {{"--batch", "311226", "1.0", "a.0"}, code + "a.0"},
      {{"--batch", "311226", "1", "--figures"}, "--figures NECESITA UN FICHERO (CIFRAS.CSV)"},
  };
  for (const auto& [args, said] : cases) {
    std::string err;
    EXPECT_EQ(RunErr(args, &err), 2) << said;
    EXPECT_EQ(err.substr(0, err.find('\n')), "torbelan: " + said);
  }
  EXPECT_TRUE(Spool().empty());
}

TEST_F(DemoRoot, SpoolThatCannotBeWrittenIsReportedAndNotPrinted) {
  setenv("ZULTMP", dir_.file("missing/").c_str(), 1);
  // The terminal files are not there either; the device is then empty.
  EXPECT_EQ(Batch("31/12/2026", "1.0", "999.999"), 1);
}

// Two passes in one terminal folder share the spool's name: the second
// waits (told with the data files' lock message) until the first's print
// program has ended, and each prints its own selection. The print program
// here waits a little before it reads the spool, so that the passes meet.
TEST_F(DemoRoot, TwoPassesInOneTerminalFolderTakeTurnsAndEachPrintsItsOwn) {
  if (access(kZudavivi.c_str(), X_OK) != 0) GTEST_SKIP() << "no print program";
  ASSERT_TRUE(platform::MakeDirs(dir_.file("slow")));
  ASSERT_TRUE(platform::WriteFile(dir_.file("slow/ZUDAVIVI"),
                                  "#!/bin/sh\nsleep 0.3\nexec '" + kZudavivi + "'\n"));
  ASSERT_EQ(platform::RunProgram("/bin/chmod", {"755", dir_.file("slow/ZUDAVIVI")}), 0);
  setenv("ZULEXE", dir_.file("slow/").c_str(), 1);
  auto run = [&](const std::string& name, const std::string& community) {
    return "'" + kTorbelan + "' --batch 31/12/2026 " + community + " --device TXT:" +
           dir_.file(name + ".txt") + " 2>" + dir_.file(name + ".err");
  };
  std::string told;
  for (int pair = 0; pair < 3; ++pair) {
    ASSERT_EQ(platform::RunProgram("/bin/sh", {"-c", run("a", "1") + " & " + run("b", "3") +
                                                         "; b=$?; wait $!; [ $? = 0 ] && "
                                                         "[ $b = 0 ]"}),
              0);
    const std::string a = Read(dir_.file("a.txt")), b = Read(dir_.file("b.txt"));
    EXPECT_NE(a.find("L'ERA D'EN PUJOL"), std::string::npos) << pair;
    EXPECT_EQ(a.find("RAMBLA NOVA"), std::string::npos) << pair;
    EXPECT_NE(b.find("RAMBLA NOVA"), std::string::npos) << pair;
    EXPECT_EQ(b.find("L'ERA D'EN PUJOL"), std::string::npos) << pair;
    told += Read(dir_.file("a.err")) + Read(dir_.file("b.err"));
  }
  EXPECT_NE(told.find("torbelan: FITXER BLOQUEJAT. ESPEREU UN MOMENT."), std::string::npos)
      << told;
  EXPECT_FALSE(platform::PathExists(root_ + "/TERM01/zudavivi.lck"));
}

// The spool carries the device in code page 850: a path with a character
// it lacks is refused, and nothing is printed under another name.
TEST_F(DemoRoot, ADevicePathWithACharacterTheCodePageLacksIsRefused) {
  std::string err;
  const std::string pdf = dir_.file("liquidaci\xC3\xB3_\xE6\x97\xA5\xE6\x9C\xAC.pdf");
  EXPECT_EQ(BatchErr({"--device", "PDF:" + pdf, "31/12/2026", "1"}, &err), 2);
  EXPECT_NE(err.find("EL DISPOSITIU PDF:" + dir_.file("liquidaci\xC3\xB3_??.pdf") +
                     " T\xC3\x89 UN CAR\xC3\x80" "CTER QUE EL CODI DE P\xC3\x80GINA 850 NO "
                     "T\xC3\x89 (U+65E5)"),
            std::string::npos)
      << err;
  EXPECT_TRUE(Spool().empty());
}

TEST_F(DemoRoot, AMissingDataFileIsReportedWithoutAScreen) {
  ASSERT_EQ(platform::RunProgram("/bin/rm", {"-f", root_ + "/DADES/THRebut.dat",
                                             root_ + "/ddf/THRebut.xdf"}),
            0);
  EXPECT_EQ(Batch("31/12/2026", "1.0", "999.999"), 5);  // a data file cannot be opened
  EXPECT_TRUE(Spool().empty());
}

}  // namespace
