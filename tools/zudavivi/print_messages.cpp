#include "tools/zudavivi/print_messages.h"

#include <cerrno>

#include "config/language.h"
#include "platform/codepage.h"

namespace zudavivi {
namespace {

// The texts are code page 850, as every fixed text of the system (accented
// letters as their bytes: 0x85 is "a" with a grave accent); the operator
// gets them in UTF-8.
std::string T(const std::string& cat, const std::string& glg, const std::string& oci,
              const std::string& spa) {
  return platform::Cp850ToUtf8(config::ByLanguage(cat, glg, oci, spa));
}

std::string N(long n) { return std::to_string(n); }

std::string Line(long line) {
  return T("l\xA1nia ", "linha ", "linha ", "l\xA1nea ") + N(line) + ": ";
}

}  // namespace

std::string SpoolRecordFault(long line, SpoolFault fault, const std::string& shownRecord) {
  std::string why;
  switch (fault) {
    case SpoolFault::MalformedPageLength:
      why = T("n\xA3mero mal format en un registre de longitud de p\x85gina",
              "n\xA3mero mal formado num registo de comprimento de p\xA0gina",
              "nombre mau format en un registre de longor de pagina",
              "n\xA3mero mal formado en un registro de longitud de p\xA0gina");
      break;
    case SpoolFault::MalformedFillColumn:
      why = T("n\xA3mero mal format en un registre de justificaci\xA2",
              "n\xA3mero mal formado num registo de justifica\x87om",
              "nombre mau format en un registre de justificacion",
              "n\xA3mero mal formado en un registro de justificaci\xA2n");
      break;
    case SpoolFault::FillNotClosed:
      why = T("farciment sense la \"\\\" que el tanca", "enchimento sem a \"\\\" que o fecha",
              "emplenat sense era \"\\\" que lo barre", "relleno sin la \"\\\" que lo cierra");
      break;
    case SpoolFault::TextAfterFill:
      why = T("text despr\x82s del farciment", "texto depois do enchimento",
              "t\x8Axte demp\xA3s der emplenat", "texto despu\x82s del relleno");
      break;
    case SpoolFault::UnknownJustification:
      why = T("codi de justificaci\xA2 desconegut",
              "c\xA2" "digo de justifica\x87om desconhecido",
              "c\x95" "di de justificacion desconeishut",
              "c\xA2" "digo de justificaci\xA2n desconocido");
      break;
    case SpoolFault::UnknownRecord:
      why = T("registre desconegut", "registo desconhecido", "registre desconeishut",
              "registro desconocido");
      break;
    case SpoolFault::MalformedColumn:
      why =
          T("columna mal formada en un registre de text", "coluna mal formada num registo de texto",
            "colomna mau formada en un registre de t\x8Axte",
            "columna mal formada en un registro de texto");
      break;
    case SpoolFault::MalformedAdvance:
      why = T("avan\x87 mal format en un registre de text",
              "avan\x87o mal formado num registo de texto",
              "avan\x87 mau format en un registre de t\x8Axte",
              "avance mal formado en un registro de texto");
      break;
  }
  return Line(line) + why + ": " + shownRecord;
}

std::string SpoolEmpty() { return T("\x82s buit", "est\xA0 vazio", "ei vuet", "est\xA0 vac\xA1o"); }

std::string SpoolWithoutDevice() {
  return T("no comen\x87" "a amb el registre DEVICE", "nom come\x87" "a polo registo DEVICE",
           "non comence peth registre DEVICE", "no empieza por el registro DEVICE");
}

std::string SecondDeviceRecord(long line) {
  return Line(line) + T("un segon registre DEVICE", "um segundo registo DEVICE",
                        "un dusau registre DEVICE", "un segundo registro DEVICE");
}

std::string SpoolWithoutText() {
  return T("no t\x82 cap text per imprimir", "nom tem texto para imprimir",
           "non a cap de t\x8Axte ent\x85 imprimir", "no tiene ning\xA3n texto que imprimir");
}

std::string TextPastLastColumn(long line, int lastColumn) {
  return Line(line) +
         T("el text passa de la columna ", "o texto passa da coluna ",
           "eth t\x8Axte passe dera colomna ", "el texto pasa de la columna ") +
         N(lastColumn) +
         T(", l'\xA3ltima que cap en una p\x85gina", ", a \xA3ltima que cabe numha p\xA0gina",
           ", era darr\x8Ara que cap en ua pagina", ", la \xA3ltima que cabe en una p\xA0gina");
}

std::string PageTooLong(long line, long lines, int mostLines) {
  return Line(line) +
         T("una p\x85gina de ", "umha p\xA0gina de ", "ua pagina de ", "una p\xA0gina de ") +
         N(lines) +
         T(" l\xA1nies; una p\x85gina en t\x82 com a m\x85xim ",
           " linhas; umha p\xA0gina tem no m\xA0ximo ", " linhes; ua pagina n'a coma maxim ",
           " l\xA1neas; una p\xA0gina tiene como m\xA0ximo ") +
         N(mostLines);
}

std::string ArgumentsRefused() {
  return T(
      "no admet arguments: imprimeix el fitxer d'impressi\xA2 zudavivi.tmp de la carpeta "
      "temporal de la sessi\xA2 (ZULTMP); vegeu ZUDAVIVI --help",
      "nom admite argumentos: imprime o ficheiro de impressom zudavivi.tmp do cartafol "
      "tempor\xA0rio da sessom (ZULTMP); veja ZUDAVIVI --help",
      "non admet arguments: imprim\xA1s eth fich\x8Ar d'impression zudavivi.tmp dera carpeta "
      "temporau dera session (ZULTMP); vejatz ZUDAVIVI --help",
      "no admite argumentos: imprime el fichero de impresi\xA2n zudavivi.tmp de la carpeta "
      "temporal de la sesi\xA2n (ZULTMP); v\x82" "ase ZUDAVIVI --help");
}

std::string NoSpool(const std::string& spoolPath) {
  return T("no hi ha cap fitxer d'impressi\xA2 per imprimir (",
           "nom h\xA0 ficheiro de impressom para imprimir (",
           "non i a cap de fich\x8Ar d'impression ent\x85 imprimir (",
           "no hay ning\xA3n fichero de impresi\xA2n que imprimir (") +
         spoolPath + T(" no existeix)", " nom existe)", " non exist\xA1s)", " no existe)");
}

std::string SpoolUnreadable(const std::string& spoolPath) {
  return T("no es pot llegir el fitxer d'impressi\xA2 ", "nom se pode ler o ficheiro de impressom ",
           "non se p\x95t li\x82ger eth fich\x8Ar d'impression ",
           "no se puede leer el fichero de impresi\xA2n ") +
         spoolPath;
}

std::string SpoolNotWellFormed(const std::string& spoolPath, const std::string& reason) {
  return T("fitxer d'impressi\xA2 ", "ficheiro de impressom ", "fich\x8Ar d'impression ",
           "fichero de impresi\xA2n ") +
         spoolPath + ": " + reason;
}

std::string SystemReason(int errnum) {
  switch (errnum) {
    case 0:
      return T("error d'escriptura", "erro de escrita", "error d'escritura", "error de escritura");
    case ENOENT:
      return T("no existeix la carpeta o el fitxer", "nom existe o cartafol ou o ficheiro",
               "non exist\xA1s era carpeta o eth fich\x8Ar", "no existe la carpeta o el fichero");
    case EACCES:
    case EPERM:
      return T("perm\xA1s denegat", "permissom negada", "perm\xA1s refusat", "permiso denegado");
    case ENOSPC:
#ifdef EDQUOT  // Windows has no disk quotas of this kind
    case EDQUOT:
#endif
      return T("el disc \x82s ple", "o disco est\xA0 cheio", "eth disc ei plen",
               "el disco est\xA0 lleno");
    case EFBIG:
      return T("el fitxer passa de la mida permesa", "o ficheiro excede o tamanho permitido",
               "eth fich\x8Ar passe dera talha permetuda",
               "el fichero excede el tama\xA4o permitido");
    case EROFS:
      return T("el suport \x82s nom\x82s de lectura", "o suporte \x82 s\xA2 de leitura",
               "eth sup\x95rt ei sonque de lectura", "el soporte es de solo lectura");
    case EISDIR:
      return T("\x82s una carpeta", "\x82 um cartafol", "ei ua carpeta", "es una carpeta");
    case ENOTDIR:
      return T("una part del cam\xA1 no \x82s una carpeta",
               "umha parte do caminho nom \x82 um cartafol", "ua part deth camin non ei ua carpeta",
               "una parte de la ruta no es una carpeta");
    case ENAMETOOLONG:
      return T("el nom \x82s massa llarg", "o nome \x82 demasiado longo",
               "eth n\x95m ei massa long", "el nombre es demasiado largo");
    case EIO:
      return T("error d'entrada i sortida",
               "erro de entrada e sa\xA1" "da",
               "error d'entrada e sortida", "error de entrada y salida");
    default:
      return T("error ", "erro ", "error ", "error ") + N(errnum) +
             T(" del sistema", " do sistema", " deth sist\x8Ama", " del sistema");
  }
}

std::string CannotCreateDocument(const std::string& path, int errnum) {
  return T("no es pot crear el document ", "nom se pode criar o documento ",
           "non se p\x95t crear eth document ", "no se puede crear el documento ") +
         path + ": " + SystemReason(errnum);
}

std::string CannotWriteDocument(const std::string& path, int errnum) {
  return T("no es pot escriure el document ", "nom se pode escrever o documento ",
           "non se p\x95t escr\xA1uer eth document ", "no se puede escribir el documento ") +
         path + ": " + SystemReason(errnum);
}

std::string CannotCreateTemporaryFile(const std::string& dir, int errnum) {
  return T("no es pot crear un fitxer temporal a ",
           "nom se pode criar um ficheiro tempor\xA0rio em ",
           "non se p\x95t crear un fich\x8Ar temporau en ",
           "no se puede crear un fichero temporal en ") +
         dir + ": " + SystemReason(errnum);
}

std::string DocumentSaved(const std::string& path) {
  return T("document desat a ", "documento gravado em ", "document guardat en ",
           "documento guardado en ") +
         path;
}

std::string CannotCreateFolder(const std::string& path, int errnum) {
  return T("no es pot crear la carpeta ", "nom se pode criar o cartafol ",
           "non se p\x95t crear era carpeta ", "no se puede crear la carpeta ") +
         path + ": " + SystemReason(errnum);
}

std::string DocumentsSaved(const std::string& folder, long files) {
  const bool one = files == 1;
  return N(files) +
         (one ? T(" document desat a ", " documento gravado em ", " document guardat en ",
                  " documento guardado en ")
              : T(" documents desats a ", " documentos gravados em ", " documents guardats en ",
                  " documentos guardados en ")) +
         folder;
}

std::string PreviewNeedsTerminal() {
  return T("la previsualitzaci\xA2 a la pantalla necessita un terminal; trieu PDF o TXT com a "
           "sortida",
           "a pr\x82-visualiza\x87om no ecr\xC6 precisa dum terminal; escolha PDF ou TXT como "
           "sa\xA1" "da",
           "era previsualizacion ena pantalha a besonh d'un terminau; trietz PDF o TXT coma "
           "sortida",
           "la vista previa en la pantalla necesita un terminal; elija PDF o TXT como salida");
}

std::string CannotStart(const std::string& program, int errnum) {
  return T("no es pot iniciar ", "nom se pode iniciar ", "non se p\x95t inicar ",
           "no se puede iniciar ") +
         program + ": " + SystemReason(errnum);
}

std::string PrintServiceMissing(const std::string& why) {
  return T("el servei d'impressi\xA2 no est\x85 disponible (",
           "o servi\x87o de impressom nom est\xA0 dispon\xA1vel (",
           "eth servici d'impression non ei disponible (",
           "el servicio de impresi\xA2n no est\xA0 disponible (") +
         why +
         T("); instal\xFAleu el client de CUPS (lp) o trieu PDF o TXT com a sortida",
           "); instale o cliente de CUPS (lp) ou escolha PDF ou TXT como sa\xA1" "da",
           "); installatz eth client de CUPS (lp) o trietz PDF o TXT coma sortida",
           "); instale el cliente de CUPS (lp) o elija PDF o TXT como salida");
}

std::string JobRefused(const std::string& printer, int exitCode) {
  return T("el servei d'impressi\xA2 no ha acceptat el treball per a la impressora \"",
           "o servi\x87o de impressom nom aceitou o trabalho para a impressora \"",
           "eth servici d'impression non a acceptat eth trabalh entara imprimidora \"",
           "el servicio de impresi\xA2n no ha aceptado el trabajo para la impresora \"") +
         printer +
         T("\" (lp ha acabat amb el codi ",
           "\" (lp acabou com o c\xA2" "digo ",
           "\" (lp a acabat damb eth c\x95" "di ",
           "\" (lp ha terminado con el c\xA2" "digo ") +
         N(exitCode) + ")";
}

std::string PrinterRefused(const std::string& printer, unsigned long systemError) {
  return T("la cua d'impressi\xA2 de Windows no ha acceptat el treball per a la impressora \"",
           "a fila de impressom de Windows nom aceitou o trabalho para a impressora \"",
           "era coa d'impression de Windows non a acceptat eth trabalh entara imprimidora \"",
           "la cola de impresi\xA2n de Windows no ha aceptado el trabajo para la impresora \"") +
         printer + "\" (" + T("error ", "erro ", "error ", "error ") +
         N(long(systemError)) + ")";
}

std::string PdfNotInThisBuild() {
  return T("aquesta versi\xA2 per a Windows no escriu PDF: trieu la impressora "
           "\"Microsoft Print to PDF\" o TXT com a sortida",
           "esta vers\xC6o para Windows nom escreve PDF: escolha a impressora "
           "\"Microsoft Print to PDF\" ou TXT como sa\xA1" "da",
           "aguesta version entara Windows non escriu PDF: trietz era imprimidora "
           "\"Microsoft Print to PDF\" o TXT coma sortida",
           "esta versi\xA2n para Windows no escribe PDF: elija la impresora "
           "\"Microsoft Print to PDF\" o TXT como salida");
}

}  // namespace zudavivi
