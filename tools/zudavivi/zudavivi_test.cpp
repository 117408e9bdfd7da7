// End-to-end tests of the print program: spools written by the report's own
// spool writer, rendered by the ZUDAVIVI executable, read back from the
// files it makes (pdfinfo and pdftotext for the PDF).
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "config/session.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/test_dir.h"
#include "print/spool.h"
#include "tools/zudavivi/device.h"

namespace zudavivi {
namespace {

struct Ran {
  int code = -1;
  std::string output;  // stdout and stderr
};

Ran Shell(const std::string& command) {
  Ran ran;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return ran;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) ran.output.append(buf, n);
  int st = pclose(p);
  ran.code = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return ran;
}

// Lines of a text, with runs of spaces made one and blank lines dropped,
// page by page (form feeds).
std::vector<std::vector<std::string>> Words(const std::string& text) {
  std::vector<std::vector<std::string>> pages(1);
  std::string line;
  auto flush = [&]() {
    std::string squeezed = std::regex_replace(line, std::regex(" +"), " ");
    if (!squeezed.empty() && squeezed[0] == ' ') squeezed.erase(0, 1);
    if (!squeezed.empty() && squeezed.back() == ' ') squeezed.pop_back();
    if (!squeezed.empty()) pages.back().push_back(squeezed);
    line.clear();
  };
  for (char c : text) {
    if (c == '\n') {
      flush();
    } else if (c == '\f') {
      flush();
      pages.emplace_back();
    } else {
      line += c;
    }
  }
  flush();
  while (pages.size() > 1 && pages.back().empty()) pages.pop_back();  // pdftotext's last FF
  return pages;
}

class ZudaviviTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config::session = config::SessionState();
    config::session.TempDir = dir_.path();
    print::state = print::PrintState();
  }
  Ran Zudavivi(const std::string& env = "") {
    return Shell("env ZULTMP='" + dir_.path() + "' " + env + " " + ZUDAVIVI_PATH);
  }
  std::string Read(const std::string& name) {
    std::string bytes;
    platform::ReadFile(dir_.path() + name, &bytes);
    return bytes;
  }

  // A spool with every kind of record, every justification code, code page
  // 850 characters, a page break by the writer and one by the report.
  void WriteEveryRecord(const std::string& device) {
    ASSERT_EQ(print::PrintOpen(device), print::PrintStatus::Ok);
    print::PrintPage(12);
    print::PrintCommand("@e");
    print::PrintLine(1, "ADMINISTRACI\xE0 DE FINQUES", 0);
    print::PrintJustify("D");
    print::PrintLine(85, "P\xB7GINA    1", 1);
    print::PrintLine(5, "M\xA6 Dolors Rib\xA2 \xFA n\xA7 7 \xD5", 2);
    print::PrintLine(1, "PARTICIPACI\xE0 DESPESES  < A > GENERAL", 0);
    print::PrintJustify(" r");
    print::PrintLine(64, "  1.234'56", 0);
    print::PrintLine(0, " <", 1);
    print::PrintJustify("N 73 \\.\\");
    print::PrintLine(31, "TOTAL DESPESES ", 0);
    print::PrintJustify("D");
    print::PrintLine(75, "  3.703'68", 1);
    print::PrintJustify("n40 \\-=\\");
    print::PrintLine(1, "LEADER ", 1);
    print::PrintJustify("C");
    print::PrintLine(10, "code C", 0);
    print::PrintJustify("b");
    print::PrintLine(20, "code A", 0);
    print::PrintJustify("x");
    print::PrintLine(30, "code E", 1);
    print::PrintLine(1, "tab\there, 1,234,567", 1);
    print::PrintLine(1, "----------------", 0);
    print::PrintLine(5, "OVER", 3);
    print::PrintLine(1, "line 12", 1);
    print::PrintLine(1, "after the writer's own page break", 1);
    print::PrintPage(66);
    print::PrintCommand("@e");
    print::PrintLine(-3, "third page, negative column", 1);
    print::PrintJustify("D");
    print::PrintLine(96 - 29, "BARCELONA, 30 de juny de 2026", 1);
    ASSERT_EQ(print::PrintClose(), print::PrintStatus::Ok);
  }

  platform::TestDir dir_;
};

TEST_F(ZudaviviTest, EveryRecordToTextMatchesTheGoldenFile) {
  WriteEveryRecord("TXT");
  Ran ran = Zudavivi();
  ASSERT_EQ(ran.code, 0) << ran.output;
  // Not on a terminal: the document is named, and nothing else is said.
  EXPECT_EQ(ran.output, "ZUDAVIVI: document desat a " + dir_.path() + "zudavivi.txt\n");
  std::string goldenPath = std::string(TESTDATA_DIR) + "/every_record.txt";
  // After a deliberate change of the layout: ZUDAVIVI_UPDATE_GOLDEN=1 rewrites
  // the golden file (then read it through before committing it).
  if (!platform::GetEnv("ZUDAVIVI_UPDATE_GOLDEN").empty()) {
    ASSERT_TRUE(platform::WriteFile(goldenPath, Read("zudavivi.txt")));
  }
  std::string golden;
  ASSERT_TRUE(platform::ReadFile(goldenPath, &golden));
  EXPECT_EQ(Read("zudavivi.txt"), golden);
}

TEST_F(ZudaviviTest, EveryRecordToPdfReadsBackAsTheTextPages) {
  WriteEveryRecord("TXT");
  ASSERT_EQ(Zudavivi().code, 0);
  WriteEveryRecord("PDF:" + dir_.file("out.pdf"));
  Ran ran = Zudavivi();
  ASSERT_EQ(ran.code, 0) << ran.output;
  std::string pdf = dir_.file("out.pdf");
  EXPECT_NE(Shell("pdfinfo '" + pdf + "'").output.find("Pages:           3\n"), std::string::npos);
  EXPECT_NE(Shell("pdfinfo '" + pdf + "'").output.find("(A4)"), std::string::npos);
  Ran text = Shell("pdftotext -layout '" + pdf + "' -");
  ASSERT_EQ(text.code, 0);
  EXPECT_EQ(Words(text.output), Words(Read("zudavivi.txt")));

  // Exact places on page 1: the edges of column c, 1-based, in points are
  // the 15 mm margin plus c - 1 or c of the 96 columns of the 180 mm width.
  Ran boxes = Shell("pdftotext -bbox -f 1 -l 1 '" + pdf + "' -");
  const double margin = 42.5197;
  const double column = (595.2756 - 2 * margin) / 96;
  auto edge = [&](const std::string& word, const char* side) {
    std::regex re(std::string(side) + "=\"([0-9.]+)\"[^>]*>" + word + "<");
    std::smatch m;
    return std::regex_search(boxes.output, m, re) ? std::stod(m[1]) : -1.0;
  };
  EXPECT_NEAR(edge("ADMINISTRACI\xC3\x93", "xMin"), margin, 0.3);
  EXPECT_NEAR(edge("TOTAL", "xMin"), margin + 30 * column, 0.3);
  EXPECT_NEAR(edge("1.234&apos;56", "xMax"), margin + 73 * column, 0.3);
  EXPECT_NEAR(edge("3.703&apos;68", "xMax"), margin + 84 * column, 0.3);
  EXPECT_NEAR(edge("1", "xMax"), margin + 95 * column, 0.3);  // the page number
}

TEST_F(ZudaviviTest, ReportSizedPagesAndTheDefaultPaths) {
  ASSERT_EQ(print::PrintOpen("  pdf  "), print::PrintStatus::Ok);
  for (int page = 1; page <= 2; ++page) {
    print::PrintPage(66);
    for (int i = 0; i < 66; ++i) print::PrintLine(1, "L" + std::to_string(i + 1), 1);
  }
  ASSERT_EQ(print::PrintClose(), print::PrintStatus::Ok);
  ASSERT_EQ(Zudavivi().code, 0);
  EXPECT_NE(Shell("pdfinfo '" + dir_.path() + "zudavivi.pdf'").output.find("Pages:           2\n"),
            std::string::npos);
  auto pages = Words(Shell("pdftotext -layout '" + dir_.path() + "zudavivi.pdf' -").output);
  ASSERT_EQ(pages.size(), 2u);
  ASSERT_EQ(pages[1].size(), 66u);  // 66 lines fit one A4 page
  EXPECT_EQ(pages[1][65], "L66");
  EXPECT_FALSE(platform::PathExists(dir_.file("zudavivi.pdf.part")));
}

TEST_F(ZudaviviTest, BadSpoolsGiveAMessageAndNoDocument) {
  Ran ran = Zudavivi();
  EXPECT_EQ(ran.code, 1);
  EXPECT_NE(ran.output.find("ZUDAVIVI: no hi ha cap fitxer d'impressi\xC3\xB3 per imprimir (" +
                            dir_.file("zudavivi.tmp") + " no existeix)\n"),
            std::string::npos)
      << ran.output;

  ASSERT_TRUE(platform::WriteFile(dir_.file("zudavivi.tmp"), ""));
  ran = Zudavivi();
  EXPECT_EQ(ran.code, 1);
  EXPECT_EQ(ran.output, "ZUDAVIVI: fitxer d'impressi\xC3\xB3 " + dir_.file("zudavivi.tmp") +
                            ": \xC3\xA9s buit\n");

  ASSERT_TRUE(platform::WriteFile(dir_.file("zudavivi.tmp"),
                                  "DEVICEPDF\r\nPAGE 66 \r\n 1 ,a, 1 \r\nPAGE sixty\r\n"));
  ran = Zudavivi();
  EXPECT_EQ(ran.code, 1);
  EXPECT_NE(ran.output.find("l\xC3\xADnia 4: n\xC3\xBAmero mal format en un registre de longitud "
                            "de p\xC3\xA0gina: \"PAGE sixty\""),
            std::string::npos)
      << ran.output;
  EXPECT_FALSE(platform::PathExists(dir_.file("zudavivi.pdf")));
  EXPECT_FALSE(platform::PathExists(dir_.file("zudavivi.pdf.part")));
}

TEST_F(ZudaviviTest, UnwritableDocumentIsReported) {
  WriteEveryRecord("TXT:" + dir_.file("no/such/dir/out.txt"));
  Ran ran = Zudavivi();
  EXPECT_EQ(ran.code, 2);
  EXPECT_EQ(ran.output, "ZUDAVIVI: no es pot crear el document " +
                            dir_.file("no/such/dir/out.txt") +
                            ": no existeix la carpeta o el fitxer\n");
}

// A document device that is a link to a device node is written through:
// neither the link nor the device is replaced by a regular file (the
// staged writer's other cases are platform/output_target_test.cpp's).
TEST_F(ZudaviviTest, ADocumentThroughALinkToADeviceReplacesNeither) {
  const std::string null = dir_.file("null.txt");
  ASSERT_EQ(symlink("/dev/null", null.c_str()), 0);
  WriteEveryRecord("TXT:" + null);
  Ran ran = Zudavivi();
  EXPECT_EQ(ran.code, 0) << ran.output;
  struct stat st;
  ASSERT_EQ(lstat(null.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_FALSE(platform::PathExists(null + ".part"));
}

// The lines the program itself writes (lp may add its own).
std::string OwnLines(const std::string& output) {
  std::string own;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.compare(0, 10, "ZUDAVIVI: ") == 0) own += line + "\n";
  }
  return own;
}

// Words of the program's English messages, none of which may be left.
void ExpectNoEnglish(const std::string& output) {
  for (const char* word : {"cannot", "spool", "print service", "line ", "malformed", "unknown",
                           "does not", "the ", "accept", "printer", "arguments:", "see "}) {
    EXPECT_EQ(OwnLines(output).find(word), std::string::npos) << word << " in: " << output;
  }
}

// Idioma=SPA in the terminal's BrolTerm.ini: every kind of failure, with
// its path, spool line and exit code, in Spanish.
TEST_F(ZudaviviTest, InSpanishEveryFailureIsToldInSpanish) {
  ASSERT_TRUE(platform::WriteFile(dir_.file("BrolTerm.ini"), "[Sistema]\r\nIdioma=SPA\r\n"));
  const std::string spool = dir_.file("zudavivi.tmp");

  Ran ran = Shell("env ZULTMP='" + dir_.path() + "' " + ZUDAVIVI_PATH + " --print");
  EXPECT_EQ(ran.code, 1);
  EXPECT_EQ(ran.output,
            "ZUDAVIVI: no admite argumentos: imprime el fichero de impresi\xC3\xB3n "
            "zudavivi.tmp de la carpeta temporal de la sesi\xC3\xB3n (ZULTMP); "
            "v\xC3\xA9" "ase ZUDAVIVI --help\n");

  ran = Zudavivi();  // no spool
  EXPECT_EQ(ran.code, 1);
  EXPECT_EQ(ran.output,
            "ZUDAVIVI: no hay ning\xC3\xBAn fichero de impresi\xC3\xB3n que imprimir (" + spool +
                " no existe)\n");
  ExpectNoEnglish(ran.output);

  ASSERT_TRUE(platform::MakeDirs(spool));
  ran = Zudavivi();  // a spool that cannot be read (here a folder)
  EXPECT_EQ(ran.code, 1);
  EXPECT_EQ(ran.output,
            "ZUDAVIVI: no se puede leer el fichero de impresi\xC3\xB3n " + spool + "\n");
  ASSERT_EQ(rmdir(spool.c_str()), 0);

  ASSERT_TRUE(platform::WriteFile(spool, "DEVICETXT\r\nPAGE 66 \r\n 1 ,a, 1 \r\n 1 ,a, uno \r\n"));
  ran = Zudavivi();  // a damaged spool
  EXPECT_EQ(ran.code, 1);
  EXPECT_EQ(ran.output, "ZUDAVIVI: fichero de impresi\xC3\xB3n " + spool +
                            ": l\xC3\xADnea 4: avance mal formado en un registro de texto: "
                            "\" 1 ,a, uno \"\n");
  ExpectNoEnglish(ran.output);

  ASSERT_TRUE(platform::WriteFile(spool, "DEVICETXT\r\nPAGE 300 \r\n 1 ,a, 1 \r\n"));
  ran = Zudavivi();  // past the page limits
  EXPECT_EQ(ran.code, 1);
  EXPECT_EQ(ran.output, "ZUDAVIVI: fichero de impresi\xC3\xB3n " + spool +
                            ": l\xC3\xADnea 2: una p\xC3\xA1gina de 300 l\xC3\xADneas; una "
                            "p\xC3\xA1gina tiene como m\xC3\xA1ximo 255\n");

  const std::string pdf = dir_.file("no such/dir/out.pdf");
  WriteEveryRecord("PDF:" + pdf);
  ran = Zudavivi();  // an unwritable PDF path
  EXPECT_EQ(ran.code, 2);
  EXPECT_EQ(ran.output, "ZUDAVIVI: no se puede crear el documento " + pdf +
                            ": no existe la carpeta o el fichero\n");
  ExpectNoEnglish(ran.output);

  // A printer queue the print service does not have: lp says so and fails.
  std::string bin = dir_.file("bin");
  ASSERT_TRUE(platform::MakeDirs(bin));
  ASSERT_TRUE(platform::WriteFile(
      bin + "/lp", "#!/bin/sh\necho 'lp: The printer or class does not exist.' >&2\nexit 1\n"));
  ASSERT_EQ(chmod((bin + "/lp").c_str(), 0755), 0);
  WriteEveryRecord("Sala 9");
  ran = Zudavivi("PATH='" + bin + ":/usr/bin:/bin'");
  EXPECT_EQ(ran.code, 3);
  EXPECT_EQ(OwnLines(ran.output),
            "ZUDAVIVI: el servicio de impresi\xC3\xB3n no ha aceptado el trabajo para la "
            "impresora \"Sala 9\" (lp ha terminado con el c\xC3\xB3" "digo 1)\n")
      << ran.output;
  ExpectNoEnglish(ran.output);

  ran = Zudavivi("PATH='" + dir_.path() + "nothing'");  // no print service at all
  EXPECT_EQ(ran.code, 3);
  EXPECT_EQ(ran.output,
            "ZUDAVIVI: el servicio de impresi\xC3\xB3n no est\xC3\xA1 disponible (no se puede "
            "iniciar lp: no existe la carpeta o el fichero); instale el cliente de CUPS (lp) o "
            "elija PDF o TXT como salida\n");
  EXPECT_EQ(Shell("ls '" + dir_.path() + "' | grep -c '^zudavivi-'").output, "0\n");
}

// Idioma=GLG: a document cut by a full disk (a file-size limit) and one
// whose folder cannot be written.
TEST_F(ZudaviviTest, InGalicianAnUnwritableDocumentIsToldInGalician) {
  ASSERT_TRUE(platform::WriteFile(dir_.file("BrolTerm.ini"), "[Sistema]\r\nIdioma=GLG\r\n"));
  const std::string txt = dir_.file("cut.txt");
  ASSERT_EQ(print::PrintOpen("TXT:" + txt), print::PrintStatus::Ok);
  for (int page = 1; page <= 2; ++page) {  // some 8 kB, more than the limit below
    print::PrintPage(66);
    for (int i = 0; i < 66; ++i) print::PrintLine(1, std::string(60, 'x'), 1);
  }
  ASSERT_EQ(print::PrintClose(), print::PrintStatus::Ok);
  Ran ran = Shell("trap '' XFSZ; ulimit -f 1; env ZULTMP='" + dir_.path() + "' " + ZUDAVIVI_PATH);
  EXPECT_EQ(ran.code, 2);
  EXPECT_EQ(ran.output, "ZUDAVIVI: nom se pode escrever o documento " + txt +
                            ": o ficheiro excede o tamanho permitido\n");
  EXPECT_FALSE(platform::PathExists(txt));
  ExpectNoEnglish(ran.output);

  // A folder of the path that is a file.
  ASSERT_TRUE(platform::WriteFile(dir_.file("INFORMES"), "x"));
  WriteEveryRecord("PDF:" + dir_.file("INFORMES") + "/out.pdf");
  ran = Zudavivi();
  EXPECT_EQ(ran.code, 2);
  EXPECT_EQ(ran.output, "ZUDAVIVI: nom se pode criar o documento " + dir_.file("INFORMES") +
                            "/out.pdf: umha parte do caminho nom \xC3\xA9 um cartafol\n");

  if (geteuid() == 0) return;  // root writes into a read-only folder
  const std::string locked = dir_.file("locked");
  ASSERT_TRUE(platform::MakeDirs(locked));
  ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
  WriteEveryRecord("PDF:" + locked + "/out.pdf");
  ran = Zudavivi();
  chmod(locked.c_str(), 0755);
  EXPECT_EQ(ran.code, 2);
  EXPECT_EQ(ran.output, "ZUDAVIVI: nom se pode criar o documento " + locked +
                            "/out.pdf: permissom negada\n");
}

// A file-size limit (SIGXFSZ ignored) makes writes fail as a full disk does.
TEST_F(ZudaviviTest, APdfCutByAFullDiskIsReportedAndNeitherLeftNorPrinted) {
  const std::string pdf = dir_.file("cut.pdf");
  WriteEveryRecord("PDF:" + pdf);
  ASSERT_EQ(Zudavivi().code, 0);
  std::string whole;
  ASSERT_TRUE(platform::ReadFile(pdf, &whole));
  ASSERT_GT(whole.size(), 8192u);  // more than the limit below
  ASSERT_EQ(unlink(pdf.c_str()), 0);
  const std::string limited = "trap '' XFSZ; ulimit -f 8; env ZULTMP='" + dir_.path() + "' ";
  Ran ran = Shell(limited + ZUDAVIVI_PATH);
  EXPECT_EQ(ran.code, 2) << ran.output;
  EXPECT_EQ(ran.output, "ZUDAVIVI: no es pot escriure el document " + pdf +
                            ": el fitxer passa de la mida permesa\n");
  EXPECT_FALSE(platform::PathExists(pdf));
  EXPECT_FALSE(platform::PathExists(pdf + ".part"));

  // On a printer: the cut PDF never reaches the print service.
  std::string bin = dir_.file("bin");
  ASSERT_TRUE(platform::MakeDirs(bin));
  ASSERT_TRUE(platform::WriteFile(bin + "/lp", "#!/bin/sh\ntouch \"$LPLOG\"\n"));
  ASSERT_EQ(chmod((bin + "/lp").c_str(), 0755), 0);
  WriteEveryRecord("Sala 2");
  ran = Shell(limited + "PATH='" + bin + ":/usr/bin:/bin' LPLOG='" + dir_.path() + "lp.log' " +
              ZUDAVIVI_PATH);
  EXPECT_EQ(ran.code, 2) << ran.output;
  EXPECT_FALSE(platform::PathExists(dir_.file("lp.log")));
  EXPECT_EQ(Shell("ls '" + dir_.path() + "' | grep -c '^zudavivi-'").output, "0\n");
}

TEST_F(ZudaviviTest, PrinterGetsThePdfThroughLpWithoutAShell) {
  std::string bin = dir_.file("bin");
  ASSERT_TRUE(platform::MakeDirs(bin));
  ASSERT_TRUE(platform::WriteFile(bin + "/lp",
                                  "#!/bin/sh\n"
                                  "printf '%s\\n' \"$@\" > \"$LPLOG\"\n"
                                  "cp \"$3\" \"$LPCOPY\"\n"
                                  "exit ${LPEXIT:-0}\n"));
  ASSERT_EQ(chmod((bin + "/lp").c_str(), 0755), 0);
  WriteEveryRecord("Sala 2 $(touch x)");
  std::string env = "PATH='" + bin + ":/usr/bin:/bin' LPLOG='" + dir_.path() + "lp.log' LPCOPY='" +
                    dir_.path() + "printed.pdf'";
  Ran ran = Zudavivi(env);
  ASSERT_EQ(ran.code, 0) << ran.output;
  std::string log = Read("lp.log");
  EXPECT_EQ(log.substr(0, log.find(dir_.path())), "-d\nSala 2 $(touch x)\n");
  EXPECT_NE(Shell("pdfinfo '" + dir_.path() + "printed.pdf'").output.find("Pages:           3\n"),
            std::string::npos);
  // The temporary PDF is gone once lp has it.
  EXPECT_EQ(Shell("ls '" + dir_.path() + "' | grep -c '^zudavivi-'").output, "0\n");

  ran = Zudavivi(env + " LPEXIT=1");
  EXPECT_EQ(ran.code, 3);
  EXPECT_NE(ran.output.find("no ha acceptat el treball per a la impressora \"Sala 2 $(touch x)\" "
                            "(lp ha acabat amb el codi 1)"),
            std::string::npos)
      << ran.output;

  ran = Zudavivi("PATH='" + dir_.path() + "nothing'");
  EXPECT_EQ(ran.code, 3);
  EXPECT_NE(ran.output.find("ZUDAVIVI: el servei d'impressi\xC3\xB3 no est\xC3\xA0 disponible "
                            "(no es pot iniciar lp: no existeix la carpeta o el fitxer); "),
            std::string::npos)
      << ran.output;
  EXPECT_EQ(Shell("ls '" + dir_.path() + "' | grep -c '^zudavivi-'").output, "0\n");
}

// What the print program leaves for the program that started it: where a
// document went, or why it failed, with the print service's own words.
TEST_F(ZudaviviTest, TheResultFileTellsTheDocumentOrTheFailure) {
  const std::string txt = dir_.file("out.txt");
  WriteEveryRecord("TXT:" + txt);
  ASSERT_EQ(Zudavivi().code, 0);
  EXPECT_EQ(Read("zudavivi.msg"), "DOCUMENT" + txt + "\r\n");

  // The preview with no terminal (none here, whatever ZULCONSOLE says).
  WriteEveryRecord("PANTALLA");
  for (const char* env : {"", "ZULCONSOLE=headless"}) {
    Ran ran = Zudavivi(std::string(env) + " </dev/null");
    EXPECT_EQ(ran.code, 2) << env;
    EXPECT_EQ(ran.output, "ZUDAVIVI: la previsualitzaci\xC3\xB3 a la pantalla necessita un "
                          "terminal; trieu PDF o TXT com a sortida\n")
        << env;
    EXPECT_EQ(Read("zudavivi.msg"), "MESSAGEla previsualitzaci\xA2 a la pantalla necessita un "
                                    "terminal; trieu PDF o TXT com a sortida\r\n");
  }

  const std::string bin = dir_.file("bin");
  ASSERT_TRUE(platform::MakeDirs(bin));
  ASSERT_TRUE(platform::WriteFile(
      bin + "/lp", "#!/bin/sh\necho >&2\necho 'lp: The printer or class does not exist.' >&2\n"
                   "exit 1\n"));
  ASSERT_EQ(chmod((bin + "/lp").c_str(), 0755), 0);
  WriteEveryRecord("Sala 9");
  Ran ran = Zudavivi("PATH='" + bin + ":/usr/bin:/bin'");
  EXPECT_EQ(ran.code, 3);
  EXPECT_NE(ran.output.find("lp: The printer or class does not exist.\n"), std::string::npos)
      << ran.output;  // lp's words still on stderr
  EXPECT_EQ(Read("zudavivi.msg"),
            "MESSAGEel servei d'impressi\xA2 no ha acceptat el treball per a la impressora "
            "\"Sala 9\" (lp ha acabat amb el codi 1): lp: The printer or class does not "
            "exist.\r\n");
}

TEST_F(ZudaviviTest, ScreenPreviewOnARealTerminal) {
  if (Shell("command -v tmux").code != 0) GTEST_SKIP() << "tmux is not installed";
  WriteEveryRecord(" Pantalla ");
  std::string tmux = "LANG=C.UTF-8 tmux -S '" + dir_.path() + "tmux.sock' ";
  ASSERT_EQ(Shell(tmux + "new-session -d -x 80 -y 25 \"env ZULTMP='" + dir_.path() + "' " +
                  ZUDAVIVI_PATH + "; echo EXIT=$?; sleep 60\"")
                .code,
            0);
  auto screen = [&](const std::string& want) {
    std::string shown;
    for (int i = 0; i < 100; ++i) {  // up to 10 s for the terminal to catch up
      shown = Shell(tmux + "capture-pane -p").output;
      if (shown.find(want) != std::string::npos) break;
      usleep(100000);
    }
    return shown;
  };
  std::string shown = screen("P\xC3\xA0gina 1 de 3");
  EXPECT_NE(shown.find("ADMINISTRACI\xC3\x93 DE FINQUES"), std::string::npos) << shown;
  EXPECT_NE(shown.find("M\xC2\xAA Dolors Rib\xC3\xB3 \xC2\xB7 n\xC2\xBA 7 \xE2\x82\xAC"),
            std::string::npos)
      << shown;
  Shell(tmux + "send-keys Right Right");
  shown = screen("columnes 17-96/96");
  EXPECT_NE(shown.find("P\xC3\x80GINA    1"), std::string::npos) << shown;
  Shell(tmux + "send-keys Escape");
  shown = screen("EXIT=");
  EXPECT_NE(shown.find("EXIT=0"), std::string::npos) << shown;
  Shell(tmux + "kill-server");
}

TEST_F(ZudaviviTest, ThePdfCarriesTheReportsTitleAndIsNamedAfterIt) {
  ASSERT_EQ(print::PrintOpen("PDF"), print::PrintStatus::Ok);
  print::PrintDocument("DETALL DE LIQUIDACI\xE0 FINS AL 31 DE DESEMBRE DEL 2026",
                       "LIQUIDACIO_2026-12-31");
  print::PrintPage(66);
  print::PrintLine(1, "L'ERA D'EN PUJOL", 1);
  ASSERT_EQ(print::PrintClose(), print::PrintStatus::Ok);
  Ran ran = Zudavivi("LANG=C.UTF-8");
  ASSERT_EQ(ran.code, 0) << ran.output;
  const std::string pdf = dir_.path() + "LIQUIDACIO_2026-12-31.pdf";
  EXPECT_EQ(ran.output, "ZUDAVIVI: document desat a " + pdf + "\n");
  Ran info = Shell("pdfinfo '" + pdf + "'");
  ASSERT_EQ(info.code, 0) << info.output;
  EXPECT_NE(info.output.find("Title:           DETALL DE LIQUIDACI\xC3\x93 FINS AL 31 DE DESEMBRE "
                             "DEL 2026\n"),
            std::string::npos)
      << info.output;
  EXPECT_NE(info.output.find("Creator:         ZUDAVIVI\n"), std::string::npos) << info.output;
  EXPECT_FALSE(platform::PathExists(dir_.file("zudavivi.pdf")));

  // In Spanish the message is Spanish; an explicit path is kept, and the
  // title still goes in.
  ASSERT_TRUE(platform::MakeDirs(dir_.file("TERM")));
  ASSERT_TRUE(platform::WriteFile(dir_.file("TERM/BrolTerm.ini"), "[Sistema]\r\nIdioma=SPA\r\n"));
  ASSERT_EQ(print::PrintOpen("PDF:" + dir_.file("out.pdf")), print::PrintStatus::Ok);
  print::PrintDocument("T\xA1tulo", "ignored");
  print::PrintPage(66);
  print::PrintLine(1, "x", 1);
  ASSERT_EQ(print::PrintClose(), print::PrintStatus::Ok);
  std::string spool;
  ASSERT_TRUE(platform::ReadFile(dir_.file("zudavivi.tmp"), &spool));
  ASSERT_TRUE(platform::WriteFile(dir_.file("TERM/zudavivi.tmp"), spool));
  ran = Shell("env ZULTMP='" + dir_.file("TERM") + "/' " + ZUDAVIVI_PATH);
  ASSERT_EQ(ran.code, 0) << ran.output;
  EXPECT_EQ(ran.output, "ZUDAVIVI: documento guardado en " + dir_.file("out.pdf") + "\n");
  EXPECT_NE(Shell("pdfinfo '" + dir_.file("out.pdf") + "'").output.find("Title:           T\xC3\xADtulo\n"),
            std::string::npos);
  EXPECT_FALSE(platform::PathExists(dir_.file("ignored.pdf")));
}

TEST_F(ZudaviviTest, ANameFromTheSpoolCannotLeaveTheTemporaryFolder) {
  ASSERT_EQ(print::PrintOpen("TXT"), print::PrintStatus::Ok);
  print::PrintDocument("", "../../escaped");
  print::PrintPage(66);
  print::PrintLine(1, "x", 1);
  ASSERT_EQ(print::PrintClose(), print::PrintStatus::Ok);
  Ran ran = Zudavivi();
  ASSERT_EQ(ran.code, 0) << ran.output;
  EXPECT_TRUE(platform::PathExists(dir_.file("escaped.txt")));
  EXPECT_EQ(Read("escaped.txt"), "x\n");
}

TEST_F(ZudaviviTest, HelpAndVersionExitZeroAndOtherArgumentsAreRefused) {
  Ran help = Shell(std::string(ZUDAVIVI_PATH) + " --help");
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.output.find("Usage: ZUDAVIVI [--help | --version]\n"), 0u) << help.output;
  for (const char* word : {"PANTALLA", "PDF[:path]", "TXT[:path]", "lp", "Exit codes"}) {
    EXPECT_NE(help.output.find(word), std::string::npos) << word;
  }
  Ran version = Shell(std::string(ZUDAVIVI_PATH) + " --version");
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.output, std::string("ZUDAVIVI ") + ZUDAVIVI_VERSION + "\n");
  // Neither looks for a spool: none is there.
  EXPECT_FALSE(platform::PathExists(dir_.file("zudavivi.tmp")));

  Ran bad = Shell(std::string(ZUDAVIVI_PATH) + " --helpp");
  EXPECT_EQ(bad.code, 1);
  EXPECT_NE(bad.output.find("ZUDAVIVI: no admet arguments: "), std::string::npos) << bad.output;
  EXPECT_NE(bad.output.find("vegeu ZUDAVIVI --help\n"), std::string::npos) << bad.output;
  EXPECT_EQ(Shell(std::string(ZUDAVIVI_PATH) + " --help extra").code, 1);
}

TEST(ManualPageTest, DocumentsWhatTheProgramDoesAndRendersCleanly) {
  const std::string page = std::string(TESTDATA_DIR) + "/../../../man/ZUDAVIVI.1";
  std::string text;
  ASSERT_TRUE(platform::ReadFile(page, &text)) << page;
  for (const char* word : {".TH ZUDAVIVI 1", "\\-\\-help", "\\-\\-version", "PANTALLA",
                           "ZULTMP", "zudavivi.tmp", "*@TITOL", "*@NOM", "LIQUIDACIO_YYYY"}) {
    EXPECT_NE(text.find(word), std::string::npos) << word;
  }
  // Every exit code of the program has its entry.
  for (const char* code : {"0", "1", "2", "3"}) {
    EXPECT_NE(text.find(std::string(".TP\n.B ") + code + "\n"), std::string::npos) << code;
  }
  if (Shell("command -v groff").code != 0) GTEST_SKIP() << "groff is not installed";
  Ran rendered = Shell("LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z '" + page + "'");
  EXPECT_EQ(rendered.output, "") << "groff warns about the manual page";
}

TEST(DeviceTest, Names) {
  std::string temp = "T1\\";
  EXPECT_EQ(ParseDevice("", temp).kind, DeviceKind::Screen);
  EXPECT_EQ(ParseDevice(" Pantalla ", temp).kind, DeviceKind::Screen);
  Device d = ParseDevice("PDF", temp);
  EXPECT_EQ(d.kind, DeviceKind::Pdf);
  EXPECT_EQ(d.path, platform::SuitePath("T1\\zudavivi.pdf"));
  d = ParseDevice("txt:", temp);
  EXPECT_EQ(d.kind, DeviceKind::Text);
  EXPECT_EQ(d.path, platform::SuitePath("T1\\zudavivi.txt"));
  d = ParseDevice("PDF:C:\\LIQ\\D\x90S.PDF", temp);  // a code page 850 name
  EXPECT_EQ(d.kind, DeviceKind::Pdf);
  EXPECT_EQ(d.path, "/LIQ/D\xC3\x89S.PDF");
  d = ParseDevice(" Impressora d'\x8Arrors ", temp);
  EXPECT_EQ(d.kind, DeviceKind::Printer);
  EXPECT_EQ(d.printer, "Impressora d'\xC3\xA8rrors");
}

}  // namespace
}  // namespace zudavivi
