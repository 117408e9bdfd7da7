// zuldata: the data tool that stands in for the suite's other programs.
// Dispatches to the command functions of commands.h; each command group
// lives in its own source file.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/version.h"
#include "tools/zuldata/commands.h"
#include "tools/zuldata/report_commands.h"

namespace {

struct Command {
  const char* name;
  int (*run)(const zuldata::Args&);
  const char* usage;
};

const Command kCommands[] = {
    {"xdf", zuldata::CmdXdf, "xdf DESCRIPTION OUT.xdf      build a creation layout file"},
    {"create", zuldata::CmdCreate,
     "create PATH XDF [--owner NAME [--owner-mode M]] [--replace]   create a data file"},
    {"dump", zuldata::CmdDump, "dump PATH [--key N] [--owner NAME]   records in key order"},
    {"check", zuldata::CmdCheck, "check PATH                   integrity of a data file"},
    {"import", zuldata::ImportCommand,
     "import ROOT [FILE] CSV [--update | --replace] [--allow-identical]"
     "   add (or replace) CSV rows in a report file"},
    {"export", zuldata::ExportCommand, "export ROOT FILE [--semicolon]   a report file as CSV"},
    {"demo", zuldata::DemoCommand,
     "demo ROOT [--suite DIR] [--zudavivi PATH] [--connexio STRING [--esquema NAME]]"
     "   lay down the demo suite"},
    {"generate", zuldata::GenerateCommand,
     "generate ROOT --communities N --departments M [--seed S] [--connexio STRING"
     " [--esquema NAME]]   benchmark data"},
    {"copy", zuldata::CopyCommand, "copy FROM_ROOT TO_ROOT       the report's files into another root"},
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: zuldata COMMAND ARGS...\n       zuldata --help | --version\n");
  for (const Command& c : kCommands) std::fprintf(out, "  zuldata %s\n", c.usage);
  std::fprintf(out, "Exit codes: 0 done, 1 the command failed, 2 arguments that cannot be read.\n"
                    "Commands and the CSV format: tools/zuldata/README.md; man zuldata.\n");
}

int Usage() {
  PrintUsage(stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    PrintUsage(stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("zuldata %s\n", platform::kVersion);
    return 0;
  }
  zuldata::Args args(argv + 2, argv + argc);
  for (const Command& c : kCommands)
    if (std::strcmp(argv[1], c.name) == 0) return c.run(args);
  std::fprintf(stderr, "zuldata: unknown command \"%s\"\n", argv[1]);
  return Usage();
}
