#include "report/pass_messages.h"

#include <cstdio>

#include "config/language.h"
#include "config/session.h"
#include "config/text_file.h"
#include "datafile/data_messages.h"
#include "dates/date_format.h"
#include "format/dotted_code.h"
#include "format/text_utils.h"
#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/paths.h"
#include "print/device_name.h"
#include "print/spool.h"
#include "report/report_state.h"
#include "report/settlement.h"

namespace report {

// Accented letters are code page 850 bytes: 0x80 "Ç", 0x90 "É", 0xB5 "Á",
// 0xB7 "À", 0xC7 "Ã", 0xD4 "È", 0xE0 "Ó", 0xE3 "Ò". A letter that is a hex
// digit after an escape starts a literal of its own.

namespace {

// A native path relative to the suite's root, the program's current
// directory (as the print program's paths are too), named from the file
// system's root; others as they are.
std::string FromRoot(const std::string& path) {
  if (!path.empty() && !platform::IsAbsolutePath(path)) {
    const std::string cwd = platform::CurrentDirectory();
    if (!cwd.empty()) return platform::Utf8ToCp850(cwd) + "/" + path;
  }
  return path;
}

std::string NothingPrinted() {
  return config::ByLanguage("NO S'IMPRIMEIX RES", "NOM SE IMPRIME NADA",
                            "NON S'IMPRIM\xD6S ARR\x90N", "NO SE IMPRIME NADA");
}

}  // namespace

std::string NativeName(const std::string& suiteName) {
  return FromRoot(platform::Utf8ToCp850(platform::SuitePath(suiteName)));
}

std::string PassMessage(PassResult result) {
  switch (result) {
    case PassResult::Printed:
      return "";
    case PassResult::PrinterFailed:
      return PrintFailedMessage(state.PrinterCode, state.PrinterMessage);
    case PassResult::Empty:
      if (!state.CommunitiesNotSettled.empty())
        return CommunitiesNotSettledMessage(state.CommunitiesNotSettled) + ". " + NothingPrinted();
      return EmptySelectionMessage();
    case PassResult::ReadFailed:
      return ReadFailureMessage(state.FailedFile, state.FailedStatus);
    case PassResult::SpoolFailed:
      return config::ByLanguage("NO ES POT ESCRIURE EL FITXER D'IMPRESSI\xE0 ",
                                "NOM SE PODE ESCREVER O FICHEIRO DE IMPRESSOM ",
                                "NON SE P\xE3T ESCRIUER ETH FICH\xD4R D'IMPRESSION ",
                                "NO SE PUEDE ESCRIBIR EL FICHERO DE IMPRESI\xE0N ") +
             platform::Utf8ToCp850(print::SpoolPath());
    case PassResult::FiguresFailed:
      return config::ByLanguage("NO ES POT ESCRIURE EL FITXER DE XIFRES ",
                                "NOM SE PODE ESCREVER O FICHEIRO DE CIFRAS ",
                                "NON SE P\xE3T ESCRIUER ETH FICH\xD4R DE CHIFRES ",
                                "NO SE PUEDE ESCRIBIR EL FICHERO DE CIFRAS ") +
             platform::Utf8ToCp850(state.FiguresFile) + ": " + NothingPrinted();
    case PassResult::NoPrinter:
      break;
  }
  return config::ByLanguage("NO ES POT EXECUTAR EL PROGRAMA D'IMPRESSI\xE0 ",
                            "NOM SE PODE EXECUTAR O PROGRAMA DE IMPRESSOM ",
                            "NON SE P\xE3T EXECUTAR ETH PROGRAMA D'IMPRESSION ",
                            "NO SE PUEDE EJECUTAR EL PROGRAMA DE IMPRESI\xE0N ") +
         NativeName(config::session.ExeDir + "ZUDAVIVI");
}

std::string ReadFailureMessage(int16_t fileNumber, int16_t status) {
  std::string name = ReportFileName(fileNumber);
  std::string file = name.empty() ? std::to_string(fileNumber)
                                  : NativeName(config::session.RootDir + name + ".dat");
  return config::ByLanguage("ERROR DE LECTURA AL FITXER ", "ERRO DE LEITURA NO FICHEIRO ",
                            "ERROR DE LECTURA EN FICH\xD4R ", "ERROR DE LECTURA EN EL FICHERO ") +
         file + " (" + std::to_string(status) + ")" +
         (name.empty() ? std::string()
                       : datafile::ServerStatusNote(
                             status, platform::SuitePath(config::session.RootDir + name + ".dat"))) +
         ": " + NothingPrinted();
}

std::string CommunitiesNotSettledMessage(
    const std::vector<ReportState::UnsettledCommunity>& communities) {
  if (communities.empty()) return "";
  std::string list;
  for (const ReportState::UnsettledCommunity& c : communities) {
    if (!list.empty()) list += ", ";
    list += format::CodeText(c.Code) + " (" +
            format::TrimBlanks(dates::FormatDate(c.LastSettled, dates::kDateNumeric, "dma")) + ")";
  }
  return config::ByLanguage(
             "COMUNITATS NO LIQUIDADES, LA DATA NO \x90S POSTERIOR A LA SEVA DARRERA "
             "LIQUIDACI\xE0: ",
             "COMUNIDADES NOM LIQUIDADAS, A DATA NOM \x90 POSTERIOR \xB7 SUA \xE9LTIMA "
             "LIQUIDA\x80OM: ",
             "COMUNITATS NON LIQUIDADES, ERA DATA NON EI POSTERIORA ARA SUA DARR\xD4RA "
             "LIQUIDACION: ",
             "COMUNIDADES NO LIQUIDADAS, LA FECHA NO ES POSTERIOR A SU \xE9LTIMA "
             "LIQUIDACI\xE0N: ") +
         list;
}

std::string RateMessage(const std::string& key, const std::string& text) {
  return config::ByLanguage("PERCENTATGE NO V\xB7LID A ", "PERCENTAGEM NOM V\xB5LIDA EM ",
                            "PERCENTATGE NON VALID EN ", "PORCENTAJE NO V\xB5LIDO EN ") +
         NativeName(config::session.RootDir + "Brol.ini") + " [Honoraris] " + key + "=" + text;
}

std::string EmptySelectionMessage() {
  return config::ByLanguage(
      "CAP LIQUIDACI\xE0 A IMPRIMIR: LA SELECCI\xE0 NO T\x90 CAP DEPARTAMENT",
      "NENGUMA LIQUIDA\x80OM PARA IMPRIMIR: A SELEC\x80OM NOM TEM DEPARTAMENTOS",
      "CAP DE LIQUIDACION TA IMPRIMIR: ERA SELECCION NON A DEPARTAMENTS",
      "NINGUNA LIQUIDACI\xE0N QUE IMPRIMIR: LA SELECCI\xE0N NO TIENE DEPARTAMENTOS");
}

std::string PrintedMessage(int32_t settlements, int32_t pages, const std::string& device,
                           const std::string& document, const std::string& folder,
                           long files) {
  const std::string s = std::to_string(settlements) + " ", p = std::to_string(pages) + " ";
  const bool one = settlements == 1, onePage = pages == 1;
  return config::ByLanguage(
             s + (one ? "LIQUIDACI\xE0" : "LIQUIDACIONS") + ", " + p +
                 (onePage ? "P\xB7GINA" : "P\xB7GINES") + ": ",
             s + (one ? "LIQUIDA\x80OM" : "LIQUIDA\x80ONS") + ", " + p +
                 (onePage ? "P\xB5GINA" : "P\xB5GINAS") + ": ",
             s + (one ? "LIQUIDACION" : "LIQUIDACIONS") + ", " + p +
                 (onePage ? "PAGINA" : "PAGINES") + ": ",
             s + (one ? "LIQUIDACI\xE0N" : "LIQUIDACIONES") + ", " + p +
                 (onePage ? "P\xB5GINA" : "P\xB5GINAS") + ": ") +
         OutputPlace(device, document, folder, files);
}

std::string OutputPlace(const std::string& device, const std::string& document,
                        const std::string& folder, long files) {
  const print::DeviceName name = print::ClassifyDevice(device);
  const std::string path = name.path.empty() ? std::string() : " " + NativeName(name.path);
  // The documents' words, one and many, by device.
  struct Words {
    const char* cat[2];
    const char* glg[2];
    const char* oci[2];
    const char* spa[2];
  };
  static const Words kPdf = {{"DOCUMENT PDF", "DOCUMENTS PDF"},
                             {"DOCUMENTO PDF", "DOCUMENTOS PDF"},
                             {"DOCUMENT PDF", "DOCUMENTS PDF"},
                             {"DOCUMENTO PDF", "DOCUMENTOS PDF"}};
  static const Words kText = {{"DOCUMENT DE TEXT", "DOCUMENTS DE TEXT"},
                              {"DOCUMENTO DE TEXTO", "DOCUMENTOS DE TEXTO"},
                              {"DOCUMENT DE T\xD4XTE", "DOCUMENTS DE T\xD4XTE"},
                              {"DOCUMENTO DE TEXTO", "DOCUMENTOS DE TEXTO"}};
  auto words = [](const Words& w, bool many) {
    return config::ByLanguage(w.cat[many], w.glg[many], w.oci[many], w.spa[many]);
  };
  switch (name.kind) {
    case print::DeviceKind::Screen:
      return config::ByLanguage("A LA PANTALLA", "NO ECR\xC7", "ENA PANTALHA", "EN LA PANTALLA");
    case print::DeviceKind::Printer:
      return config::ByLanguage("IMPRESSORA ", "IMPRESSORA ", "IMPRIMIDORA ", "IMPRESORA ") +
             name.path;
    case print::DeviceKind::Pdf:
    case print::DeviceKind::Text: {
      const Words& w = name.kind == print::DeviceKind::Pdf ? kPdf : kText;
      return words(w, false) + (document.empty() ? path : " " + FromRoot(document));
    }
    case print::DeviceKind::PdfEach:
    case print::DeviceKind::TextEach:
      break;
  }
  const Words& w = name.kind == print::DeviceKind::PdfEach ? kPdf : kText;
  const std::string in = config::ByLanguage(" A LA CARPETA", " NO CARTAFOL", " ENA CARPETA",
                                            " EN LA CARPETA");
  if (folder.empty()) return words(w, true) + (path.empty() ? path : in + path);
  return std::to_string(files) + " " + words(w, files != 1) + in + " " + FromRoot(folder);
}

std::string PrintFailedMessage(int code, const std::string& words) {
  return config::ByLanguage("EL PROGRAMA D'IMPRESSI\xE0 ", "O PROGRAMA DE IMPRESSOM ",
                            "ETH PROGRAMA D'IMPRESSION ", "EL PROGRAMA DE IMPRESI\xE0N ") +
         NativeName(config::session.ExeDir + "ZUDAVIVI") +
         config::ByLanguage(" HA ACABAT AMB EL CODI ", " ACABOU COM O C\xE0" "DIGO ",
                            " A ACABAT DAMB ETH C\xE3" "DI ",
                            " HA TERMINADO CON EL C\xE0" "DIGO ") +
         std::to_string(code) + (words.empty() ? std::string() : ": " + words);
}

namespace {

// " has a character that code page 850 lacks", and the character's code
// point as " (U+XXXX".
std::string LacksCharacter(char32_t character) {
  char code[24];
  std::snprintf(code, sizeof code, " (U+%04X", unsigned(character));
  return config::ByLanguage(" T\x90 UN CAR\xB7" "CTER QUE EL CODI DE P\xB7GINA 850 NO T\x90",
                            " TEM UM CAR\xB5" "CTER QUE A P\xB5GINA DE C\xE0" "DIGO 850 NOM TEM",
                            " A UN CAR\xB7" "CTER QUE ETH C\xE3" "DI DE PAGINA 850 NON A",
                            " TIENE UN CAR\xB5" "CTER QUE LA P\xB5GINA DE C\xE0" "DIGOS 850 NO TIENE") +
         code;
}

}  // namespace

std::string RefusedTextFileMessage() {
  config::TextRefusal refusal;
  if (!config::RefusedTextFile(&refusal)) return "";
  const std::string line = std::to_string(refusal.line) + ")";
  return config::ByLanguage("EL FITXER ", "O FICHEIRO ", "ETH FICH\xD4R ", "EL FICHERO ") +
         NativeName(refusal.name) + LacksCharacter(refusal.character) + ", " +
         config::ByLanguage("L\xD6NIA ", "LINHA ", "LINHA ", "L\xD6NEA ") + line;
}

std::string DeviceTextMessage(const std::string& device) {
  // The first character without a code page 850 byte; text that is not
  // UTF-8 counts as U+FFFD.
  char32_t missing = 0xFFFD;
  for (size_t pos = 0; pos < device.size();) {
    char32_t cp = 0;
    size_t length = 1;
    unsigned char byte = 0;
    if (platform::DecodeUtf8(device, pos, &cp, &length) != platform::Utf8Status::kOk) break;
    if (!platform::UnicodeToCp850(cp, &byte)) {
      missing = cp;
      break;
    }
    pos += length;
  }
  return config::ByLanguage("EL DISPOSITIU ", "O DISPOSITIVO ", "ETH DISPOSITIU ",
                            "EL DISPOSITIVO ") +
         platform::Utf8ToCp850(device) + LacksCharacter(missing) + ")";
}

}  // namespace report
