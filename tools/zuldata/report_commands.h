// The data tool's commands for the report's files and the demo suite:
//
//   zuldata import ROOT [FILE] CSV [--update | --replace] [--allow-identical]
//       Adds the rows of a CSV file (csv_text.h, record_csv.h) to
//       ROOT/DADES/FILE.dat; without FILE, the CSV's name without its
//       extension names the file (FinquesH.csv, finquesh.csv). Rows with no
//       value in any field are skipped. Every row is checked before the
//       first one is stored; a bad row is reported with its line number and
//       nothing is stored. A record the file refuses (a key already there)
//       undoes the rows stored before it. With --update,
//       a row whose value of the file's first unique key is already there
//       is written over that record (the columns the CSV gives; the rest
//       of the record stays), in the same one transaction; a file without a
//       unique key (PagamH, CobramH) refuses --update and points to
//       --replace. With --replace (only those two files), every record of
//       the communities the CSV's rows belong to is deleted and the rows
//       are inserted, in the same one transaction: an export edited and
//       imported back replaces what it covers. A plain import into one of
//       those two files is refused when a row is byte for byte a record
//       already there (an export imported back would double every
//       record), unless --allow-identical. Two rows with the same unique
//       key are refused in every mode. Prints "FILE: N inserted, M
//       replaced", with --replace followed by ", K deleted".
//   zuldata export ROOT FILE [--semicolon]
//       Writes every record of ROOT/DADES/FILE.dat, in key order, as CSV on
//       standard output: fields separated by "," and amounts with a decimal
//       point, or with --semicolon by ";" with a decimal comma (what
//       spreadsheets set to Catalan or Spanish open as they stand).
//   zuldata demo ROOT [--suite DIR] [--zudavivi PATH] [--connexio STRING
//                [--esquema NAME]]
//       Lays down a complete, ready suite root at ROOT (created when
//       missing): Brol.ini, FORMS/, LOCALE/, ddf/ (creation layouts
//       built from suite/ddf), AJUDA/, DADES/ with the demo data of
//       suite/data, BIN/ with the print program ZUDAVIVI, TERM01/ with
//       Sessio.ini and BrolTerm.ini. Text files are laid down in code page
//       850 with CR LF line ends, as the suite reads them.
//   zuldata generate ROOT --communities N --departments M [--seed S]
//                    [--connexio STRING [--esquema NAME]]
//       Lays down the same root without the demo data and fills DADES/ with
//       N communities of M departments each (12 collections and 2
//       particular payments per department, 200 common payments per
//       community), reproducible from the seed. For benchmarks.
//   zuldata copy FROM_ROOT TO_ROOT
//       See CopyCommand.
// With --connexio, demo and generate write the server setting into the
// root's Brol.ini (recman/engine_choice.h) before any data file is made,
// so the data files go to the database server.
//
// FILE is one of the report's files, named without regard to case:
// TDespesa, THRebut, FinquesH, FinDespH, PropietH, PagamH, CobramH. The CSV
// files of suite/data are found without regard to case too.
//
// Each command returns the process exit code: 0 done, 1 failed (message on
// standard error), 2 bad arguments.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zuldata {

// `args` are the command's arguments after its name.
int ImportCommand(const std::vector<std::string>& args);
int ExportCommand(const std::vector<std::string>& args);
int DemoCommand(const std::vector<std::string>& args);
int GenerateCommand(const std::vector<std::string>& args);
// copy FROM_ROOT TO_ROOT: the report's files of one root into another that
// has none of them, record by record in key order; the roots' Brol.ini
// settings decide where each keeps them, so a suite moves onto a database
// server and back to files.
int CopyCommand(const std::vector<std::string>& args);

struct ImportOptions {
  bool update = false;   // replace the records whose unique key is there
  bool replace = false;  // replace the records of the CSV's communities
  bool allowIdentical = false;  // add rows identical to stored records
};

struct ImportCounts {
  size_t inserted = 0;
  size_t replaced = 0;
  size_t deleted = 0;  // with `replace`
};

// Imports the bytes of a CSV file into a file of the root (import without
// the command line), all rows or none. Returns true with the counts, or
// false with a message (and nothing stored).
bool ImportCsv(const std::string& root, const std::string& file, const std::string& csv,
               const ImportOptions& options, ImportCounts* counts, std::string* error);

// The same, inserting every row.
bool ImportCsv(const std::string& root, const std::string& file, const std::string& csv,
               std::string* error);

}  // namespace zuldata
