// The department mark: the device command with which the report begins the
// settlement of each department in the spool, and the figures it carries.
// The report writes it (right before the department's first page-length
// record); the print program splits the spool at it for the devices that
// make one document per department (print/device_name.h) and lists the
// figures in the documents' index. Every other device passes it over, as
// any device command it does not know, so a spool with marks prints whole
// everywhere, and a spool without them makes one document.
//
// The record: "*" + "@DEPARTAMENT " + ten fields separated by TAB (0x09),
// code page 850, in this order:
//
//    1  community       the community code, 4 digits ("0001")
//    2  community name  as printed (the display form of the stored name)
//    3  department      the department number, 4 digits ("0003")
//    4  designation     as printed ("1r 1a")
//    5  owner           the owner's name as printed ("JOAN PUJOL I FERRER")
//    6  carried over    the balance carried over, in hundredths
//    7  expenses        the department's total expenses, in hundredths
//    8  funds           the funds it paid, in hundredths
//    9  balance         the current balance, in hundredths
//   10  in favour of    the words printed after "RÒSSEC ACTUAL A FAVOR ",
//                       in the session's language ("DEL PROPIETARI")
//
// Amounts are decimal integers with "-" for negative ones. The balances
// are the owner's: above 0 the administrator owes them to the owner, below
// 0 the owner owes them. Control characters (0-31, 127, 255) of the texts
// become spaces, as they print, so no field holds a TAB.
//
// Compatibility: the command name, the order of the fields and their
// separator are read by print programs installed apart from the report;
// fields may be added at the end only.
//
// No state.
#pragma once

#include <cstdint>
#include <string>

namespace print {

inline constexpr char kDepartmentCommand[] = "@DEPARTAMENT ";  // "*" + this + fields
inline constexpr char kMarkSeparator = '\t';

struct DepartmentFigures {
  std::string community;      // 4 digits
  std::string communityName;  // code page 850, as printed
  std::string department;     // 4 digits
  std::string designation;    // code page 850, as printed
  std::string owner;          // code page 850, as printed
  int32_t carriedOver = 0;    // hundredths; the owner's balance
  int32_t expenses = 0;
  int32_t funds = 0;
  int32_t balance = 0;        // hundredths; > 0 owed to the owner
  std::string inFavourOf;     // code page 850
};

// The command text of the mark, without the leading "*" (what PrintCommand
// takes).
std::string DepartmentMark(const DepartmentFigures& figures);

// True when a device command's text (without "*") is a department mark.
bool IsDepartmentMark(const std::string& command);

// Reads a mark's figures. Returns false, with *figures emptied, for a text
// that is not a mark or whose fields are not as above (fewer than ten, an
// amount that is not an int32); more fields than ten are passed over.
bool ReadDepartmentMark(const std::string& command, DepartmentFigures* figures);

}  // namespace print
