#include "platform/paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/test_dir.h"

namespace platform {
namespace {

class SuitePathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.path().substr(0, dir_.path().size() - 1);
    ASSERT_TRUE(MakeDirs(root_ + "/dades"));
    ASSERT_TRUE(WriteFile(root_ + "/dades/TDESPESA.DAT", "x"));
  }
  void TearDown() override {
    unsetenv("ZULDRIVE_Q");
  }
  platform::TestDir dir_;
  std::string root_;  // the directory without its trailing "/"
};

TEST_F(SuitePathTest, BackslashesAndCaseResolve) {
  EXPECT_EQ(SuitePath(root_ + "\\DADES\\TDespesa.dat"), root_ + "/dades/TDESPESA.DAT");
}

TEST_F(SuitePathTest, MissingFileKeepsItsNameInsideTheExistingDirectory) {
  EXPECT_EQ(SuitePath(root_ + "/DADES\\PagamH.dat"), root_ + "/dades/PagamH.dat");
  EXPECT_EQ(SuitePath(root_ + "/NOU/X.DAT"), root_ + "/NOU/X.DAT");
}

TEST_F(SuitePathTest, ExactPathIsUsedAsIs) {
  ASSERT_TRUE(WriteFile(root_ + "/dades/tdespesa.dat", "y"));
  EXPECT_EQ(SuitePath(root_ + "/dades/tdespesa.dat"), root_ + "/dades/tdespesa.dat");
}

// A directory given with its "/" and then the suite's "\" before the name.
TEST_F(SuitePathTest, ARunOfSeparatorsIsOne) {
  EXPECT_EQ(SuitePath(root_ + "/dades/\\TDESPESA.DAT"), root_ + "/dades/TDESPESA.DAT");
  EXPECT_EQ(SuitePath(root_ + "//DADES//\\tdespesa.dat"), root_ + "/dades/TDESPESA.DAT");
  EXPECT_EQ(SuitePath(root_ + "/NOU//X.DAT"), root_ + "/NOU/X.DAT");
}

TEST_F(SuitePathTest, DriveLettersMapToRootOrTheirVariable) {
  EXPECT_EQ(SuitePath("Q:\\X\\Y.DAT"), "/X/Y.DAT");
  setenv("ZULDRIVE_Q", root_.c_str(), 1);
  EXPECT_EQ(SuitePath("q:\\Dades\\tdespesa.dat"), root_ + "/dades/TDESPESA.DAT");
  EXPECT_EQ(SuitePath("Q:dades"), root_ + "/dades");
}

TEST_F(SuitePathTest, CodePageNamesBecomeUtf8) {
  ASSERT_TRUE(WriteFile(root_ + "/dades/Camí.txt", "z"));
  EXPECT_EQ(SuitePath(root_ + "\\DADES\\CAM\xD6.TXT"), root_ + "/dades/Camí.txt");
}

}  // namespace
}  // namespace platform
