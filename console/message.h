// Message boxes: the framed, centred box in which the data-file layer tells
// the operator that a file cannot be opened or is locked, and in which a
// program reports what stops it.
//
// State: none of its own; the box is a pushed window (windows.h).
#pragma once

#include <cstdint>
#include <string>

namespace console {

// Shows the text in a framed box centred on column 41, its lines (76
// characters at most) ending near `row`, in colour role "rh"; the box's
// window is left open for the caller to pop. Returns true when the window
// was pushed, false when the message does not fit on the screen (nothing
// shown, nothing to pop). The colour role in force is unchanged. The box is
// on the terminal when this returns, even if no key is read afterwards.
bool ShowMessage(int16_t row, const std::string& text);

// A message the operator must see before the program goes on: ShowMessage,
// the bell (unless `bell` is false: a message that reports no fault), the
// keys typed before it dropped, one key waited for (any key, or a mouse
// click), and the box removed again.
void ShowMessageAndWait(int16_t row, const std::string& text, bool bell = true);

// A file of the terminal's folder (the window stack, the browse list's
// cache, the calculator's tape) that cannot be written, by its native path
// (UTF-8), in the session's language: "NO ES POT ESCRIURE EL FITXER
// /t/TERM01/WinPush.tmp (EL DIRECTORI DEL TERMINAL \x90S PLE O NO S'HI POT
// ESCRIURE)".
std::string TerminalFileMessage(const std::string& nativePath);

// The text a terminal smaller than the console shows instead of the screen
// (platform::console.tooSmallText), in the session's language, naming the
// console's size ("TERMINAL MASSA PETIT: CAL 80 x 25").
std::string TerminalTooSmallText();

}  // namespace console
