#include "tools/zuldata/report_commands.h"

#include <cstdio>
#include <iostream>
#include <algorithm>
#include <map>
#include <set>

#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/file_tree.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "recman/btrcall.h"
#include "recman/key_layout.h"
#include "report/record_layouts.h"
#include "tools/zuldata/csv_text.h"
#include "tools/zuldata/record_csv.h"
#include "tools/zuldata/report_files.h"
#include "tools/zuldata/status_text.h"
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

// " (the report's files: TDespesa, ...)", for messages.
std::string KnownFiles() {
  std::string names;
  for (const report::ReportFileLayout& l : report::kLayouts)
    names += std::string(names.empty() ? "" : ", ") + l.name;
  return " (the report's files: " + names + ")";
}

// The file a CSV's name names: its last component without the extension
// (".../finquesh.CSV" -> "finquesh").
std::string FileOfCsvName(const std::string& path) {
  std::string base = path.substr(path.find_last_of('/') + 1);
  size_t dot = base.rfind('.');
  return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

// The CSV of a file in a folder: NAME.csv, or the entry whose name is that
// without regard to case; NAME.csv when there is none (the caller's read
// fails and names it).
std::string CsvFileIn(const std::string& dir, const std::string& name) {
  const std::string wanted = name + ".csv";
  const std::string found = platform::FindNoCase(dir, wanted);
  return dir + "/" + (found.empty() ? wanted : found);
}

// The field whose first two bytes name a record's community, in the files
// without a unique key (whose records --replace replaces by community):
// PagamH's community, CobramH's department key (community code first).
// nullptr for the other files.
const report::Field* CommunityField(const report::ReportFileLayout& layout) {
  if (SameNameIgnoringCase(layout.name, "PagamH")) return &report::pagam::kCode;
  if (SameNameIgnoringCase(layout.name, "CobramH")) return &report::cobram::kKey;
  return nullptr;
}

// The records that are byte for byte one of `stored`: how many, and the
// line of the first ("" when none).
std::string IdenticalRows(const std::vector<std::string>& records, const std::vector<int>& lines,
                          const std::vector<std::string>& stored, size_t* count) {
  const std::set<std::string> have(stored.begin(), stored.end());
  std::string first;
  *count = 0;
  for (size_t i = 0; i < records.size(); ++i) {
    if (have.count(records[i]) == 0) continue;
    if (first.empty()) first = std::to_string(lines[i]);
    ++*count;
  }
  return first;
}

}  // namespace

bool ImportCsv(const std::string& root, const std::string& file, const std::string& csv,
               std::string* error) {
  ImportCounts counts;
  return ImportCsv(root, file, csv, ImportOptions(), &counts, error);
}

bool ImportCsv(const std::string& root, const std::string& file, const std::string& bytes,
               const ImportOptions& options, ImportCounts* counts, std::string* error) {
  *counts = ImportCounts();
  const report::ReportFileLayout* layout = LayoutNamed(file);
  if (layout == nullptr) {
    *error = "unknown file " + file + KnownFiles();
    return false;
  }
  std::string csv;
  if (!CheckCsvText(bytes, &csv, error)) return false;
  const char separator = CsvSeparator(&csv);
  std::vector<CsvRow> rows;
  if (!ParseCsv(csv, &rows, error, separator)) return false;
  DropEmptyColumns(&rows);
  if (rows.empty()) {
    *error = "the CSV has no header line";
    return false;
  }
  std::vector<const report::Field*> columns;
  if (!MapHeader(*layout, rows[0], &columns, error)) return false;

  // Every row is checked before anything is stored. A row without a value
  // in any field (spreadsheets leave such rows after the data) is none.
  std::vector<std::string> records;
  std::vector<int> lines;  // the line each record comes from
  for (size_t i = 1; i < rows.size(); ++i) {
    bool empty = true;
    for (const std::string& f : rows[i].fields)
      if (f.find_first_not_of(" \t") != std::string::npos) empty = false;
    if (empty) continue;
    std::string record;
    if (!RowToRecord(*layout, columns, rows[i], &record, error, separator)) return false;
    records.push_back(record);
    lines.push_back(rows[i].line);
  }
  ReportFile data;
  if (!data.Open(root, layout->name, error)) return false;
  recman::FileLayout fileLayout;
  if (!data.Layout(&fileLayout, error)) return false;
  int unique = -1;
  for (size_t k = 0; k < fileLayout.keys.size() && unique < 0; ++k)
    if (!fileLayout.keys[k].duplicates) unique = int(k);
  const std::string name = layout->name;
  if (options.update && options.replace) {
    *error = "--update and --replace do not go together";
    return false;
  }
  if (options.update && unique < 0) {
    *error = name +
             " has no unique key, so --update cannot tell which records are already there; "
             "--replace replaces the records of the CSV's communities with its rows";
    return false;
  }
  const report::Field* community = CommunityField(*layout);
  if (options.replace && unique >= 0) {
    *error = name + " has a unique key: --update replaces its records by that key";
    return false;
  }
  if (options.replace && community == nullptr) {
    *error = name + "'s records name no community, so --replace cannot tell which ones the "
             "CSV covers";
    return false;
  }
  // The bytes the header gives: on --update they are written over the
  // record already there, and the rest of it (fields left out, bytes no
  // field names, which other programs of the suite may use) stays.
  std::string given(layout->recordLength, '\0');
  for (const report::Field* f : columns) given.replace(f->offset, f->width, f->width, '\1');
  if (options.replace && given.substr(community->offset, 2) != "\1\1") {
    *error = "--replace needs the column " + std::string(community->name) +
             " (the community) in the header";
    return false;
  }
  if (options.update) {
    for (const recman::Segment& seg : fileLayout.keys[unique].segments) {
      if (given.find('\0', seg.offset) < size_t(seg.offset) + seg.length) {
        *error = "--update needs the columns of " + std::string(layout->name) +
                 "'s unique key (key " + std::to_string(unique) + ") in the header";
        return false;
      }
    }
  }
  // Two rows with the same unique key: the second would replace the first
  // (or be refused), which is never what the file meant.
  if (unique >= 0) {
    std::map<std::string, int> lineOfKey;
    for (size_t i = 0; i < records.size(); ++i) {
      std::string image;
      if (records[i].size() < fileLayout.recordLength ||
          !recman::RecordKeyImage(fileLayout, unique,
                                  reinterpret_cast<const uint8_t*>(records[i].data()), &image))
        continue;
      auto placed = lineOfKey.emplace(image, lines[i]);
      if (!placed.second) {
        *error = "line " + std::to_string(lines[i]) + ": the same key as line " +
                 std::to_string(placed.first->second) + " (key " + std::to_string(unique) +
                 " of " + layout->name + " is unique)";
        return false;
      }
    }
  }
  // In a file without a unique key nothing refuses a record that is there
  // already: an export imported back would store every record twice.
  if (unique < 0 && !options.replace && !options.allowIdentical && !records.empty()) {
    std::vector<std::string> stored;
    if (!data.ReadAll(&stored, error)) return false;
    size_t same = 0;
    const std::string first = IdenticalRows(records, lines, stored, &same);
    if (same > 0) {
      *error = "line " + first +
               (same == 1 ? " is" : " and " + std::to_string(same - 1) + " more rows are") +
               " identical to records already in " + name +
               ", which would then hold them twice; --replace replaces the records of the "
               "CSV's communities with its rows, --allow-identical adds them all the same";
      return false;
    }
  }
  std::vector<std::string> deleteCodes;
  if (options.replace) {
    for (const std::string& r : records) {
      const std::string code = r.substr(community->offset, 2);
      if (std::find(deleteCodes.begin(), deleteCodes.end(), code) == deleteCodes.end())
        deleteCodes.push_back(code);
    }
  }
  size_t failed = 0;
  ReportFile::StoreCounts stored;
  if (!data.StoreAll(records, options.update ? unique : -1, given, deleteCodes, &stored, error,
                     &failed)) {
    if (failed < records.size())
      *error = "line " + std::to_string(lines[failed]) + ": " + *error;
    return false;
  }
  counts->inserted = stored.inserted;
  counts->replaced = stored.replaced;
  counts->deleted = stored.deleted;
  return true;
}

int ImportCommand(const std::vector<std::string>& args) {
  const char* usage = "import ROOT [FILE] CSV [--update | --replace] [--allow-identical]";
  ImportOptions options;
  std::vector<std::string> positional;
  for (const std::string& a : args) {
    if (a == "--update") options.update = true;
    else if (a == "--replace") options.replace = true;
    else if (a == "--allow-identical") options.allowIdentical = true;
    else if (a.compare(0, 2, "--") == 0) return Usage(usage);
    else positional.push_back(a);
  }
  if ((positional.size() != 2 && positional.size() != 3) || (options.update && options.replace))
    return Usage(usage);
  const std::string& root = positional[0];
  const std::string& csvPath = positional.back();
  std::string file = positional.size() == 3 ? positional[1] : FileOfCsvName(csvPath);
  if (LayoutNamed(file) == nullptr) {
    if (positional.size() == 3) return Fail("unknown file " + file + KnownFiles());
    return Fail("the name " + csvPath + " names none of the report's files; give the file: " +
                "zuldata " + usage + KnownFiles());
  }
  std::string csv;
  if (!platform::ReadFile(csvPath, &csv)) return Fail("cannot read " + csvPath);
  std::string error;
  ImportCounts counts;
  if (!ImportCsv(root, file, csv, options, &counts, &error))
    return Fail(csvPath + ": " + error + "; nothing imported");
  std::printf("%s: %zu inserted, %zu replaced%s\n", LayoutNamed(file)->name, counts.inserted,
              counts.replaced,
              options.replace ? (", " + std::to_string(counts.deleted) + " deleted").c_str()
                              : "");
  return 0;
}

int ExportCommand(const std::vector<std::string>& args) {
  const char* usage = "export ROOT FILE [--semicolon]";
  char separator = ',', decimalMark = '.';
  std::vector<std::string> positional;
  for (const std::string& a : args) {
    if (a == "--semicolon") {
      separator = ';';
      decimalMark = ',';
    } else if (a.compare(0, 2, "--") == 0) {
      return Usage(usage);
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) return Usage(usage);
  const report::ReportFileLayout* layout = LayoutNamed(positional[1]);
  if (layout == nullptr) return Fail("unknown file " + positional[1] + KnownFiles());
  std::string error;
  std::string path = platform::SuitePath(positional[0] + "/DADES/" + layout->name + ".dat");
  int16_t found = DataFileStatus(positional[0], layout->name);
  if (found == recman::B_FILE_NOT_FOUND) return Fail("no file " + path);
  if (found != recman::B_OK) return Fail("cannot open " + path + ": " + StatusText(found, path));
  ReportFile data;
  std::vector<std::string> records;
  if (!data.Open(positional[0], layout->name, &error) || !data.ReadAll(&records, &error))
    return Fail(error);
  std::string out = CsvLine(HeaderFields(*layout), separator);
  for (const std::string& r : records)
    out += CsvLine(RecordToFields(*layout, r, decimalMark), separator);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::ferror(stdout) ? 1 : 0;
}

int DemoCommand(const std::vector<std::string>& args) {
  const char* usage =
      "demo ROOT [--suite DIR] [--zudavivi PATH] [--connexio STRING [--esquema NAME]]";
  SuiteOptions options;
  std::string root;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--suite" && i + 1 < args.size()) options.suiteDir = args[++i];
    else if (args[i] == "--zudavivi" && i + 1 < args.size()) options.zudavivi = args[++i];
    else if (ServerOption(args, &i, &options)) continue;
    else if (root.empty() && args[i].compare(0, 2, "--") != 0) root = args[i];
    else return Usage(usage);
  }
  if (root.empty()) return Usage(usage);
  // The demo records would meet themselves: a root is laid down once. The
  // files are looked for where the root's setting keeps them, before and
  // after the setting is laid down.
  auto holdsData = [&]() -> int {
    for (const report::ReportFileLayout& layout : report::kLayouts)
      if (DataFileExists(root, layout.name))
        return Fail(root + "/DADES already holds " + layout.name +
                    "; demo wants a fresh root (remove it first)");
    return 0;
  };
  if (holdsData() != 0) return 1;
  // A demo that fails half-way takes back what it laid down: a root it made
  // goes whole, a root that was there keeps what it held before.
  const bool existed = platform::PathExists(root);
  const std::vector<std::string> before = platform::ListTree(root);
  auto layDown = [&]() -> int {
    std::string error;
    if (!LayDownSuite(root, options, &error)) return Fail(error);
    if (holdsData() != 0) return 1;
    for (const report::ReportFileLayout& layout : report::kLayouts) {
      std::string csvPath = CsvFileIn(options.suiteDir + "/data", layout.name);
      std::string csv;
      if (!platform::ReadFile(csvPath, &csv)) return Fail("cannot read " + csvPath);
      if (!ImportCsv(root, layout.name, csv, &error)) return Fail(csvPath + ": " + error);
    }
    return 0;
  };
  if (layDown() != 0) {
    if (!existed) {
      platform::RemoveTree(root);
    } else {
      const std::set<std::string> held(before.begin(), before.end());
      for (const std::string& entry : platform::ListTree(root))
        if (held.count(entry) == 0) platform::RemoveTree(root + "/" + entry);
    }
    return 1;
  }
  std::printf("demo suite root ready at %s\n", root.c_str());
  return 0;
}

int CopyCommand(const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage("copy FROM_ROOT TO_ROOT");
  std::string error;
  // A root whose files cannot be looked for (an unreachable server) stops
  // the copy: taken for empty, it would be copied as nothing.
  auto lookFor = [](const std::string& root, const char* name, int16_t* found) {
    *found = DataFileStatus(root, name);
    if (*found == recman::B_OK || *found == recman::B_FILE_NOT_FOUND) return 0;
    std::string path = platform::SuitePath(root + "/DADES/" + name + ".dat");
    return Fail("cannot open " + path + ": " + StatusText(*found, path));
  };
  int16_t found = 0;
  for (const report::ReportFileLayout& layout : report::kLayouts) {
    if (lookFor(args[1], layout.name, &found) != 0) return 1;
    if (found == recman::B_OK)
      return Fail(args[1] + "/DADES already holds " + layout.name +
                  "; copy wants a root without the report's files");
  }
  size_t total = 0;
  for (const report::ReportFileLayout& layout : report::kLayouts) {
    if (lookFor(args[0], layout.name, &found) != 0) return 1;
    if (found == recman::B_FILE_NOT_FOUND) continue;
    ReportFile from, to;
    std::vector<std::string> records;
    size_t failed = 0;
    if (!from.Open(args[0], layout.name, &error) || !from.ReadAll(&records, &error) ||
        !to.Open(args[1], layout.name, &error) || !to.InsertAll(records, &error, &failed))
      return Fail(error);
    total += records.size();
  }
  std::printf("copied %zu records from %s to %s\n", total, args[0].c_str(), args[1].c_str());
  return 0;
}

}  // namespace zuldata
