#include "print/figures_table.h"

#include <vector>

#include "format/csv_fields.h"
#include "platform/codepage.h"

namespace print {
namespace {

constexpr char kSeparator = ',';
constexpr char kDecimalMark = '.';

const std::vector<std::string>& FigureColumns() {
  static const std::vector<std::string> columns = {
      "community", "community_name", "department", "designation", "owner",
      "carried_over", "expenses", "funds", "balance", "in_favour_of"};
  return columns;
}

std::vector<std::string> FigureFields(const DepartmentFigures& f) {
  auto text = [](const std::string& cp850) { return platform::Cp850ToUtf8(cp850); };
  auto euros = [](int32_t hundredths) { return format::WriteEuros(hundredths, kDecimalMark); };
  return {text(f.community),   text(f.communityName), text(f.department), text(f.designation),
          text(f.owner),       euros(f.carriedOver),  euros(f.expenses),  euros(f.funds),
          euros(f.balance),    text(f.inFavourOf)};
}

}  // namespace

std::string FiguresHeader() { return format::CsvLine(FigureColumns(), kSeparator); }

std::string FiguresLine(const DepartmentFigures& figures) {
  return format::CsvLine(FigureFields(figures), kSeparator);
}

std::string IndexHeader() {
  std::vector<std::string> columns = FigureColumns();
  columns.push_back("pages");
  columns.push_back("file");
  return format::CsvLine(columns, kSeparator);
}

std::string IndexLine(const DepartmentFigures* figures, long pages, const std::string& file) {
  std::vector<std::string> fields = figures != nullptr
                                        ? FigureFields(*figures)
                                        : std::vector<std::string>(FigureColumns().size());
  fields.push_back(std::to_string(pages));
  fields.push_back(file);
  return format::CsvLine(fields, kSeparator);
}

}  // namespace print
