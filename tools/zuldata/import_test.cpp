// Importing CSV files as administrators keep them: the update import and its
// counts, spreadsheet CSV (";", byte-order mark, amounts in euros, names in
// any case), files that are not UTF-8; through a real suite root, and the
// import and export commands as the real program.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/file_tree.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/test_dir.h"
#include "recman/creation_layout_file.h"
#include "report/record_layouts.h"
#include "tools/zuldata/commands.h"
#include "tools/zuldata/record_csv.h"
#include "tools/zuldata/report_commands.h"
#include "tools/zuldata/report_files.h"
#include "tools/zuldata/status_text.h"
#include "tools/zuldata/suite_root.h"

namespace zuldata {
namespace {

class Import : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.file("root");
    SuiteOptions options;
    options.suiteDir = ZUL_SOURCE_DIR "/suite";
    options.zudavivi = "/nonexistent";
    std::string error;
    ASSERT_TRUE(LayDownSuite(root_, options, &error)) << error;
  }
  bool Run(const std::string& file, const std::string& csv, bool update,
           ImportCounts* counts = nullptr) {
    ImportOptions options;
    options.update = update;
    return RunWith(file, csv, options, counts);
  }
  bool RunWith(const std::string& file, const std::string& csv, const ImportOptions& options,
               ImportCounts* counts = nullptr) {
    ImportCounts scratch;
    error_.clear();
    return ImportCsv(root_, file, csv, options, counts ? counts : &scratch, &error_);
  }
  std::string Export(const std::string& file, char separator = ',', char mark = '.') {
    ReportFile data;
    std::vector<std::string> records;
    std::string error;
    EXPECT_TRUE(data.Open(root_, file, &error) && data.ReadAll(&records, &error)) << error;
    const report::ReportFileLayout* layout = report::FindLayout(file);
    std::string out = CsvLine(HeaderFields(*layout), separator);
    for (const std::string& r : records) out += CsvLine(RecordToFields(*layout, r, mark), separator);
    return out;
  }
  // The records of a file, as stored.
  std::vector<std::string> Records(const std::string& file) {
    ReportFile data;
    std::vector<std::string> records;
    std::string error;
    EXPECT_TRUE(data.Open(root_, file, &error) && data.ReadAll(&records, &error)) << error;
    return records;
  }

  platform::TestDir dir_;
  std::string root_;
  std::string error_;
};

TEST_F(Import, UpdateReplacesByTheUniqueKeyAndCountsBoth) {
  ImportCounts counts;
  ASSERT_TRUE(Run("TDespesa", "code,description\n1,NETEJA\n2,AIGUA\n", false, &counts)) << error_;
  EXPECT_EQ(counts.inserted, 2u);
  EXPECT_EQ(counts.replaced, 0u);
  ASSERT_TRUE(Run("TDespesa", "code,description\n0002,AIGUA I CLAVEGUERAM\n3,LLUM\n1,NETEJA\n",
                  true, &counts))
      << error_;
  EXPECT_EQ(counts.inserted, 1u);
  EXPECT_EQ(counts.replaced, 2u);
  EXPECT_EQ(Export("TDespesa"),
            "code,description\n0001,NETEJA\n0002,AIGUA I CLAVEGUERAM\n0003,LLUM\n");
  // Without --update a key already there is still refused, and undoes all.
  EXPECT_FALSE(Run("TDespesa", "code,description\n4,ASCENSOR\n3,LLUM\n", false));
  EXPECT_NE(error_.find("line 3"), std::string::npos) << error_;
  EXPECT_EQ(Records("TDespesa").size(), 3u);
}

TEST_F(Import, AnUpdateWithABadRowStoresNothing) {
  // TDespesa here with a second unique key, its description, so that the
  // record manager itself refuses a row after others were replaced and
  // inserted inside the transaction.
  std::string creation, error;
  ASSERT_TRUE(DescriptionToLayout(
      "record 28\nkey\n segment 1 2 string\nkey modifiable\n segment 3 25 string\n",
      &creation, &error))
      << error;
  ASSERT_EQ(recman::WriteCreationLayoutFile(root_ + "/ddf/TDespesa.xdf", creation),
            recman::LayoutFileStatus::kOk);
  ASSERT_TRUE(Run("TDespesa", "code,description\n1,NETEJA\n2,AIGUA\n", false)) << error_;
  const std::string before = Export("TDespesa");
  EXPECT_FALSE(Run("TDespesa", "code,description\n1,NETEJA NOVA\n3,LLUM\n4,AIGUA\n", true));
  EXPECT_EQ(error_, "line 4: the record cannot be stored in TDespesa (its key is already there)");
  EXPECT_EQ(Export("TDespesa"), before);

  // A bad value is found before anything is stored.
  EXPECT_FALSE(Run("TDespesa", "code,description\n1,NETEJA NOVA\n5,\"MASSA LLARGA PER AL CAMP "
                   "DE 25\"\n", true));
  EXPECT_EQ(error_.compare(0, 20, "line 3: description "), 0) << error_;
  EXPECT_EQ(Export("TDespesa"), before);
}

TEST_F(Import, AnUpdateChangesOnlyTheColumnsItGives) {
  // A community as another program of the suite wrote it, with bytes in
  // a part that no field of the layout names.
  const report::ReportFileLayout& layout = *report::FindLayout("FinquesH");
  std::vector<CsvRow> rows;
  std::vector<const report::Field*> columns;
  std::string stored, error;
  ASSERT_TRUE(ParseCsv("code,name,fee,last_settled,tax_id\n1,ERA*L',15,20260930,ESH1\n", &rows,
                       &error));
  ASSERT_TRUE(MapHeader(layout, rows[0], &columns, &error));
  ASSERT_TRUE(RowToRecord(layout, columns, rows[1], &stored, &error)) << error;
  stored.replace(2, 4, "WXYZ");
  {
    ReportFile data;
    size_t failed = 0;
    ASSERT_TRUE(data.Open(root_, "FinquesH", &error) && data.InsertAll({stored}, &error, &failed))
        << error;
  }
  ImportCounts counts;
  ASSERT_TRUE(Run("FinquesH", "code,fee\n1,16.50\n2,12\n", true, &counts)) << error_;
  EXPECT_EQ(counts.replaced, 1u);
  EXPECT_EQ(counts.inserted, 1u);
  const std::vector<std::string> after = Records("FinquesH");
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(report::GetInt32(after[0].data(), report::finques::kFee), 1650);
  std::string expected = stored;
  report::PutInt32(&expected[0], report::finques::kFee.offset, 1650);
  EXPECT_EQ(after[0], expected);  // name, date, tax id and the other bytes as they were
  // The key's columns must be there to say which record a row is.
  EXPECT_FALSE(Run("FinquesH", "name,fee\nX,1\n", true));
  EXPECT_NE(error_.find("--update needs the columns of FinquesH's unique key"),
            std::string::npos)
      << error_;
}

TEST_F(Import, UpdateNeedsAUniqueKey) {
  ASSERT_TRUE(Run("CobramH", "department,date,amount_in,state\n10001,20261005,60,C\n", false));
  EXPECT_FALSE(Run("CobramH", "department,date,amount_in,state\n10001,20261005,70,C\n", true));
  EXPECT_NE(error_.find("CobramH has no unique key"), std::string::npos) << error_;
  EXPECT_NE(error_.find("--replace replaces the records of the CSV's communities"),
            std::string::npos)
      << error_;
  EXPECT_FALSE(Run("PagamH", "community,date,amount\n1,20261005,70\n", true));
  EXPECT_NE(error_.find("PagamH has no unique key"), std::string::npos) << error_;
  EXPECT_EQ(Records("CobramH").size(), 1u);
}

// An export imported back into a file without a unique key: refused as a
// plain import, replacing what it covers with --replace.
TEST_F(Import, ReplaceTakesTheCsvsCommunitiesAndIdenticalRowsAreRefused) {
  const std::string header = "community,date,text,amount\n";
  ASSERT_TRUE(Run("PagamH", header + "1,20261005,AIGUA,10\n1,20261105,LLUM,20\n"
                  "2,20261005,NETEJA,30\n", false))
      << error_;
  const std::string exported = Export("PagamH");
  EXPECT_FALSE(Run("PagamH", exported, false));
  EXPECT_EQ(error_.find("line 2 and 2 more rows are identical to records already in PagamH"), 0u)
      << error_;
  EXPECT_EQ(Records("PagamH").size(), 3u);

  ImportOptions replace;
  replace.replace = true;
  ImportCounts counts;
  ASSERT_TRUE(RunWith("PagamH", header + "1,20261005,AIGUA,12\n", replace, &counts)) << error_;
  EXPECT_EQ(counts.deleted, 2u);
  EXPECT_EQ(counts.inserted, 1u);
  const std::string after = Export("PagamH");
  EXPECT_NE(after.find("0001,20261005,0000,AIGUA,12.00,"), std::string::npos) << after;
  EXPECT_EQ(after.find("LLUM"), std::string::npos) << after;
  EXPECT_NE(after.find("NETEJA"), std::string::npos) << after;  // community 2 untouched
  ASSERT_TRUE(RunWith("PagamH", exported, replace, &counts)) << error_;
  EXPECT_EQ(Export("PagamH"), exported);  // the export back: as it was

  ImportOptions identical;
  identical.allowIdentical = true;
  ASSERT_TRUE(RunWith("PagamH", header + "2,20261005,NETEJA,30\n", identical)) << error_;
  EXPECT_EQ(Records("PagamH").size(), 4u);

  EXPECT_FALSE(RunWith("PagamH", "date,amount\n20261005,1\n", replace));
  EXPECT_EQ(error_, "--replace needs the column community (the community) in the header");
  EXPECT_FALSE(RunWith("FinquesH", "code,name\n1,A\n", replace));
  EXPECT_EQ(error_, "FinquesH has a unique key: --update replaces its records by that key");
  EXPECT_EQ(Records("PagamH").size(), 4u);
}

TEST_F(Import, TwoRowsWithOneUniqueKeyAreRefusedInBothModes) {
  for (bool update : {false, true}) {
    EXPECT_FALSE(Run("PropietH", "key,owner\n10001,A\n10002,B\n00010001,C\n", update));
    EXPECT_NE(error_.find("line 4: the same key as line 2"), std::string::npos) << error_;
  }
  EXPECT_TRUE(Records("PropietH").empty());
}

TEST_F(Import, SpreadsheetCsvSemicolonsMarkAndCapitals) {
  // As a spreadsheet set to Catalan saves "CSV UTF-8": a byte-order mark,
  // ";" between fields, decimal commas, CR LF, column names capitalised.
  const std::string csv =
      "\xEF\xBB\xBF" "Department;DATE;Amount_In;amount_out;State\r\n"
      "00010001;20261005;1.234,56;0,00;C\r\n"
      "00010002;20261105;\"60,5\";-12,30;I\r\n"
      ";;;;\r\n"
      ";; ;;\r\n";
  ImportCounts counts;
  ASSERT_TRUE(Run("cobramh", csv, false, &counts)) << error_;
  EXPECT_EQ(counts.inserted, 2u);
  EXPECT_EQ(Export("CobramH"),
            "department,date,amount_in,amount_out,state\n"
            "00010001,20261005,1234.56,0.00,C\n"
            "00010002,20261105,60.50,-12.30,I\n");
  const std::string r = Records("CobramH")[0];
  EXPECT_EQ(report::GetInt32(r.data(), report::cobram::kIn), 123456);
  EXPECT_FALSE(Run("CobramH", "department;Department\n1;1\n", false));
  EXPECT_NE(error_.find("field \"department\" given twice"), std::string::npos) << error_;
  EXPECT_FALSE(Run("CobramH", "departament;date\n1;20260101\n", false));
  EXPECT_NE(error_.find("has no field \"departament\" (its fields: department, date,"),
            std::string::npos)
      << error_;
  // Trailing empty columns, as a spreadsheet leaves them, are no columns.
  ASSERT_TRUE(Run("FinquesH", "code;name;;\r\n1;ERA*L';;\r\n2;MOLI*EL;; \r\n", false))
      << error_;
  EXPECT_EQ(Records("FinquesH").size(), 2u);
}

TEST_F(Import, RefusalsSayWhatIsWrong) {
  const struct {
    const char* csv;
    const char* message;
  } cases[] = {
      {"code;last_settled\n1;20260231\n",
       "line 2: last_settled \"20260231\" is 31 February 2026, which does not exist"},
      {"code;last_settled\n1;20250229\n", "is 29 February 2025, which does not exist"},
      {"code;last_settled\n1;20261301\n", "\"20261301\" has the month 13 (01 to 12)"},
      {"code;last_settled\n1;2026-12-31\n", "needs a date YYYYMMDD (00000000 for none)"},
      {"code;;name\n1;x;A\n", "line 1: column 2 has values but no name in the header"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(Run("FinquesH", c.csv, false)) << c.csv;
    EXPECT_NE(error_.find(c.message), std::string::npos) << error_;
  }
  EXPECT_NE(StatusText(51, "/x/DADES/PropietH.dat").find("wrong owner name"), std::string::npos);
  EXPECT_NE(StatusText(51, "/x/DADES/PropietH.dat").find("ZULOWNER"), std::string::npos);
}

TEST_F(Import, AmountsInEurosComeBackThroughExportInBothForms) {
  const std::string csv =
      "key,owner,bal1,bal2,bal3,bal4,bal5,second10\n"
      "00010001,A,0.00,-0.01,21474836.47,-21474836.48,1234567.89,-987.65\n"
      "00010002,B,15.00,-30.00,0.07,100.00,-1.50,2.00\n";
  ASSERT_TRUE(Run("PropietH", csv, false)) << error_;
  const std::vector<std::string> stored = Records("PropietH");
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(report::BalanceAmount(stored[0].data(), report::propiet::kBalance, 3), INT32_MAX);
  EXPECT_EQ(report::BalanceAmount(stored[0].data(), report::propiet::kBalance, 4), INT32_MIN);
  EXPECT_EQ(report::BalanceAmount(stored[1].data(), report::propiet::kBalance, 2), -3000);
  const std::string plain = Export("PropietH");
  EXPECT_NE(plain.find(",0.00,-0.01,21474836.47,-21474836.48,1234567.89,"), std::string::npos);
  const std::string semicolon = Export("PropietH", ';', ',');
  EXPECT_NE(semicolon.find(";0,00;-0,01;21474836,47;-21474836,48;1234567,89;"),
            std::string::npos)
      << semicolon;

  // Each export imports into a fresh file as the same records.
  for (const std::string* text : {&plain, &semicolon}) {
    platform::TestDir other;
    SuiteOptions options;
    options.suiteDir = ZUL_SOURCE_DIR "/suite";
    options.zudavivi = "/nonexistent";
    std::string error;
    ASSERT_TRUE(LayDownSuite(other.file("root"), options, &error)) << error;
    ASSERT_TRUE(ImportCsv(other.file("root"), "PropietH", *text, &error)) << error;
    ReportFile data;
    std::vector<std::string> again;
    ASSERT_TRUE(data.Open(other.file("root"), "PropietH", &error) &&
                data.ReadAll(&again, &error))
        << error;
    EXPECT_EQ(again, stored);
  }
  // One past the limit is refused by name and line.
  EXPECT_FALSE(Run("PropietH", "key,bal1\n00010009,21474836.48\n", false));
  EXPECT_EQ(error_.compare(0, 13, "line 2: bal1 "), 0) << error_;
}

TEST_F(Import, TextThatIsNotUtf8OrNotInTheCodePageIsRefusedWhole) {
  // Windows-1252, as "CSV" without "UTF-8" saves it.
  EXPECT_FALSE(Run("FinquesH", "code,name\n1,ERA*L'\n2,MOL\xCD VELL*EL\n", false));
  EXPECT_NE(error_.find("is not UTF-8 (line 3, column 6 has the byte 0xCD)"), std::string::npos)
      << error_;
  EXPECT_NE(error_.find("Windows-1252"), std::string::npos) << error_;
  EXPECT_FALSE(Run("FinquesH", "code,name\n1,ERA D\xE2\x80\x99" "EN PUJOL*L'\n", false));
  EXPECT_NE(error_.find("line 2, column 8: RIGHT SINGLE QUOTATION MARK U+2019"),
            std::string::npos)
      << error_;
  EXPECT_TRUE(Records("FinquesH").empty());
  // The euro sign is the suite's byte 0xD5 and comes back as itself.
  ASSERT_TRUE(Run("PagamH", "community,text,amount\n1,FACTURA 100 \xE2\x82\xAC,100 \xE2\x82\xAC\n",
                  false))
      << error_;
  const std::string r = Records("PagamH")[0];
  EXPECT_EQ(r.substr(report::pagam::kText.offset, 14), "FACTURA 100 \xD5 ");
  EXPECT_EQ(report::GetInt32(r.data(), report::pagam::kAmount), 10000);
  EXPECT_NE(Export("PagamH").find(",FACTURA 100 \xE2\x82\xAC,100.00,"), std::string::npos);
}

TEST_F(Import, TheDemoFindsItsCsvFilesWithoutRegardToCase) {
  platform::TestDir suite;
  std::string csv;
  for (const char* dir : {"Brol.ini", "TERM01/Sessio.ini", "TERM01/BrolTerm.ini"}) {
    ASSERT_TRUE(platform::ReadFile(std::string(ZUL_SOURCE_DIR "/suite/") + dir, &csv));
    suite.Write(dir, csv);
  }
  for (const report::ReportFileLayout& l : report::kLayouts) {
    ASSERT_TRUE(platform::ReadFile(std::string(ZUL_SOURCE_DIR "/suite/data/") + l.name + ".csv",
                                   &csv));
    std::string lower = l.name;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    suite.Write("data/" + lower + ".CSV", csv);
  }
  // The creation layouts come from the real suite.
  for (const report::ReportFileLayout& l : report::kLayouts) {
    ASSERT_TRUE(
        platform::ReadFile(std::string(ZUL_SOURCE_DIR "/suite/ddf/") + l.name + ".txt", &csv));
    suite.Write(std::string("ddf/") + l.name + ".txt", csv);
  }
  std::string root = dir_.file("lower");
  std::string cmd = std::string(ZULDATA_EXE) + " demo " + root + " --suite " + suite.path() +
                    " --zudavivi /nonexistent >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::string dat;
  EXPECT_TRUE(platform::ReadFile(root + "/DADES/PropietH.dat", &dat) && !dat.empty());
}

// A demo that fails half-way (a help source it cannot build) takes back
// what it laid down: a root it made goes, an existing one keeps only what
// it held.
TEST_F(Import, ADemoThatFailsHalfWayLeavesNoHalfMadeRoot) {
  platform::TestDir suite;
  ASSERT_TRUE(platform::ReadFile(ZUL_SOURCE_DIR "/suite/Brol.ini", &error_));
  suite.Write("Brol.ini", error_);
  suite.Write("AJUDA/TORBELAN.txt", "Ajuda \xE6\x97\xA5\n");
  const std::string demo = std::string(ZULDATA_EXE) + " demo ";
  const std::string options = " --suite " + suite.path() + " --zudavivi /nonexistent 2>/dev/null";
  const std::string fresh = dir_.file("fresh");
  EXPECT_NE(std::system((demo + fresh + options).c_str()), 0);
  EXPECT_FALSE(platform::PathExists(fresh));
  const std::string there = dir_.file("there");
  ASSERT_FALSE(dir_.Write("there/AJUDA/mine.txt", "x").empty());
  EXPECT_NE(std::system((demo + there + options).c_str()), 0);
  EXPECT_EQ(platform::ListTree(there), (std::vector<std::string>{"AJUDA", "AJUDA/mine.txt"}));
}

// The commands as the real program: counts on standard output, the file
// taken from the CSV's name in any case, export with --semicolon.
int Shell(const std::string& command, std::string* out) {
  std::string cmd = command + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return -1;
  out->clear();
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out->append(buf, n);
  int status = pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Tool(const std::string& args, std::string* out) {
  return Shell(std::string(ZULDATA_EXE) + " " + args, out);
}

TEST_F(Import, TheCommandsPrintTheirCountsAndTakeNamesInAnyCase) {
  std::string out;
  std::string csv = dir_.Write("FINQUESH.csv", "code;name;fee\n1;ERA*L';15,00\n2;MOLI*EL;18\n");
  ASSERT_EQ(Tool("import " + root_ + " " + csv, &out), 0) << out;
  EXPECT_EQ(out, "FinquesH: 2 inserted, 0 replaced\n");
  csv = dir_.Write("canvis.csv", "code,fee\n2,\"19,50\"\n3,12\n");
  ASSERT_EQ(Tool("import " + root_ + " finquesh " + csv + " --update", &out), 0) << out;
  EXPECT_EQ(out, "FinquesH: 1 inserted, 1 replaced\n");
  EXPECT_EQ(Tool("import " + root_ + " " + csv, &out), 1);
  EXPECT_NE(out.find("canvis.csv names none of the report's files"), std::string::npos) << out;
  EXPECT_EQ(Tool("import " + root_ + " Finques " + csv, &out), 1);
  EXPECT_EQ(Tool("import " + root_ + " " + csv + " --bogus", &out), 2);
  EXPECT_EQ(Tool("import " + root_ + " " + csv + " --update --replace", &out), 2);
  csv = dir_.Write("PagamH.csv", "community;date;amount\n1;20261005;10\n");
  ASSERT_EQ(Tool("import " + root_ + " " + csv + " --replace", &out), 0) << out;
  EXPECT_EQ(out, "PagamH: 1 inserted, 0 replaced, 0 deleted\n");
  csv = dir_.Write("bad/finquesh.csv", "code,fee\n4,1\n5,1.234\n");
  EXPECT_EQ(Tool("import " + root_ + " " + csv + " --update", &out), 1);
  EXPECT_NE(out.find("line 3: fee \"1.234\" has three digits"), std::string::npos) << out;
  EXPECT_NE(out.find("nothing imported"), std::string::npos) << out;

  ASSERT_EQ(Tool("export " + root_ + " FINQUESH --semicolon", &out), 0) << out;
  EXPECT_EQ(out.compare(0, 14, "code;name;fee;"), 0) << out;
  EXPECT_NE(out.find("\n0002;MOLI*EL;19,50;0;00000000;"), std::string::npos) << out;
  EXPECT_NE(out.find("\n0003;;12,00;"), std::string::npos) << out;
}

// Two updates of one file at once: the one that meets the other's lock, or
// a record the other changed, waits and tries again; both store their rows.
TEST_F(Import, TwoUpdatesOfOneFileAtOnceBothStoreTheirRows) {
  std::string rows = "code,fee\n";
  for (int c = 1; c <= 300; ++c) rows += std::to_string(c) + ",10\n";
  std::string out;
  ASSERT_EQ(Tool("import " + root_ + " FinquesH " + dir_.Write("all.csv", rows), &out), 0) << out;
  const std::string a = dir_.Write("a.csv", rows), b = dir_.Write("b.csv", rows);
  const std::string import = std::string(ZULDATA_EXE) + " import " + root_ + " FinquesH ";
  for (int pair = 0; pair < 8; ++pair) {
    EXPECT_EQ(Shell("(" + import + a + " --update & " + import + b +
                        " --update; b=$?; wait $!; [ $? = 0 ] && [ $b = 0 ])",
                    &out),
              0)
        << out;
  }
  EXPECT_EQ(Records("FinquesH").size(), 300u);
}

TEST_F(Import, ExportOfAFileWithADamagedKeyEndsWithAMessage) {
  std::string out;
  std::string csv = dir_.Write("FinquesH.csv", "code,name\n1,A\n2,B\n3,C\n");
  ASSERT_EQ(Tool("import " + root_ + " " + csv, &out), 0) << out;
  // The second record's key 0 entry becomes a copy of the third's (as a
  // damaged page would make it): a walk along key 0 could meet it for ever.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((root_ + "/DADES/FinquesH.dat").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "UPDATE zul_rec SET k0 = (SELECT k0 FROM zul_rec WHERE pos = 3)"
                         " WHERE pos = 2",
                         nullptr, nullptr, nullptr),
            SQLITE_OK)
      << sqlite3_errmsg(db);
  sqlite3_close(db);
  // Bounded by timeout, which would end a run that never stops with 124.
  std::string cmd = "timeout 60 " + std::string(ZULDATA_EXE) + " export " + root_ +
                    " FinquesH 2>&1 >/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  char buf[4096];
  size_t n;
  out.clear();
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int status = pclose(p);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1) << out;
  EXPECT_NE(out.find("cannot read FinquesH"), std::string::npos) << out;
}

}  // namespace
}  // namespace zuldata
