#include "datafile/data_messages.h"

#include "config/language.h"

namespace datafile {

// Accented letters are code page 850 bytes: 0xD4 is "È", 0xE3 is "Ò".

std::string OpenFailureMessage(const std::string& path, int status) {
  return config::ByLanguage("NO ES POT ACCEDIR AL FITXER ", "NOM SE PODE ACEDER AO FICHEIRO ",
                            "NON SE P\xE3T ACCEDIR ATH FICH\xD4R ",
                            "NO SE PUEDE ACCEDER AL FICHERO ") +
         path + " (" + std::to_string(status) + ")";
}

std::string LockMessage() {
  return config::ByLanguage("FITXER BLOQUEJAT. ESPEREU UN MOMENT.",
                            "FICHEIRO BLOQUEADO. ESPERE UM MOMENTO.",
                            "FICH\xD4R BLOQUEJAT. ESPERATZ UN MOMENT.",
                            "FICHERO BLOQUEADO. ESPERE UN MOMENTO.");
}

}  // namespace datafile
