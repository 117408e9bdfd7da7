// The selection of a report pass: the settlement date and the range of
// departments, as the selection form's exit check and `torbelan --batch`
// both build it, through the one routine BuildSelection, so that the two
// can never read the same input differently.
//
// The results live in report::state (report_state.h): SelectionDate (a
// packed date), FirstKey and LastKey (packed community + department
// codes, 4 bytes each), read by the settlement (settlement.h).
#pragma once

#include <string>

namespace report {

enum class SelectionStatus {
  kOk,
  kFirstAfterLast,   // the first department comes after the last
  kNotADepartment,   // a code does not pack to community + department
};

// Builds the selection from the settlement date as typed in the date field
// and the first and last departments as "community.department" texts, each
// part as a number field holds it (digits, blanks around them: "1   .0  ").
// A department part left blank counts as 0. On kOk sets the three results;
// otherwise changes nothing. The date is not checked here (the date field
// and SetSelection check it).
SelectionStatus BuildSelection(const std::string& date, const std::string& first,
                               const std::string& last);

// Reads a selection typed on the command line: the settlement date as typed
// in the date field ("31/12/2026", "311226") and the first and last
// departments as dotted codes "community.department" (digits only, at most
// four per part). Sets the results through BuildSelection and returns true;
// returns false with the operator's message (in the session's language,
// code page 850), changing nothing, when the date is not
// valid, a code is not a dotted digit code, or the first comes after the
// last.
bool SetSelection(const std::string& date, const std::string& first, const std::string& last,
                  std::string* message);

// The operator's message for a selection BuildSelection refused (code page
// 850, in the session's language): kFirstAfterLast names the two
// departments, kNotADepartment the text given first; "" for kOk.
std::string SelectionMessage(SelectionStatus status, const std::string& first,
                             const std::string& last);

// The message for a text that is not a "community.department" code, naming
// it as given ("" shown as two quotes).
std::string NotADepartmentMessage(const std::string& code);

}  // namespace report
