// Test support for the whole report over the demo suite: `zuldata demo`
// lays down a root in a temporary folder for each test, with the
// environment of its terminal TERM01 (ZULROOT, ZULEXE, ZULTMP, ZULTODAY),
// and the test runs the real programs there.
//
// Test programs only.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/test_dir.h"

#ifndef ZUL_SOURCE_DIR
#error "ZUL_SOURCE_DIR must name the repository"
#endif

namespace demo_root {

const std::string kSource = ZUL_SOURCE_DIR;
const std::string kZuldata = ZUL_ZULDATA;
const std::string kTorbelan = ZUL_TORBELAN;
const std::string kZudavivi = ZUL_ZUDAVIVI;

inline std::string Read(const std::string& path) {
  std::string bytes;
  platform::ReadFile(path, &bytes);
  return bytes;
}

inline std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> out;
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

// Replaces one "Key=value" line of an INI file laid down in code page 850.
inline void SetIni(const std::string& path, const std::string& key, const std::string& value) {
  std::string text = Read(path);
  size_t at = text.find("\r\n" + key + "=");
  ASSERT_NE(at, std::string::npos) << key << " in " << path;
  size_t end = text.find("\r\n", at + 2);
  text.replace(at + 2, end - at - 2, key + "=" + value);
  ASSERT_TRUE(platform::WriteFile(path, text));
}

class DemoRoot : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.file("root");
    ASSERT_EQ(platform::RunProgram(kZuldata, {"demo", root_, "--suite", kSource + "/suite",
                                              "--zudavivi", kZudavivi}),
              0);
    setenv("ZULROOT", (root_ + "/").c_str(), 1);
    setenv("ZULEXE", (root_ + "/BIN/").c_str(), 1);
    setenv("ZULTMP", (root_ + "/TERM01/").c_str(), 1);
    setenv("ZULTODAY", "20261208", 1);
  }
  void TearDown() override {
    if (HasFailure()) dir_.Keep();  // left for a look at what went wrong
  }

  int Batch(const std::string& date, const std::string& first, const std::string& last) {
    return platform::RunProgram(kTorbelan, {"--batch", date, first, last});
  }
  std::string Spool() { return Read(root_ + "/TERM01/zudavivi.tmp"); }

  // A run with `args`; its standard error in *err.
  int RunErr(const std::vector<std::string>& args, std::string* err) {
    const std::string errFile = dir_.file("stderr.txt");
    std::vector<std::string> argv = {"-c", "exec \"$0\" \"$@\" 2>'" + errFile + "'", kTorbelan};
    argv.insert(argv.end(), args.begin(), args.end());
    int code = platform::RunProgram("/bin/sh", argv);
    *err = Read(errFile);
    return code;
  }
  // A batch run with `args` after "--batch".
  int BatchErr(const std::vector<std::string>& args, std::string* err) {
    std::vector<std::string> all = {"--batch"};
    all.insert(all.end(), args.begin(), args.end());
    return RunErr(all, err);
  }

  // Compares the spool with an expected file, line by line.
  void ExpectSpool(const std::string& expectedName) {
    std::vector<std::string> want = Lines(Read(kSource + "/report/testdata/" + expectedName));
    std::vector<std::string> got = Lines(Spool());
    ASSERT_FALSE(want.empty());
    for (size_t i = 0; i < want.size() && i < got.size(); ++i)
      ASSERT_EQ(got[i], want[i]) << expectedName << " line " << i + 1;
    EXPECT_EQ(got.size(), want.size()) << expectedName;
  }

  platform::TestDir dir_;
  std::string root_;
};

}  // namespace demo_root
