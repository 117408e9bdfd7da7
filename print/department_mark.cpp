#include "print/department_mark.h"

#include <charconv>
#include <cstring>
#include <vector>

namespace print {
namespace {

constexpr size_t kFields = 10;

std::string Printable(std::string text) {
  for (char& c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 32 || u == 127 || u == 255) c = ' ';
  }
  return text;
}

bool ReadAmount(const std::string& text, int32_t* value) {
  const char* first = text.data();
  const char* last = first + text.size();
  auto [end, error] = std::from_chars(first, last, *value);
  return error == std::errc() && end == last && first != last;
}

}  // namespace

std::string DepartmentMark(const DepartmentFigures& f) {
  const std::string sep(1, kMarkSeparator);
  return kDepartmentCommand + Printable(f.community) + sep + Printable(f.communityName) + sep +
         Printable(f.department) + sep + Printable(f.designation) + sep + Printable(f.owner) +
         sep + std::to_string(f.carriedOver) + sep + std::to_string(f.expenses) + sep +
         std::to_string(f.funds) + sep + std::to_string(f.balance) + sep +
         Printable(f.inFavourOf);
}

bool IsDepartmentMark(const std::string& command) {
  return command.compare(0, std::strlen(kDepartmentCommand), kDepartmentCommand) == 0;
}

bool ReadDepartmentMark(const std::string& command, DepartmentFigures* figures) {
  *figures = DepartmentFigures();
  if (!IsDepartmentMark(command)) return false;
  std::vector<std::string> fields;
  size_t at = std::strlen(kDepartmentCommand);
  for (;;) {
    size_t end = command.find(kMarkSeparator, at);
    fields.push_back(command.substr(at, end == std::string::npos ? end : end - at));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  if (fields.size() < kFields) return false;
  DepartmentFigures f;
  f.community = fields[0];
  f.communityName = fields[1];
  f.department = fields[2];
  f.designation = fields[3];
  f.owner = fields[4];
  f.inFavourOf = fields[9];
  if (!ReadAmount(fields[5], &f.carriedOver) || !ReadAmount(fields[6], &f.expenses) ||
      !ReadAmount(fields[7], &f.funds) || !ReadAmount(fields[8], &f.balance))
    return false;
  *figures = f;
  return true;
}

}  // namespace print
