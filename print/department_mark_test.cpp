#include "print/department_mark.h"

#include <gtest/gtest.h>

#include <string>

#include "print/device_name.h"

namespace print {
namespace {

DepartmentFigures Owner() {
  DepartmentFigures f;
  f.community = "0001";
  f.communityName = "L'ERA D'EN PUJOL";
  f.department = "0002";
  f.designation = "LOCAL 2";
  f.owner = "FARM\xB7" "CIA SOLER, S.L.";  // "FARMÀCIA", a comma
  f.carriedOver = -6000;
  f.expenses = 13244;
  f.funds = 18000;
  f.balance = -1244;
  f.inFavourOf = "DE L'ADMINISTRADOR";
  return f;
}

TEST(DepartmentMark, CarriesTheFiguresAndReadsThemBack) {
  DepartmentFigures f = Owner();
  f.designation = "1r\t1a\r";  // a TAB would split the field
  const std::string mark = DepartmentMark(f);
  EXPECT_EQ(mark, "@DEPARTAMENT 0001\tL'ERA D'EN PUJOL\t0002\t1r 1a \tFARM\xB7" "CIA SOLER, "
                  "S.L.\t-6000\t13244\t18000\t-1244\tDE L'ADMINISTRADOR");
  DepartmentFigures back;
  ASSERT_TRUE(ReadDepartmentMark(mark, &back));
  EXPECT_EQ(back.designation, "1r 1a ");
  EXPECT_EQ(back.owner, f.owner);
  EXPECT_EQ(back.carriedOver, -6000);
  EXPECT_EQ(back.balance, -1244);
  EXPECT_EQ(back.inFavourOf, "DE L'ADMINISTRADOR");
  EXPECT_TRUE(ReadDepartmentMark(mark + "\tmore", &back));  // later fields are passed over

  const std::string names = mark.substr(0, mark.find("\t-6000"));
  for (const std::string& bad :
       {std::string("@TITOL x"), std::string("@DEPARTAMENT 0001\tx"),
        names + "\t12,5\t0\t0\t0\tx", names + "\t99999999999\t0\t0\t0\tx"}) {
    EXPECT_FALSE(ReadDepartmentMark(bad, &back)) << bad;
    EXPECT_EQ(back.owner, "") << bad;
  }
  EXPECT_TRUE(IsDepartmentMark("@DEPARTAMENT 0001\tx"));
  EXPECT_FALSE(IsDepartmentMark("@e"));
}

TEST(DeviceName, EveryDeviceAndItsPath) {
  struct Case {
    const char* text;
    DeviceKind kind;
    const char* path;
    size_t offset;
  };
  const size_t none = std::string::npos;
  const Case cases[] = {
      {"", DeviceKind::Screen, "", none},
      {"  Pantalla ", DeviceKind::Screen, "", none},
      {"PDF", DeviceKind::Pdf, "", none},
      {" pdf:  /tmp/x.pdf ", DeviceKind::Pdf, "/tmp/x.pdf", 7},
      {"TXT:", DeviceKind::Text, "", none},
      {"PDF-EACH", DeviceKind::PdfEach, "", none},
      {"pdf-each:LIQ", DeviceKind::PdfEach, "LIQ", 9},
      {"Txt-Each: C:\\LIQ", DeviceKind::TextEach, "C:\\LIQ", 10},
      {"PDF-EACHX", DeviceKind::Printer, "PDF-EACHX", 0},
      {"PDFCREATOR", DeviceKind::Printer, "PDFCREATOR", 0},
      {" Sala 2 ", DeviceKind::Printer, "Sala 2", 1},
  };
  for (const Case& c : cases) {
    const DeviceName d = ClassifyDevice(c.text);
    EXPECT_EQ(d.kind, c.kind) << c.text;
    EXPECT_EQ(d.path, c.path) << c.text;
    EXPECT_EQ(d.pathOffset, c.offset) << c.text;
  }
  EXPECT_TRUE(WritesFiles(DeviceKind::TextEach));
  EXPECT_FALSE(WritesFiles(DeviceKind::Printer));
  EXPECT_TRUE(OnePerDepartment(DeviceKind::PdfEach));
  EXPECT_FALSE(OnePerDepartment(DeviceKind::Pdf));
}

}  // namespace
}  // namespace print
