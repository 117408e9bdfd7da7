#include "tools/zudavivi/print_messages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "config/session.h"
#include "platform/codepage.h"

namespace zudavivi {
namespace {

// A native path with a space, an apostrophe and UTF-8 letters, as the file
// system names it.
const std::string kPath = "/tmp/Llibre d'\xC3\x89s/LIQ 1.pdf";

struct Message {
  const char* name;
  std::function<std::string()> text;
};

std::vector<Message> EveryMessage() {
  std::vector<Message> all = {
      {"SpoolEmpty", [] { return SpoolEmpty(); }},
      {"SpoolWithoutDevice", [] { return SpoolWithoutDevice(); }},
      {"SecondDeviceRecord", [] { return SecondDeviceRecord(3); }},
      {"SpoolWithoutText", [] { return SpoolWithoutText(); }},
      {"TextPastLastColumn", [] { return TextPastLastColumn(4, 255); }},
      {"PageTooLong", [] { return PageTooLong(2, 256, 255); }},
      {"ArgumentsRefused", [] { return ArgumentsRefused(); }},
      {"NoSpool", [] { return NoSpool(kPath); }},
      {"SpoolUnreadable", [] { return SpoolUnreadable(kPath); }},
      {"SpoolNotWellFormed", [] { return SpoolNotWellFormed(kPath, SpoolEmpty()); }},
      {"CannotCreateDocument", [] { return CannotCreateDocument(kPath, ENOENT); }},
      {"CannotWriteDocument", [] { return CannotWriteDocument(kPath, ENOSPC); }},
      {"CannotCreateTemporaryFile", [] { return CannotCreateTemporaryFile(kPath, EACCES); }},
      {"DocumentSaved", [] { return DocumentSaved(kPath); }},
      {"CannotStart", [] { return CannotStart("lp", ENOENT); }},
      {"PrintServiceMissing", [] { return PrintServiceMissing(CannotStart("lp", ENOENT)); }},
      {"JobRefused", [] { return JobRefused("Sala 2", 1); }},
  };
  for (SpoolFault f :
       {SpoolFault::MalformedPageLength, SpoolFault::MalformedFillColumn, SpoolFault::FillNotClosed,
        SpoolFault::TextAfterFill, SpoolFault::UnknownJustification, SpoolFault::UnknownRecord,
        SpoolFault::MalformedColumn, SpoolFault::MalformedAdvance}) {
    all.push_back({"SpoolRecordFault", [f] { return SpoolRecordFault(7, f, "\"x\""); }});
  }
  for (int e : {0, ENOENT, EACCES, EPERM, ENOSPC, EDQUOT, EFBIG, EROFS, EISDIR, ENOTDIR,
                ENAMETOOLONG, EIO, EXDEV}) {
    all.push_back({"SystemReason", [e] { return SystemReason(e); }});
  }
  return all;
}

class MessagesTest : public ::testing::Test {
 protected:
  void SetUp() override { config::session = config::SessionState(); }
  void TearDown() override { config::session = config::SessionState(); }
  std::string In(const char* language, const std::function<std::string()>& text) {
    config::session.Language = language;
    return text();
  }
};

// Every message, in every language: its own text (no language falls back
// to another's), valid UTF-8, and none of the words of an English message.
TEST_F(MessagesTest, EveryMessageHasItsOwnTextInEachLanguageAndNoEnglish) {
  const char* english[] = {"cannot",     "spool",      "malformed",      "unknown",  "does not",
                           "the ",       "available",  "did not accept", "line ",    "record",
                           "printer",    "ended with", "saved",          "error of", "takes no",
                           "permission", "full"};
  for (const Message& m : EveryMessage()) {
    std::set<std::string> texts;
    for (const char* language : {"CAT", "GLG", "OCI", "SPA"}) {
      std::string text = In(language, m.text);
      texts.insert(text);
      EXPECT_FALSE(text.empty()) << m.name << " " << language;
      // Back to code page 850 and again: only whole UTF-8 sequences survive.
      EXPECT_EQ(platform::Cp850ToUtf8(platform::Utf8ToCp850(text)), text)
          << m.name << " " << language;
      for (const char* word : english) {
        EXPECT_EQ(text.find(word), std::string::npos)
            << m.name << " " << language << ": \"" << text << "\" holds \"" << word << "\"";
      }
    }
    // The numbers in parentheses are the same in every language; anything
    // shorter than a sentence may legitimately be shared by two of them.
    EXPECT_GE(texts.size(), 3u) << m.name << ": languages share their text";
  }
}

TEST_F(MessagesTest, AnyOtherLanguageIsCatalan) {
  for (const Message& m : EveryMessage()) {
    std::string catalan = In("CAT", m.text);
    EXPECT_EQ(In("   ", m.text), catalan) << m.name;
    EXPECT_EQ(In("FRA", m.text), catalan) << m.name;
    EXPECT_EQ(In("spa", m.text), catalan) << m.name;  // the setting is upper case
  }
}

TEST_F(MessagesTest, SpanishAndGalicianTextsKeepPathsNumbersAndRecords) {
  config::session.Language = "SPA";
  EXPECT_EQ(NoSpool(kPath), "no hay ning\xC3\xBAn fichero de impresi\xC3\xB3n que imprimir (" +
                                kPath + " no existe)");
  EXPECT_EQ(SpoolNotWellFormed(
                kPath, SpoolRecordFault(4, SpoolFault::MalformedPageLength, "\"PAGE sixty\"")),
            "fichero de impresi\xC3\xB3n " + kPath +
                ": l\xC3\xADnea 4: n\xC3\xBAmero mal formado en un registro de longitud de "
                "p\xC3\xA1gina: \"PAGE sixty\"");
  EXPECT_EQ(PageTooLong(2, 300, 255),
            "l\xC3\xADnea 2: una p\xC3\xA1gina de 300 l\xC3\xADneas; una p\xC3\xA1gina tiene "
            "como m\xC3\xA1ximo 255");
  EXPECT_EQ(CannotWriteDocument(kPath, ENOSPC),
            "no se puede escribir el documento " + kPath + ": el disco est\xC3\xA1 lleno");
  EXPECT_EQ(JobRefused("Sala \"2\"", 4),
            "el servicio de impresi\xC3\xB3n no ha aceptado el trabajo para la impresora "
            "\"Sala \"2\"\" (lp ha terminado con el c\xC3\xB3" "digo 4)");
  EXPECT_EQ(SystemReason(12345), "error 12345 del sistema");

  config::session.Language = "GLG";
  EXPECT_EQ(CannotCreateDocument(kPath, EACCES),
            "nom se pode criar o documento " + kPath + ": permissom negada");
  EXPECT_EQ(TextPastLastColumn(9, 255),
            "linha 9: o texto passa da coluna 255, a \xC3\xBAltima que cabe numha p\xC3\xA1gina");
  EXPECT_EQ(DocumentSaved(kPath), "documento gravado em " + kPath);
}

}  // namespace
}  // namespace zudavivi
