#include "tools/zudavivi/department_split.h"

#include <set>

#include "tools/zudavivi/document_info.h"
#include "tools/zudavivi/spool_reader.h"

namespace zudavivi {
namespace {

constexpr size_t kMaxNameLength = 100;  // as DocumentFileName cuts

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return text;
}

// The device names Windows keeps whatever the extension.
bool ReservedOnWindows(const std::string& name) {
  static const std::set<std::string> kReserved = {
      "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
      "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
  return kReserved.count(Upper(name)) != 0;
}

}  // namespace

std::vector<DepartmentPart> SplitByDepartment(const std::string& spool) {
  std::vector<DepartmentPart> parts;
  SpoolReader reader;
  StartReading(spool, &reader);
  SpoolRecord r;
  std::string error;
  if (NextRecord(&reader, &r, &error) != 1 || r.kind != RecordKind::Device) return parts;
  const std::string device = spool.substr(0, reader.offset);

  DepartmentPart current;
  current.spool = device;
  bool text = false;  // the current part holds a text record
  auto finish = [&](size_t end, size_t begin) {
    current.spool.append(spool, begin, end - begin);
    if (text) parts.push_back(std::move(current));
    current = DepartmentPart();
    current.spool = device;
    text = false;
  };
  size_t begin = reader.offset;  // where the current part's records begin
  for (;;) {
    const size_t at = reader.offset;
    const int got = NextRecord(&reader, &r, &error);
    if (got != 1) {
      finish(at, begin);
      break;
    }
    if (r.kind == RecordKind::Text) text = true;
    if (r.kind != RecordKind::Command || !print::IsDepartmentMark(r.text)) continue;
    finish(at, begin);
    begin = at;
    current.hasFigures = print::ReadDepartmentMark(r.text, &current.figures);
  }
  return parts;
}

std::vector<std::string> PartFileNames(const std::vector<DepartmentPart>& parts,
                                       const std::string& documentName) {
  const std::string plain = documentName.empty() ? "zudavivi" : documentName;
  std::vector<std::string> names;
  std::set<std::string> taken;  // in capitals
  for (const DepartmentPart& part : parts) {
    std::string name;
    if (part.hasFigures) {
      const print::DepartmentFigures& f = part.figures;
      const std::string codes = f.community +
                                (f.community.empty() || f.department.empty() ? "" : "-") +
                                f.department;
      name = DocumentFileName(codes + " " + f.owner);
    }
    if (name.empty()) name = plain;
    if (ReservedOnWindows(name)) name += "_";
    std::string unique = name;
    for (int n = 2; taken.count(Upper(unique)) != 0; ++n) {
      const std::string suffix = "-" + std::to_string(n);
      unique = name.substr(0, kMaxNameLength - suffix.size()) + suffix;
    }
    taken.insert(Upper(unique));
    names.push_back(unique);
  }
  return names;
}

}  // namespace zudavivi
