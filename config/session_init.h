// Session start: SessionInit fills the session state (session.h) from the
// environment and the INI files, and sets the display currency. It sits
// above dates/ and format/ (it packs the working date and calls
// SetCurrency), while the state itself, the INI reader and the message
// catalogue sit below them, so that date and number formatting can read
// the session and its settings.
#pragma once

namespace config {

// Fills the session state, in this order:
//   1. RootDir, ExeDir and TempDir from ZULROOT, ZULEXE and ZULTMP, each
//      with a separator appended (WithSeparator, session.h), so that a
//      directory given without its trailing "/" still prefixes file names;
//   2. the menu values and the terminal directory from TempDir + "Sessio.ini"
//      ([Menu], [Terminal] Dir, else the variable TERM when it names an
//      existing directory by the suite path rule: on this platform TERM
//      usually holds the terminal's type); an empty TempDir becomes the
//      terminal directory;
//   3. SetCurrency("a,E"): the euro as main and display currency;
//   4. colours, working date, output device and language from TempDir +
//      "BrolTerm.ini" ([Pantalla], [Sistema]); a blank language from
//      ZULROOT + "Brol.ini" [Usuari] Idioma;
//   5. the run mode from the environment (CGI, WIN or DOS).
// Never fails: what is missing gives the defaults of session.h.
void SessionInit();

}  // namespace config
