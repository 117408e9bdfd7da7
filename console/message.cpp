// ShowMessage: the centred message box of the data-file layer's error and
// wait messages.
#include "console/message.h"

#include <string>

#include "config/language.h"
#include "console/colours.h"
#include "console/keyboard.h"
#include "console/screen.h"
#include "console/windows.h"
#include "format/text_utils.h"
#include "platform/codepage.h"
#include "platform/console.h"

namespace console {
namespace {

const int16_t kLineWidth = 76;  // widest line: the box then spans columns 1-80
const int kCentreColumn = 41;

}  // namespace

bool ShowMessage(int16_t row, const std::string& text) {
  SetColourRole("+rh");
  std::string laid = text;
  format::WrapParagraph(laid, 0, kLineWidth, "i");
  // Whole lines only: a partial last line would land on the bottom frame.
  if (laid.size() % kLineWidth != 0) laid.append(kLineWidth - laid.size() % kLineWidth, ' ');
  int n = static_cast<int>(laid.size() / kLineWidth);
  auto line = [&laid](int k) {  // line k from 0, without its trailing blanks
    return format::TrimTrailingBlanks(laid.substr(k * kLineWidth, kLineWidth));
  };

  int top = row - (n + 1) / 2 - 2;
  if (top < 1) top = 1;
  int bottom = top + n + 1;
  if (bottom > ScreenRows()) {
    bottom = ScreenRows();
    top = bottom - n - 1;
  }
  int left = 0, right = 0;
  for (int k = 0; k < n; ++k) {
    int len = static_cast<int>(line(k).size());
    if (right - left < len + 4) {
      left = kCentreColumn - (len + 1) / 2 - 2;
      right = len / 2 + kCentreColumn + 1;
    }
  }
  if (top < 1 || !PushMessageWindow(static_cast<int16_t>(top), static_cast<int16_t>(left),
                                    static_cast<int16_t>(bottom),
                                    static_cast<int16_t>(right))) {
    SetColourRole("-");
    return false;
  }
  DrawFrame(1);
  for (int k = 0; k < n; ++k) {
    LocateInWindow(static_cast<int16_t>(k + 1), 2);
    platform::ConsoleWrite(line(k));
  }
  SetColourRole("-");
  // Callers often go on working (waiting on a lock, printing) without
  // reading keys, which is when the terminal is otherwise brought up to date.
  platform::ConsoleFlush();
  return true;
}

void ShowMessageAndWait(int16_t row, const std::string& text, bool bell) {
  bool shown = ShowMessage(row, text);
  if (bell) Bell();
  DiscardKeys();
  WaitKey();
  if (shown) PopWindow();
}

// 0x90 is "É", 0xB5 "Á", 0xD4 "È", 0xE0 "Ó", 0xE3 "Ò" in code page 850.
std::string TerminalFileMessage(const std::string& nativePath) {
  return config::ByLanguage("NO ES POT ESCRIURE EL FITXER ", "NOM SE PODE ESCREVER O FICHEIRO ",
                            "NON SE P\xE3T ESCRIUER ETH FICH\xD4R ",
                            "NO SE PUEDE ESCRIBIR EL FICHERO ") +
         platform::Utf8ToCp850(nativePath) +
         config::ByLanguage(" (EL DIRECTORI DEL TERMINAL \x90S PLE O NO S'HI POT ESCRIURE)",
                            " (O DIRECT\xE0RIO DO TERMINAL EST\xB5 CHEIO OU NOM SE PODE "
                            "ESCREVER NEL)",
                            " (ETH DIRECTORI DETH TERMINAU \x90S PLEN O NON I SE P\xE3T ESCRIUER)",
                            " (EL DIRECTORIO DEL TERMINAL EST\xB5 LLENO O NO SE PUEDE "
                            "ESCRIBIR EN \x90L)");
}

// 0xA5 is "Ñ" in code page 850.
std::string TerminalTooSmallText() {
  const std::string size =
      std::to_string(platform::console.columns) + " x " + std::to_string(platform::console.rows);
  return config::ByLanguage("TERMINAL MASSA PETIT: CAL ",
                            "TERMINAL DEMASIADO PEQUENO: PRECISA-SE ",
                            "TERMINAU MASSA PETIT: CAU ",
                            "TERMINAL DEMASIADO PEQUE\xA5O: SE NECESITA ") +
         size;
}

}  // namespace console
