// One document per department, through the real programs: the demo suite
// and a generated one printed with PDF-EACH and TXT-EACH. The split
// documents, read back (pdftotext for the PDFs), must give the one
// document's pages in file order, one department each; the index's figures
// must be those printed on the pages, read from the text output; the
// figures table of --figures the same; and a run that fails must leave no
// document under a final name.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "report/demo_root_test_support.h"

namespace {

using namespace demo_root;

// The fields of one CSV line ("," between fields, double quotes around a
// field that holds one).
std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// Hundredths of an amount as the CSV writes it ("-12.44") or as the
// printout shows it ("1.234,56", "-60,00").
long Cents(std::string amount, bool printed) {
  if (printed) {
    amount.erase(std::remove(amount.begin(), amount.end(), '.'), amount.end());
    std::replace(amount.begin(), amount.end(), ',', '.');
  }
  const bool negative = !amount.empty() && amount[0] == '-';
  if (negative) amount.erase(0, 1);
  const size_t point = amount.find('.');
  const long value = std::stol(amount.substr(0, point)) * 100 + std::stol(amount.substr(point + 1));
  return negative ? -value : value;
}

// The last word of a line: the amount at the end of a printed line.
std::string LastWord(const std::string& line) {
  const size_t end = line.find_last_not_of(' ');
  const size_t start = line.find_last_of(' ', end);
  return line.substr(start + 1, end - start);
}

// The file names of a folder, sorted.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Runs a tool found on the PATH (poppler's); its exit code.
int Tool(const std::string& name, std::vector<std::string> args) {
  args.insert(args.begin(), {"-c", "exec \"$0\" \"$@\"", name});
  return platform::RunProgram("/bin/sh", args);
}

// The text pages of a PDF, each ended by its form feed, as pdftotext
// gives them.
std::string PdfText(const std::string& pdf, const std::string& out) {
  EXPECT_EQ(Tool("pdftotext", {"-layout", pdf, out}), 0) << pdf;
  return Read(out);
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class EachDocument : public DemoRoot {
 protected:
  // Uses the suite root `root` (laid down by zuldata) instead of the demo.
  void UseRoot(const std::string& root) {
    setenv("ZULROOT", (root + "/").c_str(), 1);
    setenv("ZULEXE", (root + "/BIN/").c_str(), 1);
    setenv("ZULTMP", (root + "/TERM01/").c_str(), 1);
  }

  // The documents of `folder` (with `extension`) in file order, and the
  // index's rows by file name; checks that nothing else is there.
  std::vector<std::string> Documents(const std::string& folder, const std::string& extension,
                                     std::map<std::string, std::vector<std::string>>* index) {
    std::vector<std::string> documents;
    for (const std::string& name : Names(folder)) {
      if (name == "index.csv") continue;
      EXPECT_EQ(name.substr(name.size() - extension.size()), extension) << name;
      documents.push_back(name);
    }
    const std::vector<std::string> rows = Lines(Read(folder + "/index.csv"));
    EXPECT_EQ(rows.size(), documents.size() + 1);
    EXPECT_EQ(rows.empty() ? "" : rows[0],
              "community,community_name,department,designation,owner,carried_over,expenses,"
              "funds,balance,in_favour_of,pages,file");
    for (size_t i = 1; i < rows.size(); ++i) {
      std::vector<std::string> fields = CsvFields(rows[i]);
      EXPECT_EQ(fields.size(), 12u) << rows[i];
      if (fields.size() == 12u) (*index)[fields[11]] = fields;
    }
    return documents;
  }

  // Every text document of `folder` holds one department, whose figures as
  // printed are those of its row in the index; together they are the
  // pages of the one document `whole`.
  void ExpectTextDocumentsMatch(const std::string& folder, const std::string& whole) {
    std::map<std::string, std::vector<std::string>> index;
    const std::vector<std::string> documents = Documents(folder, ".txt", &index);
    ASSERT_FALSE(documents.empty());
    std::string joined;
    for (const std::string& name : documents) {
      const std::string text = Read(folder + "/" + name);
      joined += (joined.empty() ? "" : "\f") + text;
      ASSERT_EQ(Count(text, "DEL DEPARTAMENT ("), 1u) << name;
      ASSERT_EQ(index.count(name), 1u) << name;
      const std::vector<std::string>& row = index[name];
      EXPECT_EQ(std::stol(row[10]), long(Count(text, "\f") + 1)) << name;  // pages
      long carried = 0, expenses = 0, funds = 0, balance = 0;
      std::string favour;
      for (const std::string& line : Lines(text)) {
        const bool administrator = line.find("DE L'ADMINISTRADOR") != std::string::npos;
        if (line.find("R\xC3\x92SSEC ANTERIOR A FAVOR") != std::string::npos)
          carried = -Cents(LastWord(line), true);  // printed with the other sign
        if (line.find("TOTAL DESPESES") != std::string::npos)
          expenses = Cents(LastWord(line), true);
        if (line.find("TOTAL FONS") != std::string::npos) funds = Cents(LastWord(line), true);
        if (line.find("R\xC3\x92SSEC ACTUAL A FAVOR") != std::string::npos) {
          balance = Cents(LastWord(line), true) * (administrator ? -1 : 1);
          favour = administrator ? "DE L'ADMINISTRADOR" : "DEL PROPIETARI";
        }
      }
      EXPECT_EQ(Cents(row[5], false), carried) << name;
      EXPECT_EQ(Cents(row[6], false), expenses) << name;
      EXPECT_EQ(Cents(row[7], false), funds) << name;
      EXPECT_EQ(Cents(row[8], false), balance) << name;
      EXPECT_EQ(row[9], favour) << name;
      EXPECT_NE(text.find("DEL DEPARTAMENT (" + std::to_string(std::stol(row[2])) + ") "),
                std::string::npos)
          << name;
    }
    EXPECT_EQ(joined, whole);
  }

  // The PDFs of `folder`, read back, in file order: the pages of `whole`.
  void ExpectPdfDocumentsMatch(const std::string& folder, const std::string& wholePdf) {
    std::map<std::string, std::vector<std::string>> index;
    const std::vector<std::string> documents = Documents(folder, ".pdf", &index);
    ASSERT_FALSE(documents.empty());
    const std::string united = dir_.file("united.pdf");
    std::vector<std::string> args;
    for (const std::string& name : documents) args.push_back(folder + "/" + name);
    args.push_back(united);
    ASSERT_EQ(Tool("pdfunite", args), 0);
    EXPECT_EQ(PdfText(united, dir_.file("united.txt")), PdfText(wholePdf, dir_.file("whole.txt")));
  }
};

TEST_F(EachDocument, TheDemoGivesAPdfPerDepartmentWithItsPagesTitleAndFigures) {
  std::string err;
  const std::string whole = dir_.file("whole.pdf"), folder = dir_.file("each");
  ASSERT_EQ(BatchErr({"31/12/2026", "1.0", "999.999", "--device", "PDF:" + whole}, &err), 0)
      << err;
  const std::string figures = dir_.file("figures.csv");
  ASSERT_EQ(BatchErr({"31/12/2026", "1.0", "999.999", "--device", "PDF-EACH:" + folder,
                      "--figures", figures},
                     &err),
            0)
      << err;
  EXPECT_NE(err.find("ZUDAVIVI: 25 documents desats a " + folder + "\n"), std::string::npos)
      << err;
  EXPECT_EQ(err.substr(err.rfind("torbelan: ")),
            "torbelan: 25 LIQUIDACIONS, 26 P\xC3\x80GINES: 25 DOCUMENTS PDF A LA CARPETA " +
                folder + "\n");
  ExpectPdfDocumentsMatch(folder, whole);

  std::map<std::string, std::vector<std::string>> index;
  const std::vector<std::string> documents = Documents(folder, ".pdf", &index);
  ASSERT_EQ(documents.size(), 25u);
  EXPECT_EQ(documents[0], "0001-0001_FARMACIA_SOLER__S_L.pdf");
  // The department that runs onto a second page gets both.
  const std::string forn = "0002-0009_EL_FORN_DEL_MOLI__S_L.pdf";
  ASSERT_EQ(index.count(forn), 1u);
  EXPECT_EQ(index[forn][10], "2");
  const std::string text = PdfText(folder + "/" + forn, dir_.file("forn.txt"));
  EXPECT_EQ(Count(text, "\f"), 2u);
  EXPECT_EQ(Count(text, "P\xC3\x80GINA "), 2u);
  const std::string info = dir_.file("info.txt");
  ASSERT_EQ(platform::RunProgram("/bin/sh", {"-c", "pdfinfo \"$0\" >\"$1\"", folder + "/" + forn,
                                             info}),
            0);
  EXPECT_NE(Read(info).find("Title:           DETALL DE LIQUIDACI\xC3\x93 FINS AL 31 DE DESEMBRE "
                            "DEL 2026 - 2 EL MOL\xC3\x8D VELL - 9 LOCAL EL FORN DEL MOL\xC3\x8D, "
                            "S.L.\n"),
            std::string::npos)
      << Read(info);

  // The figures for the books: the index's rows without pages and file.
  std::vector<std::string> rows = Lines(Read(folder + "/index.csv")), table = Lines(Read(figures));
  ASSERT_EQ(table.size(), rows.size());
  std::sort(rows.begin() + 1, rows.end());
  std::sort(table.begin() + 1, table.end());
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string row = rows[i].substr(0, rows[i].rfind(','));
    EXPECT_EQ(table[i], row.substr(0, row.rfind(',')));
  }
}

TEST_F(EachDocument, TheIndexHoldsTheFiguresPrintedOnEachDepartmentsPages) {
  std::string err;
  const std::string folder = dir_.file("txt");
  ASSERT_EQ(BatchErr({"31/12/2026", "1.0", "999.999", "--device", "TXT-EACH:" + folder}, &err),
            0)
      << err;
  ASSERT_EQ(BatchErr({"31/12/2026", "1.0", "999.999"}, &err), 0) << err;  // the demo's TXT
  ExpectTextDocumentsMatch(folder, Read(root_ + "/TERM01/LIQUIDACIO.TXT"));
  EXPECT_EQ(Names(folder).size(), 26u);
}

TEST_F(EachDocument, AGeneratedSuiteOf1200Departments) {
  const std::string root = dir_.file("generated");
  ASSERT_EQ(platform::RunProgram(kZuldata, {"generate", root, "--communities", "30",
                                            "--departments", "40"}),
            0);
  UseRoot(root);
  std::string err;
  const std::string txt = dir_.file("whole.txt"), folder = dir_.file("txt");
  ASSERT_EQ(BatchErr({"31/12/2026", "1", "9999", "--device", "TXT:" + txt}, &err), 0) << err;
  ASSERT_EQ(BatchErr({"31/12/2026", "1", "9999", "--device", "TXT-EACH:" + folder}, &err),
            0)
      << err;
  EXPECT_NE(err.find("1200 DOCUMENTS DE TEXT A LA CARPETA " + folder), std::string::npos) << err;
  ExpectTextDocumentsMatch(folder, Read(txt));

  const std::string pdf = dir_.file("whole.pdf"), pdfs = dir_.file("pdf");
  ASSERT_EQ(BatchErr({"31/12/2026", "1", "9999", "--device", "PDF:" + pdf}, &err), 0) << err;
  ASSERT_EQ(BatchErr({"31/12/2026", "1", "9999", "--device", "PDF-EACH:" + pdfs}, &err), 0)
      << err;
  ExpectPdfDocumentsMatch(pdfs, pdf);
}

// A folder that cannot be made or written, and a disk that fills after
// some documents: the run fails as the single document does (the print
// program's exit code 2, the report's 4, its message), and no document,
// index or companion file of the run is left.
TEST_F(EachDocument, AFailedRunLeavesTheFolderAsItWas) {
  std::string err;
  ASSERT_TRUE(platform::WriteFile(dir_.file("plain"), "x"));
  for (const std::string& folder : {dir_.file("plain"), dir_.file("plain/sub")}) {
    EXPECT_EQ(BatchErr({"31/12/2026", "1", "--device", "PDF-EACH:" + folder}, &err), 4) << err;
    EXPECT_NE(err.find("no es pot crear la carpeta " + folder +
                       ": una part del cam\xC3\xAD no \xC3\xA9s una carpeta"),
              std::string::npos)
        << err;
  }

  // A figures table that cannot be written: nothing is printed.
  const std::string table = dir_.file("plain/figures.csv");
  EXPECT_EQ(BatchErr({"31/12/2026", "1", "--figures", table}, &err), 1) << err;
  EXPECT_EQ(err, "torbelan: NO ES POT ESCRIURE EL FITXER DE XIFRES " + table +
                     ": NO S'IMPRIMEIX RES\n");
  EXPECT_TRUE(Spool().empty());

  // The print program with a file-size limit of 3 KiB: the documents of
  // one page (some 2 kB) fit, the one of two pages (4.5 kB) does not.
  const std::string folder = dir_.file("each");
  ASSERT_NE(dir_.Write("each/index.csv", "earlier\n"), "");
  ASSERT_NE(dir_.Write("bin/ZUDAVIVI", "#!/bin/bash\ntrap '' XFSZ\nulimit -f 3\nexec '" +
                                           kZudavivi + "'\n"),
            "");
  ASSERT_EQ(platform::RunProgram("/bin/chmod", {"755", dir_.file("bin/ZUDAVIVI")}), 0);
  setenv("ZULEXE", dir_.file("bin/").c_str(), 1);
  EXPECT_EQ(BatchErr({"31/12/2026", "1", "2", "--device", "TXT-EACH:" + folder}, &err), 4)
      << err;
  EXPECT_NE(err.find("no es pot escriure el document " + folder +
                     "/0002-0009_EL_FORN_DEL_MOLI__S_L.txt: el fitxer passa de la mida permesa"),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("HA ACABAT AMB EL CODI 2"), std::string::npos) << err;
  EXPECT_EQ(Names(folder), std::vector<std::string>{"index.csv"});
  EXPECT_EQ(Read(folder + "/index.csv"), "earlier\n");
}

// A spool without department marks (from another report) is one document
// in the folder, listed in the index without figures.
TEST_F(EachDocument, ASpoolWithoutMarksIsOneDocument) {
  const std::string folder = dir_.file("old");
  ASSERT_TRUE(platform::WriteFile(root_ + "/TERM01/zudavivi.tmp",
                                  "DEVICETXT-EACH:" + folder + "\r\nPAGE 66 \r\n 1 ,A, 1 \r\n"
                                  "PAGE 66 \r\n 1 ,B, 1 \r\n"));
  ASSERT_EQ(platform::RunProgram(kZudavivi, {}), 0);
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"index.csv", "zudavivi.txt"}));
  EXPECT_EQ(Read(folder + "/zudavivi.txt"), "A\n\fB\n");
  EXPECT_EQ(Lines(Read(folder + "/index.csv")).back(), ",,,,,,,,,,2,zudavivi.txt");
}

}  // namespace
