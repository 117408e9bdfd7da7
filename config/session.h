// The session state: the context a menu program of the suite hands to this
// program (directories, menu option, terminal, colours, working date,
// output device, language, run mode), gathered once by SessionInit
// (session_init.h) from the environment and the session, terminal and suite
// INI files.
//
// State: `config::session`, the one instance of SessionState, which also
// holds the rest of this folder's state (the message catalogue's name and
// the parsed-file caches of the INI reader and the catalogue). Tests reset
// everything by assigning a fresh SessionState.
//
// Rules:
//   - Directories (RootDir, ExeDir, TempDir, TermDir) are plain prefixes:
//     a file is the directory text followed by its name, with no separator
//     added, so they end in "\", "/" (or ":") or are empty.
//   - Language and RunMode are exactly three characters. Every routine that
//     branches on Language treats anything but "SPA", "GLG" and "OCI"
//     (blanks and small letters included) as Catalan ("CAT").
//   - Configuration problems never stop the program: a missing variable,
//     file, section or key gives the default noted beside each field.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/catalogue.h"
#include "config/ini_reader.h"
#include "config/text_file.h"

namespace config {

// The colour scheme used when BrolTerm.ini names none: roles 0 = 15 on 0,
// 1 = 7 on 0, 2..4 = 0 on 7 (two digits foreground, two background).
constexpr const char* kDefaultColours = "15000700000700070007";

struct SessionState {
  std::string RootDir;       // ZULROOT + separator; "" = current directory
  std::string ExeDir;        // ZULEXE + separator: the suite's programs
  std::string TempDir;       // ZULTMP + separator, else TermDir
  std::string SessionTitle = "  ";  // " " + Sessio.ini [Menu] Titol + " "
  std::string MenuName;      // [Menu] NomMenu: help topic of F1
  std::string ParentMenu;    // [Menu] Menu
  std::string MenuChain;     // [Menu] ChnMenu
  std::string OperatorName;  // [Menu] Operador
  int16_t OperatorType = 0;  // [Menu] ZulTipOper as a number
  std::string TermDir;       // [Terminal] Dir, else TERM naming a directory; + separator
  // Foreground ([r][0]) and background ([r][1]) colour of the roles 0..4.
  std::array<std::array<int16_t, 2>, 5> ColourTable = {
      {{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}}};
  std::string WorkDate;      // packed date of BrolTerm.ini [Sistema] Data
  std::string OutputDevice;  // [Sistema] Sortida
  std::string Language = "   ";  // [Sistema] Idioma, else Brol.ini [Usuari]
  std::string RunMode = "DOS";   // "CGI", "WIN" or "DOS"

  // The program's module name ("TORBELAN"), set by the program at start;
  // the message catalogue takes its name from it.
  std::string ModuleName;
  // The catalogue's name: empty until the first lookup, then ModuleName.
  std::string CatalogueName;

  // Parsed-file caches (see ini_reader.h and catalogue.h), and the number
  // of blocking waits seen, which ends the trust in their stamps
  // (file_stamp.h).
  std::vector<IniFile> IniCache;
  uint64_t IniUseCounter = 0;
  CatalogueFile Catalogue;
  uint64_t StampWaits = 0;
  // The first text file refused for a character code page 850 lacks
  // (text_file.h).
  TextRefusal Refusal;
};
extern SessionState session;

// The value of an environment variable as code page 850 text (the process
// environment is UTF-8); an unset variable gives "".
std::string EnvText(const std::string& name);

// Appends "\" unless the text is empty or already ends in a separator: "\",
// "/" (the file system's own, as directories given here are written) or
// ":".
std::string WithSeparator(const std::string& dir);

// The suite's root directory as the environment holds it now: ZULROOT
// (EnvText) with a separator appended. The settings of Brol.ini that are
// read on first use, with or without SessionInit, are read from here.
std::string EnvRootDir();

}  // namespace config
