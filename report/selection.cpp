#include "report/selection.h"

#include "config/language.h"
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

namespace {

// Accented letters are code page 850 bytes: 0x80 "Ç", 0x90 "É", 0xB5 "Á",
// 0xB7 "À", 0xD4 "È", 0xE0 "Ó", 0xE3 "Ò", 0xE9 "Ú"; a hex-digit letter
// after one starts a literal of its own.
std::string NotADateMessage(const std::string& date) {
  return config::ByLanguage("DATA DE LIQUIDACI\xE0 NO V\xB7LIDA: ",
                            "DATA DE LIQUIDA\x80OM NOM V\xB5LIDA: ",
                            "DATA DE LIQUIDACION NON VALIDA: ",
                            "FECHA DE LIQUIDACI\xE0N NO V\xB5LIDA: ") +
         date;
}

std::string FirstAfterLastMessage(const std::string& first, const std::string& last) {
  return config::ByLanguage("EL PRIMER DEPARTAMENT ", "O PRIMEIRO DEPARTAMENTO ",
                            "ETH PRUM\x90R DEPARTAMENT ", "EL PRIMER DEPARTAMENTO ") +
         first +
         config::ByLanguage(" VA DESPR\x90S DE L'\xE9LTIM ", " VAI DEPOIS DO \xE9LTIMO ",
                            " VA DESPUS DETH DARR\xD4R ", " VA DESPU\x90S DEL \xE9LTIMO ") +
         last;
}

}  // namespace

std::string NotADepartmentMessage(const std::string& code) {
  return config::ByLanguage("NO \x90S UN CODI COMUNITAT.DEPARTAMENT: ",
                            "NOM \x90 UM C\xE0" "DIGO COMUNIDADE.DEPARTAMENTO: ",
                            "NON EI UN C\xE3" "DI COMUNITAT.DEPARTAMENT: ",
                            "NO ES UN C\xE0" "DIGO COMUNIDAD.DEPARTAMENTO: ") +
         (code.empty() ? std::string("\"\"") : code);
}

std::string SelectionMessage(SelectionStatus status, const std::string& first,
                             const std::string& last) {
  switch (status) {
    case SelectionStatus::kOk:
      return "";
    case SelectionStatus::kFirstAfterLast:
      return FirstAfterLastMessage(first, last);
    case SelectionStatus::kNotADepartment:
      break;
  }
  return NotADepartmentMessage(first);
}

bool SetSelection(const std::string& date, const std::string& first, const std::string& last,
                  std::string* message) {
  if (dates::DateInvalid(date) != 0) {
    *message = NotADateMessage(date);
    return false;
  }
  for (const std::string* code : {&first, &last}) {
    if (!IsDepartmentCode(*code)) {
      *message = NotADepartmentMessage(*code);
      return false;
    }
  }
  SelectionStatus status = BuildSelection(date, first, last);
  *message = SelectionMessage(status, first, last);
  return status == SelectionStatus::kOk;
}

}  // namespace report
