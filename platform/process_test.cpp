#include "platform/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/test_dir.h"

namespace platform {
namespace {

// Polls for a file for up to ten seconds; its contents, or "" when it never
// came.
std::string AwaitFile(const std::string& path) {
  for (int i = 0; i < 200; ++i) {
    std::string bytes;
    if (ReadFile(path, &bytes)) return bytes;
    usleep(50 * 1000);
  }
  return "";
}

TEST(StartProgramTest, ReturnsWhileTheProgramStillRunsAndPassesItsArguments) {
  TestDir dir;
  // The program goes on only once the test has created "go", which it can
  // do only after StartProgram returned: a start that waited would find no
  // "go" for ten seconds and leave no "out".
  const std::string script = dir.file("launcher");
  ASSERT_TRUE(WriteFile(script,
                        "#!/bin/sh\n"
                        "i=0\n"
                        "while [ ! -e '" + dir.file("go") + "' ] && [ $i -lt 100 ]; do\n"
                        "  sleep 0.1; i=$((i+1))\n"
                        "done\n"
                        "[ -e '" + dir.file("go") + "' ] && printf '%s|' \"$@\" > '" +
                            dir.file("out.tmp") + "' && mv '" + dir.file("out.tmp") + "' '" +
                            dir.file("out") + "'\n"));
  ASSERT_EQ(chmod(script.c_str(), 0755), 0);
  ASSERT_TRUE(StartProgram(script, {"/C", "QOVIRE", "AJUDA\\X.HTM"}));
  ASSERT_TRUE(WriteFile(dir.file("go"), ""));
  EXPECT_EQ(AwaitFile(dir.file("out")), "/C|QOVIRE|AJUDA\\X.HTM|");
}

TEST(StartProgramTest, AProgramThatCannotStartIsReportedAsNotStarted) {
  TestDir dir;
  EXPECT_FALSE(StartProgram(dir.file("missing"), {}));
  ASSERT_TRUE(WriteFile(dir.file("plain"), "not a program\n"));  // not executable
  EXPECT_FALSE(StartProgram(dir.file("plain"), {}));
  // Executable, but no exec format the system knows: the exec fails.
  ASSERT_TRUE(WriteFile(dir.file("garbage"), std::string("\x7f" "ELF garbage", 12)));
  ASSERT_EQ(chmod(dir.file("garbage").c_str(), 0755), 0);
  EXPECT_FALSE(StartProgram(dir.file("garbage"), {}));
}

TEST(RunSystemProgramTest, FindsProgramsAlongThePathAndTellsWhyOneCannotStart) {
  struct Case {
    const char* program;
    std::vector<std::string> args;
    int code;
    int startError;
  } cases[] = {
      {"true", {}, 0, 0},
      {"sh", {"-c", "exit 7"}, 7, 0},
      {"sh", {"-c", "kill -TERM $$"}, 128 + 15, 0},
      {"zul-no-such-program", {}, -1, ENOENT},
  };
  for (const Case& c : cases) {
    int startError = 0;
    EXPECT_EQ(RunSystemProgram(c.program, c.args, &startError), c.code) << c.program;
    EXPECT_EQ(startError, c.startError) << c.program;
  }
}

TEST(SplitCommandLineTest, BlanksSeparateWordsAndQuotesKeepThem) {
  using W = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine("   "), W{});
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\sh.exe\"  /C  x"),
            (W{"C:\\Program Files\\sh.exe", "/C", "x"}));
  EXPECT_EQ(SplitCommandLine("a\"\"b \"\""), (W{"ab", ""}));
}

}  // namespace
}  // namespace platform
