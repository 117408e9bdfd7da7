#include "config/text_file.h"

#include "config/catalogue.h"
#include "config/ini_reader.h"
#include "config/session.h"
#include "platform/codepage.h"
#include "platform/files.h"

namespace config {

bool ReadTextFile(const std::string& nativePath, const std::string& name, std::string* text) {
  std::string bytes;
  if (!platform::ReadFile(nativePath, &bytes)) return false;
  TextRefusal refusal;
  if (!platform::TextFileToCp850(bytes, text, &refusal.character, &refusal.line)) {
    text->clear();
    refusal.name = name;
    if (session.Refusal.name.empty()) session.Refusal = refusal;
  }
  return true;
}

bool RefusedTextFile(TextRefusal* refusal) {
  IniRead(session.RootDir + "Brol.ini", "Usuari", "Idioma");
  const std::string& language = session.Language;
  if (language == "SPA" || language == "GLG" || language == "OCI")
    Translate("");  // a lookup reads the catalogue
  if (session.Refusal.name.empty()) return false;
  *refusal = session.Refusal;
  return true;
}

}  // namespace config
