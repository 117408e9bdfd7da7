#include "datafile/data_messages.h"

#include "config/language.h"
#include "platform/codepage.h"
#include "recman/btrcall.h"
#include "recman/engine_choice.h"

namespace datafile {

// Accented letters are code page 850 bytes: 0xD4 is "È", 0xE3 is "Ò",
// 0xE0 is "Ó", 0xB7 is "À", 0xB5 is "Á".

std::string ServerStatusNote(int status, const std::string& nativePath) {
  if (status != recman::B_RECORD_MANAGER_INACTIVE && status != recman::B_SESSION_LOST &&
      status != recman::B_DIRECTORY_ERROR && status != recman::B_INVALID_FILE_NAME)
    return "";
  const recman::SuiteSetting suite = recman::SuiteOf(nativePath);
  if (suite.connection.empty()) return "";
  switch (status) {
    case recman::B_RECORD_MANAGER_INACTIVE:
      return ": " + config::ByLanguage("EL SERVIDOR NO RESPON", "O SERVIDOR NOM RESPONDE",
                                       "ETH SERVIDOR NON RESPON", "EL SERVIDOR NO RESPONDE");
    case recman::B_SESSION_LOST:
      return ": " + config::ByLanguage("CONNEXI\xE0 AMB EL SERVIDOR PERDUDA",
                                       "CONEXOM CO SERVIDOR PERDIDA",
                                       "CONNEXION DAB ETH SERVIDOR PERDUDA",
                                       "CONEXI\xE0N CON EL SERVIDOR PERDIDA");
    case recman::B_DIRECTORY_ERROR:
      return ": " + config::ByLanguage("L'ESQUEMA ", "O ESQUEMA ", "ETH ESQUEMA ", "EL ESQUEMA ") +
             platform::Utf8ToCp850(suite.schema) +
             config::ByLanguage(" NO EXISTEIX AL SERVIDOR", " NOM EXISTE NO SERVIDOR",
                                " NON EXISTIS EN SERVIDOR", " NO EXISTE EN EL SERVIDOR");
    default:
      if (!recman::SchemaNameTooLong(suite)) return "";
      return ": " + config::ByLanguage("NOM D'ESQUEMA MASSA LLARG (M\xB7XIM 63 BYTES)",
                                       "NOME DE ESQUEMA DEMASIADO LONGO (M\xB5XIMO 63 BYTES)",
                                       "NOM D'ESQUEMA MASSA LONG (MAXIM 63 BYTES)",
                                       "NOMBRE DE ESQUEMA DEMASIADO LARGO (M\xB5XIMO 63 BYTES)");
  }
}

std::string OpenFailureMessage(const std::string& path, int status) {
  return config::ByLanguage("NO ES POT ACCEDIR AL FITXER ", "NOM SE PODE ACEDER AO FICHEIRO ",
                            "NON SE P\xE3T ACCEDIR ATH FICH\xD4R ",
                            "NO SE PUEDE ACCEDER AL FICHERO ") +
         path + " (" + std::to_string(status) + ")" +
         ServerStatusNote(status, platform::Cp850ToUtf8(path));
}

std::string LockMessage() {
  return config::ByLanguage("FITXER BLOQUEJAT. ESPEREU UN MOMENT.",
                            "FICHEIRO BLOQUEADO. ESPERE UM MOMENTO.",
                            "FICH\xD4R BLOQUEJAT. ESPERATZ UN MOMENT.",
                            "FICHERO BLOQUEADO. ESPERE UN MOMENTO.");
}

}  // namespace datafile
