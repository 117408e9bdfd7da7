#include "config/session_init.h"

#include <cmath>

#include "config/ini_reader.h"
#include "config/session.h"
#include "dates/packed.h"
#include "format/money.h"
#include "format/numeric_text.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace config {
namespace {

// A number read from text (format::TextValue: leading spaces skipped, the
// leading decimal number, 0 for none) as a 16-bit integer: rounded to the
// nearest whole number (halves to even) and held within the 16-bit range
// rather than wrapped.
int16_t TextInt16(const std::string& text) {
  double v = std::nearbyint(format::TextValue(text));
  if (!(v >= -32768.0)) return -32768;  // also catches NaN
  if (v > 32767.0) return 32767;
  return static_cast<int16_t>(v);
}

// Fixed-length text: cut or padded with spaces to exactly three characters.
std::string Fixed3(const std::string& text) {
  std::string out = text.substr(0, 3);
  out.resize(3, ' ');
  return out;
}

// The characters [from, from + count) of the text, as far as they exist.
std::string Slice(const std::string& text, size_t from, size_t count) {
  return from < text.size() ? text.substr(from, count) : std::string();
}

}  // namespace

void SessionInit() {
  SessionState& s = session;

  // Directories from the environment.
  s.RootDir = EnvRootDir();
  s.ExeDir = WithSeparator(EnvText("ZULEXE"));
  s.TempDir = WithSeparator(EnvText("ZULTMP"));

  // The session file, in the temporary directory as it stands now (with
  // ZULTMP unset: the current directory).
  const std::string sessionFile = s.TempDir + "Sessio.ini";
  s.SessionTitle = " " + IniRead(sessionFile, "Menu", "Titol") + " ";
  s.MenuName = IniRead(sessionFile, "Menu", "NomMenu");
  s.ParentMenu = IniRead(sessionFile, "Menu", "Menu");
  s.MenuChain = IniRead(sessionFile, "Menu", "ChnMenu");
  s.OperatorName = IniRead(sessionFile, "Menu", "Operador");
  s.OperatorType = TextInt16(IniRead(sessionFile, "Menu", "ZulTipOper"));

  // TERM is also the variable in which this platform names the terminal's
  // type ("xterm-256color"): it counts as the terminal directory only when
  // it names a directory that exists, so that the calculator's state file
  // is never looked for in a directory that is not there.
  std::string termDir = IniRead(sessionFile, "Terminal", "Dir");
  if (termDir.empty()) {
    std::string term = EnvText("TERM");
    if (!term.empty() && platform::IsDirectory(platform::SuitePath(WithSeparator(term)))) {
      termDir = term;
    }
  }
  s.TermDir = WithSeparator(termDir);
  if (s.TempDir.empty()) s.TempDir = s.TermDir;

  format::SetCurrency("a,E");

  // The terminal file: colour scheme, working date, device and language.
  const std::string termFile = s.TempDir + "BrolTerm.ini";
  int16_t scheme = TextInt16(IniRead(termFile, "Pantalla", "Seleccio"));
  std::string colours = IniRead(termFile, "Pantalla", "Col" + std::to_string(scheme));
  if (colours.empty()) colours = kDefaultColours;
  for (size_t role = 0; role < 5; ++role) {
    s.ColourTable[role][0] = TextInt16(Slice(colours, 4 * role, 2));
    s.ColourTable[role][1] = TextInt16(Slice(colours, 4 * role + 2, 2));
  }

  s.WorkDate = dates::Pack(IniRead(termFile, "Sistema", "Data"));
  s.OutputDevice = IniRead(termFile, "Sistema", "Sortida");
  s.Language = Fixed3(IniRead(termFile, "Sistema", "Idioma"));
  if (s.Language == "   ") {
    // The suite-wide default, from ZULROOT as the environment holds it now.
    s.Language = Fixed3(IniRead(EnvRootDir() + "Brol.ini", "Usuari", "Idioma"));
  }

  if (!platform::GetEnv("HTTP_USER_AGENT").empty() || !platform::GetEnv("HTTP_ACCEPT").empty()) {
    s.RunMode = "CGI";
  } else if (!platform::GetEnv("WINDIR").empty() || !platform::GetEnv("SYSTEMROOT").empty()) {
    s.RunMode = "WIN";
  } else {
    s.RunMode = "DOS";
  }
}

}  // namespace config
