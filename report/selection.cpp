#include "report/selection.h"

#include "dates/date_math.h"
#include "dates/packed.h"
#include "format/dotted_code.h"
#include "report/report_state.h"

namespace report {
namespace {

// Digits and exactly one "." between two runs of one to four digits.
bool IsDepartmentCode(const std::string& s) {
  size_t dot = s.find('.');
  if (dot == std::string::npos || s.find('.', dot + 1) != std::string::npos) return false;
  auto digits = [](const std::string& part) {
    if (part.empty() || part.size() > 4) return false;
    for (char c : part)
      if (c < '0' || c > '9') return false;
    return true;
  };
  return digits(s.substr(0, dot)) && digits(s.substr(dot + 1));
}

// The packed department key of a "community.department" text. A blank
// department leaves the packed code without its second group (the code
// rule drops blank groups at the end); it counts as department 0, so that
// the key keeps its four bytes.
std::string DepartmentKey(const std::string& code) {
  std::string key = format::PackCode(code);
  if (key.size() == 2) key += dates::Pack("0000");
  return key;
}

}  // namespace

SelectionStatus BuildSelection(const std::string& date, const std::string& first,
                               const std::string& last) {
  std::string firstKey = DepartmentKey(first);
  std::string lastKey = DepartmentKey(last);
  if (firstKey.size() != 4 || lastKey.size() != 4) return SelectionStatus::kNotADepartment;
  if (firstKey > lastKey) return SelectionStatus::kFirstAfterLast;
  state.SelectionDate = dates::ParseDate(date);
  state.FirstKey = firstKey;
  state.LastKey = lastKey;
  return SelectionStatus::kOk;
}

bool SetSelection(const std::string& date, const std::string& first, const std::string& last,
                  std::string* message) {
  if (dates::DateInvalid(date) != 0) {
    *message = "not a valid settlement date: " + date;
    return false;
  }
  for (const std::string* code : {&first, &last}) {
    if (!IsDepartmentCode(*code)) {
      *message = "not a department code community.department: " + *code;
      return false;
    }
  }
  switch (BuildSelection(date, first, last)) {
    case SelectionStatus::kOk:
      return true;
    case SelectionStatus::kFirstAfterLast:
      *message = "the first department " + first + " comes after the last " + last;
      return false;
    case SelectionStatus::kNotADepartment:
      break;
  }
  *message = "not a department code community.department";
  return false;
}

}  // namespace report
