// The table of a pass's figures, one row per settled department, as CSV
// for the books, spreadsheets and mail merges: written by the report for
// `torbelan --batch ... --figures FILE.csv`, and by the print program as
// the index "index.csv" beside the documents of one department each.
//
// The form is that of `zuldata export` (format/csv_fields.h): UTF-8, a
// header line, "," between fields, amounts in euros with "." and two
// decimals. The columns:
//
//   community        the community code, 4 digits
//   community_name   as printed
//   department       the department number, 4 digits
//   designation      as printed
//   owner            the owner's name as printed
//   carried_over     the balance carried over (RÒSSEC ANTERIOR)
//   expenses         the department's total expenses (TOTAL DESPESES)
//   funds            the funds it paid (TOTAL FONS)
//   balance          the current balance (RÒSSEC ACTUAL)
//   in_favour_of     the words printed with the current balance
//                    ("DEL PROPIETARI", "DE L'ADMINISTRADOR")
// and in the index only:
//   pages            the number of pages of the department's document
//   file             the document's file name, without a folder
//
// The balances carry the owner's sign: above 0 they are owed to the owner
// (printed "A FAVOR DEL PROPIETARI"), below 0 the owner owes them
// ("A FAVOR DE L'ADMINISTRADOR"); 0 is printed in the owner's favour. So
// balance = funds + carried_over - expenses.
//
// No state.
#pragma once

#include <string>

#include "print/department_mark.h"

namespace print {

// The header line of the figures table, ended by LF.
std::string FiguresHeader();

// One department's line of the figures table, ended by LF.
std::string FiguresLine(const DepartmentFigures& figures);

// The header line of the index: the figures' columns, pages and file.
std::string IndexHeader();

// One document's line of the index. `figures` is null for a document that
// no mark describes (a spool without marks): its figure columns are empty.
// `file` is UTF-8.
std::string IndexLine(const DepartmentFigures* figures, long pages, const std::string& file);

}  // namespace print
