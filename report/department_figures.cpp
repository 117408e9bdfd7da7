#include "report/department_figures.h"

#include "config/catalogue.h"
#include "dates/packed.h"
#include "format/text_utils.h"
#include "platform/files.h"
#include "print/figures_table.h"
#include "print/spool.h"
#include "report/captions.h"
#include "report/record_layouts.h"
#include "report/report_state.h"

namespace report {

print::DepartmentFigures CurrentFigures() {
  const char* f = state.FinquesH.data();
  const char* p = state.PropietH.data();
  print::DepartmentFigures figures;
  figures.community = dates::Unpack(GetBytes(f, finques::kCode));
  figures.communityName = format::NameOrder(GetBytes(f, finques::kName));
  figures.department = dates::Unpack(std::string(p + 2, 2));
  figures.designation = format::TrimTrailingBlanks(GetBytes(p, propiet::kDesignation));
  figures.owner = format::NameOrder(GetBytes(p, propiet::kOwner));
  figures.carriedOver = state.DeptAmount[0];
  figures.expenses = state.TotalExpenses;
  figures.funds = state.Funds;
  figures.balance = state.CurrentBalance;
  // The words the summary prints after "RÒSSEC ACTUAL A FAVOR ".
  figures.inFavourOf = config::Translate(state.CurrentBalance < 0 ? caption::kOfAdministrator
                                                                  : caption::kOfOwner);
  return figures;
}

void MarkDepartment() {
  print::DepartmentFigures figures = CurrentFigures();
  print::PrintCommand(print::DepartmentMark(figures));
  state.Figures.push_back(std::move(figures));
}

bool WriteFiguresFile(const std::string& nativePath) {
  std::string table = print::FiguresHeader();
  for (const print::DepartmentFigures& figures : state.Figures)
    table += print::FiguresLine(figures);
  return platform::WriteFile(nativePath, table);
}

}  // namespace report
