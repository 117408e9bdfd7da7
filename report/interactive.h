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
// form file is loaded, with its message and one key.
// A form file that is missing, ends before what it announces, or lacks the
// selection fields stops the program in order before any data file is
// opened: a message in the session's language naming the file, the bell,
// one key; so does a fee rate of Brol.ini that is not a percentage (after
// the data files are opened; they are closed again). A spool that cannot
// be written, a read that fails during the pass or a print program that
// cannot be started is reported the same way, and the form comes back; so
// are, after the pass, the communities charged no fees because the
// settlement date does not come after their last settled date. The print
// program's exit code is not looked at. The operator's messages are those
// of pass_messages.h.
//
// State: report::state, console::form and the layers below.
#pragma once

#include <string>

#include "forms/form_file.h"
#include "report/main_flow.h"
#include "report/pass_messages.h"

namespace report {

// The operator's message for a form file that cannot be used (named by its
// suite name), in the session's language.
std::string FormFileMessage(console::FormFileStatus status, const std::string& name);

// Gives screen 1 its initial values (see above).
void SetInitialValues();

// The interactive program, from the form's loading to the closing of the
// data files. Returns the exit code: always 0.
int RunInteractive();

}  // namespace report
