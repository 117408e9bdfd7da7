// The figures of each settled department, as its printout shows them: the
// department mark that begins its settlement in the spool (the print
// program splits the spool there and lists the figures in the index of its
// documents, print/department_mark.h), and the table of a pass's figures
// that `torbelan --batch ... --figures FILE.csv` writes for the books
// (print/figures_table.h). Both are made from the values the printout
// prints, at the moment the department's settlement begins, so the table,
// the index and the pages always agree.
//
// Amounts are in euros (hundredths of the base currency) whatever currency
// the printout is shown in.
//
// State: reads report::state (the community and department in the record
// buffers, the department's computed figures); MarkDepartment adds to
// state.Figures.
#pragma once

#include <string>

#include "print/department_mark.h"

namespace report {

// The figures of the department in the PropietH buffer, of the community in
// the FinquesH buffer, from its computed carried-over balance
// (DeptAmount[0]), total expenses, funds and current balance.
print::DepartmentFigures CurrentFigures();

// Writes the department mark of CurrentFigures into the open spool and
// keeps the figures in state.Figures. Called once per department, after
// its figures are computed and before its first page.
void MarkDepartment();

// Writes the table of state.Figures to the native path: a header line and
// one line per department, replacing an older file in one step. Returns
// false when it cannot be written (an older file is then left as it was).
bool WriteFiguresFile(const std::string& nativePath);

}  // namespace report
