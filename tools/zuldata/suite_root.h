// Laying down a ready suite root from the readable sources under suite/,
// with its data files as SQLite files or on a database server.
//
// What a root holds (DESIGN.md "Suite files we define"):
//   ROOT/Brol.ini
//   ROOT/FORMS/  LOCALE/            copied from suite/ (text files)
//   ROOT/AJUDA/TOPIC.HLP           built from suite/AJUDA/TOPIC.txt
//                                  (help_source.h), the Catalan texts
//   ROOT/AJUDA/SPA/TOPIC.HLP       built from suite/AJUDA/SPA/TOPIC.txt, the
//                                  Spanish ones (likewise GLG/, OCI/ when
//                                  the suite has them)
//   ROOT/ddf/NAME.xdf              built from suite/ddf/NAME.txt
//   ROOT/DADES/                    empty here; the caller fills it
//   ROOT/BIN/ZUDAVIVI              the print program
//   ROOT/TERM01/Sessio.ini, BrolTerm.ini
//                                  the terminal; Sessio.ini's [Terminal] Dir
//                                  names ROOT/TERM01 by its absolute path
// Text files go down in code page 850 with CR LF line ends (the sources are
// UTF-8 with LF): the INI reader and the message catalogue of the suite read
// lines ended by CR.
//
// Where the sources are found: the option, else the folders this build was
// configured with (ZUL_SUITE_DIR, ZUL_ZUDAVIVI), else the print program
// beside this tool's build folder (../zudavivi/ZUDAVIVI).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zuldata {

struct SuiteOptions {
  std::string suiteDir;  // suite/ sources; "" = the configured one
  std::string zudavivi;  // the print program; "" = the configured one
  // The database server of the suite (recman/engine_choice.h): written to
  // the root's Brol.ini, section "BaseDades", as "Connexio" and "Esquema"
  // when not empty. "" = the data files are SQLite files under DADES.
  std::string connection;
  std::string schema;
};

// Reads the server options "--connexio STRING" and "--esquema NAME" at
// args[*i] into options (moving *i past the value). False when args[*i] is
// neither.
bool ServerOption(const std::vector<std::string>& args, size_t* i, SuiteOptions* options);

// Looks for the data file NAME of the root (ROOT/DADES/NAME.dat) in
// whichever engine the root's Brol.ini names: 0 when it exists, 12 when it
// does not, another record-manager status when that cannot be told (a
// database server that cannot be reached gives 20).
int16_t DataFileStatus(const std::string& root, const std::string& name);

// True when DataFileStatus gives 0.
bool DataFileExists(const std::string& root, const std::string& name);

// Lays down the root (creating ROOT when missing) and fills in the options
// that were left empty. Returns false with a message. A missing print
// program is not an error: the root is ready but BIN/ stays empty (a note
// goes to standard error).
bool LayDownSuite(const std::string& root, SuiteOptions& options, std::string* error);

// UTF-8 text with LF line ends as the suite stores text: code page 850, CR
// LF, without the byte-order mark an editor may have put first. Returns
// false when a character has no code page 850 byte.
bool SuiteText(const std::string& utf8, std::string* cp850);

}  // namespace zuldata
