#include "tools/zudavivi/document_info.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/paths.h"
#include "tools/zudavivi/device.h"

namespace zudavivi {
namespace {

TEST(DocumentInfoTest, TitleAndNameComeFromTheCommandsBeforeTheFirstPage) {
  DocumentInfo info = ReadDocumentInfo(
      "DEVICEPDF\r\n*@e\r\n*@TITOL DETALL DE LIQUIDACI\xE0 FINS AL 31\r\n"
      "*@NOM LIQUIDACIO_2026-12-31\r\n*@TITOL second\r\nPAGE 66 \r\n*@NOM later\r\n"
      " 1 ,a, 1 \r\n");
  EXPECT_EQ(info.title, "DETALL DE LIQUIDACI\xE0 FINS AL 31");
  EXPECT_EQ(info.name, "LIQUIDACIO_2026-12-31");

  // Older spools, a command that only starts like one, a broken spool.
  EXPECT_EQ(ReadDocumentInfo("DEVICEPDF\r\nPAGE 66 \r\n 1 ,a, 1 \r\n").name, "");
  EXPECT_EQ(ReadDocumentInfo("DEVICE\r\n*@TITOLX\r\n*@NOMBRE x\r\n").title, "");
  EXPECT_EQ(ReadDocumentInfo("DEVICE\r\n*@NOMBRE x\r\n").name, "");
  EXPECT_EQ(ReadDocumentInfo("DEVICE\r\nJUSQ\r\n*@NOM x\r\n").name, "");
  EXPECT_EQ(ReadDocumentInfo("").title, "");
}

TEST(DocumentInfoTest, FileNamesStayInsideTheirFolder) {
  EXPECT_EQ(DocumentFileName("LIQUIDACIO_2026-12-31"), "LIQUIDACIO_2026-12-31");
  EXPECT_EQ(DocumentFileName("LIQUIDACI\xE0 MOL\xD6 VELL"), "LIQUIDACIO_MOLI_VELL");
  EXPECT_EQ(DocumentFileName("../../etc/passwd"), "etc_passwd");
  EXPECT_EQ(DocumentFileName("C:\\X\\Y.PDF"), "C__X_Y_PDF");
  EXPECT_EQ(DocumentFileName(".hidden"), "hidden");
  EXPECT_EQ(DocumentFileName("a\tb\x01" "c \xD5"), "a_b_c");  // controls, the euro sign
  EXPECT_EQ(DocumentFileName("../"), "");
  EXPECT_EQ(DocumentFileName(""), "");
  std::string longName = std::string(99, 'A') + "__" + std::string(50, 'B');
  EXPECT_EQ(DocumentFileName(longName), std::string(99, 'A'));  // no trailing "_"
  EXPECT_EQ(DocumentFileName(std::string(300, 'x')).size(), 100u);
}

TEST(DocumentInfoTest, TheNameIsTheDefaultDocumentOnlyWhereTheDeviceGivesNone) {
  EXPECT_EQ(ParseDevice("PDF", "/t/", "LIQUIDACIO_2026-12-31").path,
            platform::SuitePath("/t/LIQUIDACIO_2026-12-31.pdf"));
  EXPECT_EQ(ParseDevice("TXT:", "/t/", "LIQUIDACIO_2026-12-31").path,
            platform::SuitePath("/t/LIQUIDACIO_2026-12-31.txt"));
  EXPECT_EQ(ParseDevice("PDF:/out/a.pdf", "/t/", "LIQUIDACIO_2026-12-31").path,
            platform::SuitePath("/out/a.pdf"));
  EXPECT_EQ(ParseDevice("PDF", "/t/", "").path, platform::SuitePath("/t/zudavivi.pdf"));
}

}  // namespace
}  // namespace zudavivi
