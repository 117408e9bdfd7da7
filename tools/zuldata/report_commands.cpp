#include "tools/zuldata/report_commands.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "report/record_layouts.h"
#include "tools/zuldata/record_csv.h"
#include "tools/zuldata/report_files.h"
#include "tools/zuldata/suite_root.h"

namespace zuldata {
namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "zuldata: %s\n", message.c_str());
  return 1;
}

int Usage(const char* usage) {
  std::fprintf(stderr, "usage: zuldata %s\n", usage);
  return 2;
}

}  // namespace

bool ImportCsv(const std::string& root, const std::string& file, const std::string& csv,
               std::string* error) {
  const report::ReportFileLayout* layout = report::FindLayout(file);
  if (layout == nullptr) {
    *error = "unknown file " + file;
    return false;
  }
  std::vector<CsvRow> rows;
  if (!ParseCsv(csv, &rows, error)) return false;
  if (rows.empty()) {
    *error = "the CSV has no header line";
    return false;
  }
  std::vector<const report::Field*> columns;
  if (!MapHeader(*layout, rows[0], &columns, error)) return false;

  // Every row is checked before anything is stored.
  std::vector<std::string> records;
  for (size_t i = 1; i < rows.size(); ++i) {
    std::string record;
    if (!RowToRecord(*layout, columns, rows[i], &record, error)) return false;
    records.push_back(record);
  }
  ReportFile data;
  if (!data.Open(root, file, error)) return false;
  size_t failed = 0;
  if (!data.InsertAll(records, error, &failed)) {
    if (failed < records.size())
      *error = "line " + std::to_string(rows[failed + 1].line) + ": " + *error;
    return false;
  }
  return true;
}

int ImportCommand(const std::vector<std::string>& args) {
  if (args.size() != 3) return Usage("import ROOT FILE CSV");
  std::string csv;
  if (!platform::ReadFile(args[2], &csv)) return Fail("cannot read " + args[2]);
  std::string error;
  if (!ImportCsv(args[0], args[1], csv, &error))
    return Fail(args[2] + ": " + error + "; nothing imported");
  return 0;
}

int ExportCommand(const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage("export ROOT FILE");
  const report::ReportFileLayout* layout = report::FindLayout(args[1]);
  if (layout == nullptr) return Fail("unknown file " + args[1]);
  std::string error;
  std::string path = platform::SuitePath(args[0] + "/DADES/" + args[1] + ".dat");
  if (!platform::PathExists(path)) return Fail("no file " + path);
  ReportFile data;
  std::vector<std::string> records;
  if (!data.Open(args[0], args[1], &error) || !data.ReadAll(&records, &error)) return Fail(error);
  std::string out = CsvLine(HeaderFields(*layout));
  for (const std::string& r : records) out += CsvLine(RecordToFields(*layout, r));
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::ferror(stdout) ? 1 : 0;
}

int DemoCommand(const std::vector<std::string>& args) {
  SuiteOptions options;
  std::string root;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--suite" && i + 1 < args.size()) options.suiteDir = args[++i];
    else if (args[i] == "--zudavivi" && i + 1 < args.size()) options.zudavivi = args[++i];
    else if (root.empty() && args[i].compare(0, 2, "--") != 0) root = args[i];
    else return Usage("demo ROOT [--suite DIR] [--zudavivi PATH]");
  }
  if (root.empty()) return Usage("demo ROOT [--suite DIR] [--zudavivi PATH]");
  // The demo records would meet themselves: a root is laid down once.
  for (const report::ReportFileLayout& layout : report::kLayouts)
    if (platform::PathExists(platform::SuitePath(root + "/DADES/" + layout.name + ".dat")))
      return Fail(root + "/DADES already holds " + layout.name +
                  "; demo wants a fresh root (remove it first)");
  std::string error;
  if (!LayDownSuite(root, options, &error)) return Fail(error);
  for (const report::ReportFileLayout& layout : report::kLayouts) {
    std::string csvPath = options.suiteDir + "/data/" + layout.name + ".csv";
    std::string csv;
    if (!platform::ReadFile(csvPath, &csv)) return Fail("cannot read " + csvPath);
    if (!ImportCsv(root, layout.name, csv, &error)) return Fail(csvPath + ": " + error);
  }
  std::printf("demo suite root ready at %s\n", root.c_str());
  return 0;
}

}  // namespace zuldata
