#include "datafile/messages.h"

#include "config/session.h"

namespace datafile {

// Accented letters are code page 850 bytes: 0xD4 is "È", 0xE3 is "Ò".

std::string OpenFailureMessage(const std::string& path, int status) {
  const std::string& language = config::session.Language;
  std::string text;
  if (language == "SPA") {
    text = "NO SE PUEDE ACCEDER AL FICHERO ";
  } else if (language == "GLG") {
    text = "NOM SE PODE ACEDER AO FICHEIRO ";
  } else if (language == "OCI") {
    text = "NON SE P\xE3T ACCEDIR ATH FICH\xD4R ";
  } else {
    text = "NO ES POT ACCEDIR AL FITXER ";
  }
  return text + path + " (" + std::to_string(status) + ")";
}

std::string LockMessage() {
  const std::string& language = config::session.Language;
  if (language == "SPA") return "FICHERO BLOQUEADO. ESPERE UN MOMENTO.";
  if (language == "GLG") return "FICHEIRO BLOQUEADO. ESPERE UM MOMENTO.";
  if (language == "OCI") return "FICH\xD4R BLOQUEJAT. ESPERATZ UN MOMENT.";
  return "FITXER BLOQUEJAT. ESPEREU UN MOMENT.";
}

}  // namespace datafile
