// The data tool's commands for the report's files and the demo suite:
//
//   zuldata import ROOT FILE CSV
//       Adds the rows of a CSV file (record_csv.h) to ROOT/DADES/FILE.dat.
//       Every row is checked before the first one is stored; a bad row is
//       reported with its line number and nothing is stored. A record the
//       file refuses (a key already there) undoes the rows stored before it.
//   zuldata export ROOT FILE
//       Writes every record of ROOT/DADES/FILE.dat, in key order, as CSV on
//       standard output.
//   zuldata demo ROOT [--suite DIR] [--zudavivi PATH]
//       Lays down a complete, ready suite root at ROOT (created when
//       missing): Brol.ini, FORMS/, LOCALE/, ddf/ (creation layouts
//       built from suite/ddf), AJUDA/, DADES/ with the demo data of
//       suite/data, BIN/ with the print program ZUDAVIVI, TERM01/ with
//       Sessio.ini and BrolTerm.ini. Text files are laid down in code page
//       850 with CR LF line ends, as the suite reads them.
//   zuldata generate ROOT --communities N --departments M [--seed S]
//       Lays down the same root without the demo data and fills DADES/ with
//       N communities of M departments each (12 collections and 2
//       particular payments per department, 200 common payments per
//       community), reproducible from the seed. For benchmarks.
//
// FILE is one of the report's files: TDespesa, THRebut, FinquesH, FinDespH,
// PropietH, PagamH, CobramH.
//
// Each command returns the process exit code: 0 done, 1 failed (message on
// standard error), 2 bad arguments.
#pragma once

#include <string>
#include <vector>

namespace zuldata {

// `args` are the command's arguments after its name.
int ImportCommand(const std::vector<std::string>& args);
int ExportCommand(const std::vector<std::string>& args);
int DemoCommand(const std::vector<std::string>& args);
int GenerateCommand(const std::vector<std::string>& args);

// Imports a CSV text into a file of the root (import without the command
// line). Returns false with a message.
bool ImportCsv(const std::string& root, const std::string& file, const std::string& csv,
               std::string* error);

}  // namespace zuldata
