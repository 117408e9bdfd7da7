// The interactive program: `torbelan` without arguments, as an operator
// runs it every day from the suite's menu.
//
// After the session has started (main_flow.h StartSession): the selection
// form is loaded from FORMS\TORBELAN.JPN and its hooks registered, screen 1
// gets its initial values (the working date, communities 1 to 999,
// departments 0 to 999), the seven data files are opened and the settings
// read; then the report cycle: the selection form on a cleared screen, and
// for every confirmed selection one report pass (spool, settlements, the
// print program, which has the terminal while it runs); the form comes back
// with the values of the previous selection. Esc on screen 1 ends the
// cycle; the data files are closed.
//
// A text file of the suite refused for a character code page 850 lacks
// (pass_messages.h RefusedTextFileMessage) stops the program before the
// form file is loaded, with its message and one key, exit code 6
// (kExitSettings).
// A form file that goes beyond the bounds of the format and the screen
// (forms/form_file.h) is one that cannot be used, as below; its message
// names the line of the value.
// A form file that is missing, ends before what it announces, or lacks the
// selection fields stops the program in order before any data file is
// opened: a message in the session's language naming the file, the bell,
// one key, exit code 5 (kExitDataError); a data file that cannot be opened
// ends it with its message and the same code, and a fee rate of Brol.ini
// that is not a percentage with code 6 (after the data files are opened;
// they are closed again).
//
// After a pass the operator is told, in a message that waits for a key,
// what did not go as asked: a spool that cannot be written, a read that
// failed during the pass, an empty selection (the print program is not
// started then), a print program that cannot be started, or one that ended
// with an error (its exit code and its own words, from its result file,
// print/print_result.h); for a document written to a file, where it went,
// and for documents of one department each, the folder and how many
// (without the bell); then the communities left out because the settlement
// date does not come after their last settled date. The form comes back.
// The operator's messages are those of pass_messages.h.
//
// State: report::state, console::form and the layers below.
#pragma once

#include <cstdint>
#include <string>

#include "forms/form_file.h"
#include "report/main_flow.h"
#include "report/pass_messages.h"

namespace report {

// The operator's message for a form file that cannot be used (named by its
// suite name), in the session's language; for kOutOfRange it names the
// line of the value beyond its bound.
std::string FormFileMessage(console::FormFileStatus status, const std::string& name,
                            int32_t line = 0);

// Gives screen 1 its initial values (see above).
void SetInitialValues();

// The interactive program, from the form's loading to the closing of the
// data files. Returns the exit code: 0 when the operator left the form, 5 or
// 6 when it stopped before the form (see above).
int RunInteractive();

}  // namespace report
