// CSV import and export of the report's files through a real suite root.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "config/session.h"
#include "config/session_init.h"
#include "format/format_state.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/test_dir.h"
#include "report/record_layouts.h"
#include "tools/zuldata/record_csv.h"
#include "tools/zuldata/report_commands.h"
#include "tools/zuldata/report_files.h"
#include "tools/zuldata/suite_root.h"

namespace zuldata {
namespace {

class Root : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.file("root");
    SuiteOptions options;
    options.suiteDir = ZUL_SOURCE_DIR "/suite";
    options.zudavivi = "/nonexistent";
    std::string error;
    ASSERT_TRUE(LayDownSuite(root_, options, &error)) << error;
  }
  // Every record of a file as CSV, as export writes it.
  std::string Export(const std::string& file) {
    ReportFile data;
    std::vector<std::string> records;
    std::string error;
    EXPECT_TRUE(data.Open(root_, file, &error) && data.ReadAll(&records, &error)) << error;
    const report::ReportFileLayout* layout = report::FindLayout(file);
    std::string out = CsvLine(HeaderFields(*layout));
    for (const std::string& r : records) out += CsvLine(RecordToFields(*layout, r));
    return out;
  }

  platform::TestDir dir_;
  std::string root_;
};

TEST_F(Root, DemoCommunitiesComeBackAsTheyWent) {
  std::string csv;
  ASSERT_TRUE(platform::ReadFile(ZUL_SOURCE_DIR "/suite/data/FinquesH.csv", &csv));
  std::string error;
  ASSERT_TRUE(ImportCsv(root_, "FinquesH", csv, &error)) << error;
  EXPECT_EQ(Export("FinquesH"), csv);
}

TEST_F(Root, MissingColumnsImportAsBlankAndShortCodesAreZeroFilled) {
  std::string error;
  ASSERT_TRUE(ImportCsv(root_, "CobramH",
                        "department,date,amount_in,state\r\n1,20261205,-1500,C\r\n", &error))
      << error;
  EXPECT_EQ(Export("CobramH"),
            "department,date,amount_in,amount_out,state\n00000001,20261205,-1500.00,0.00,C\n");
}

TEST_F(Root, ABadRowIsNamedByItsLineAndNothingIsStored) {
  const char* bad[][2] = {
      {"code,name,last_settled\n0001,A,20261231\n0002,B,20261332\n", "line 3: last_settled"},
      {"code,name\n0001,A\n12345,B\n", "line 3: code"},
      {"code,fee\n0001,2147483648\n", "line 2: fee"},
      {"code,name\n0001,\"NOM MOLT LLARG QUE NO HI CAP A LA FITXA\"\n", "line 2: name"},
      {"code,name\n0001,CAF\xE2\x9C\x93\n", "line 2, column 9: CHECK MARK"},
      {"code,name\n0001\n", "line 2: 1 fields"},
      {"code,nom\n0001,A\n", "line 1: FinquesH has no field \"nom\""},
      {"code,name\n0001,\"A\n", "line 2: a quoted field is not closed"},
  };
  for (auto& c : bad) {
    std::string error;
    EXPECT_FALSE(ImportCsv(root_, "FinquesH", c[0], &error)) << c[0];
    EXPECT_EQ(error.compare(0, std::string(c[1]).size(), c[1]), 0) << error;
  }
  EXPECT_EQ(Export("FinquesH"), CsvLine(HeaderFields(*report::FindLayout("FinquesH"))));
}

TEST_F(Root, MissingPackedColumnsAreZerosAndTheEmptyDateNotZeroBytes) {
  // Found by fuzzing: the record of a row without its packed fields held
  // zero bytes there, which export showed as "0000" and "00000000" and
  // import then turned into a different record.
  const report::ReportFileLayout& layout = *report::FindLayout("FinquesH");
  std::vector<CsvRow> rows;
  std::string error;
  ASSERT_TRUE(ParseCsv("name\nMOLI\n", &rows, &error));
  std::vector<const report::Field*> columns;
  ASSERT_TRUE(MapHeader(layout, rows[0], &columns, &error)) << error;
  std::string record;
  ASSERT_TRUE(RowToRecord(layout, columns, rows[1], &record, &error)) << error;
  EXPECT_EQ(record.substr(report::finques::kCode.offset, 2), "\x80\x80");
  EXPECT_EQ(record.substr(report::finques::kLastSettled.offset, 4), "\x80\x80\x80\x80");
  CsvRow again;
  again.fields = RecordToFields(layout, record);
  CsvRow header;
  header.fields = HeaderFields(layout);
  std::vector<const report::Field*> all;
  ASSERT_TRUE(MapHeader(layout, header, &all, &error));
  std::string back;
  ASSERT_TRUE(RowToRecord(layout, all, again, &back, &error)) << error;
  EXPECT_EQ(back, record);
}

TEST_F(Root, DatesMustExistAndTextMustBeShortestFormUtf8) {
  const char* bad[][2] = {
      {"code,last_settled\n0001,20250229\n", "line 2: last_settled"},  // not a leap year
      {"code,last_settled\n0001,19000229\n", "line 2: last_settled"},  // nor is 1900
      {"code,last_settled\n0001,15821010\n", "line 2: last_settled"},  // dropped in 1582
      {"code,last_settled\n0001,00000101\n", "line 2: last_settled"},  // no year 0
      {"code,name\n0001,A\xC0\x80" "B\n", "has a malformed UTF-8 sequence at line 2, column 7"},
      {"code,name\n0001,A\xE0\x81\x81\n", "has a malformed UTF-8 sequence at line 2, column 7"},
      {"code,name\n0001,A\xED\xA0\x80\n", "has a malformed UTF-8 sequence at line 2, column 7"},
  };
  for (auto& c : bad) {
    std::string error;
    EXPECT_FALSE(ImportCsv(root_, "FinquesH", c[0], &error)) << c[0];
    EXPECT_EQ(error.compare(0, std::string(c[1]).size(), c[1]), 0) << error;
  }
  EXPECT_EQ(Export("FinquesH"), CsvLine(HeaderFields(*report::FindLayout("FinquesH"))));
  std::string error;
  ASSERT_TRUE(ImportCsv(root_, "FinquesH",
                        "code,last_settled\n0001,20240229\n0002,20000229\n0003,00000000\n",
                        &error))
      << error;
}

TEST_F(Root, AKeyAlreadyThereUndoesTheWholeImport) {
  std::string error;
  ASSERT_TRUE(ImportCsv(root_, "TDespesa", "code,description\n0001,NETEJA\n", &error));
  EXPECT_FALSE(ImportCsv(root_, "TDespesa", "code,description\n0002,AIGUA\n0001,ALTRA\n", &error));
  EXPECT_NE(error.find("line 3"), std::string::npos) << error;
  EXPECT_EQ(Export("TDespesa"), "code,description\n0001,NETEJA\n");
}

TEST_F(Root, TheTerminalsSessionFileNamesItsDirectory) {
  char absolute[4096];
  ASSERT_NE(realpath(root_.c_str(), absolute), nullptr);
  const std::string termDir = std::string(absolute) + "/TERM01";
  std::string sessio;
  ASSERT_TRUE(platform::ReadFile(root_ + "/TERM01/Sessio.ini", &sessio));
  EXPECT_NE(sessio.find("\r\n[Terminal]\r\n"), std::string::npos);
  EXPECT_NE(sessio.find("\r\nDir=" + termDir + "\r\n"), std::string::npos) << sessio;
  EXPECT_NE(sessio.find("\r\nNomMenu=TORBELAN\r\n"), std::string::npos);  // the rest as it was

  // A session started there takes it as the terminal's directory.
  const char* zultmp = getenv("ZULTMP");
  const std::string saved = zultmp ? zultmp : "";
  setenv("ZULTMP", (root_ + "/TERM01/").c_str(), 1);
  config::SessionInit();
  EXPECT_EQ(config::session.TermDir, termDir + "\\");
  EXPECT_TRUE(platform::IsDirectory(platform::SuitePath(config::session.TermDir)));
  if (zultmp) setenv("ZULTMP", saved.c_str(), 1);
  else unsetenv("ZULTMP");
  config::session = config::SessionState();
  format::state = format::FormatState();
}

TEST(Csv, QuotesCommasAndLineEnds) {
  std::vector<CsvRow> rows;
  std::string error;
  ASSERT_TRUE(ParseCsv("\xEF\xBB\xBF" "a,\"b,c\",\"d\"\"e\"\r\n\r\n\"x\ny\",,z", &rows, &error));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].fields, (std::vector<std::string>{"a", "b,c", "d\"e"}));
  EXPECT_EQ(rows[1].line, 3);
  EXPECT_EQ(rows[1].fields, (std::vector<std::string>{"x\ny", "", "z"}));
  EXPECT_EQ(CsvLine({"a", "b,c", "d\"e", " f"}), "a,\"b,c\",\"d\"\"e\",\" f\"\n");
}

}  // namespace
}  // namespace zuldata
