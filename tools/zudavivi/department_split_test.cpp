#include "tools/zudavivi/department_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "print/department_mark.h"

namespace zudavivi {
namespace {

DepartmentPart Part(const std::string& community, const std::string& department,
                    const std::string& owner) {
  DepartmentPart p;
  p.hasFigures = true;
  p.figures.community = community;
  p.figures.department = department;
  p.figures.owner = owner;
  return p;
}

// Names that would be unsafe or collide still give safe, unique names.
TEST(PartFileNames, SafeAndUniqueWhateverTheOwnersAreCalled) {
  const std::string longName(300, 'X');
  std::vector<DepartmentPart> parts = {
      Part("0001", "0003", "JOAN PUJOL I FERRER"),
      Part("0001", "0004", "../../etc/passwd"),
      Part("0001", "0005", "C:\\A/B\\C"),
      Part("0002", "0001", "MARIA ROVIRA"),
      Part("0002", "0001", "MARIA ROVIRA"),  // the same department twice
      Part("0002", "0001", "maria rovira"),  // the same but for case
      Part("0002", "0003", "MARIA ROVIRA"),  // a namesake in the same community
      Part("0002", "0002", "M\xA0RIA \x82S"),  // accents of code page 850
      Part("0003", "0001", longName),
      Part("0003", "0001", longName),
      Part("", "", "..."),                    // nothing left: the document's name
      Part("", "", "con"),                    // a device on Windows
      DepartmentPart(),                       // no figures
  };
  const std::vector<std::string> want = {
      "0001-0003_JOAN_PUJOL_I_FERRER",
      "0001-0004_______etc_passwd",
      "0001-0005_C__A_B_C",
      "0002-0001_MARIA_ROVIRA",
      "0002-0001_MARIA_ROVIRA-2",
      "0002-0001_maria_rovira-3",
      "0002-0003_MARIA_ROVIRA",
      "0002-0002_MaRIA_eS",
      "0003-0001_" + std::string(90, 'X'),
      "0003-0001_" + std::string(88, 'X') + "-2",
      "LIQUIDACIO_2026-12-31",
      "con_",
      "LIQUIDACIO_2026-12-31-2",
  };
  EXPECT_EQ(PartFileNames(parts, "LIQUIDACIO_2026-12-31"), want);
  EXPECT_EQ(PartFileNames({DepartmentPart()}, ""), std::vector<std::string>{"zudavivi"});
}

TEST(SplitByDepartment, EachMarkBeginsAPartWithTheDeviceRecord) {
  print::DepartmentFigures f;
  f.community = "0001";
  f.department = "0002";
  f.owner = "PERE COLL";
  const std::string mark = "*" + print::DepartmentMark(f) + "\r\n";
  const std::string device = "DEVICETXT-EACH\r\n";
  const std::string spool = device + "*@TITOL T\r\n" + mark + "PAGE 66 \r\n 1 ,a, 1 \r\n" +
                            "*@DEPARTAMENT broken\r\n 1 ,b, 1 \r\n" + mark + "PAGE 66 \r\n";
  const std::vector<DepartmentPart> parts = SplitByDepartment(spool);
  ASSERT_EQ(parts.size(), 2u);  // the last mark holds no text
  EXPECT_TRUE(parts[0].hasFigures);
  EXPECT_EQ(parts[0].figures.owner, "PERE COLL");
  EXPECT_EQ(parts[0].spool, device + mark + "PAGE 66 \r\n 1 ,a, 1 \r\n");
  EXPECT_FALSE(parts[1].hasFigures);  // a mark whose fields cannot be read
  EXPECT_EQ(parts[1].spool, device + "*@DEPARTAMENT broken\r\n 1 ,b, 1 \r\n");

  // A spool without marks is one part, whole.
  const std::string old = device + "*@TITOL T\r\nPAGE 66 \r\n 1 ,a, 1 \r\n";
  ASSERT_EQ(SplitByDepartment(old).size(), 1u);
  EXPECT_EQ(SplitByDepartment(old)[0].spool, old);
}

}  // namespace
}  // namespace zudavivi
