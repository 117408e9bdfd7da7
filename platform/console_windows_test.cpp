// The Windows console back end's system services: while it runs, the
// clipboard and the keyboard state table are the system's. The test takes
// the console through its own handles (ctest collects the standard output
// through a pipe), making one when the program has none.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/console.h"

namespace platform {
namespace {

std::wstring SystemClipboard() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return L"(cannot open)";
  HANDLE block = GetClipboardData(CF_UNICODETEXT);
  if (const WCHAR* p = block ? static_cast<const WCHAR*>(GlobalLock(block)) : nullptr) {
    text = p;
    GlobalUnlock(block);
  }
  CloseClipboard();
  return text;
}

bool PutOnSystemClipboard(const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(WCHAR));
  WCHAR* p = static_cast<WCHAR*>(GlobalLock(block));
  std::copy(text.c_str(), text.c_str() + text.size() + 1, p);
  GlobalUnlock(block);
  bool ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  CloseClipboard();
  return ok;
}

// The console's input and output as the standard handles for the life of
// the object; the handles before are put back after.
class ConsoleHandles {
 public:
  ConsoleHandles() {
    HANDLE probe = Open(L"CONOUT$");
    if (probe == INVALID_HANDLE_VALUE) {
      AllocConsole();
    } else {
      CloseHandle(probe);
    }
    in_ = Swap(STD_INPUT_HANDLE, L"CONIN$");
    out_ = Swap(STD_OUTPUT_HANDLE, L"CONOUT$");
  }
  ~ConsoleHandles() {
    CloseHandle(GetStdHandle(STD_INPUT_HANDLE));
    CloseHandle(GetStdHandle(STD_OUTPUT_HANDLE));
    SetStdHandle(STD_INPUT_HANDLE, in_);
    SetStdHandle(STD_OUTPUT_HANDLE, out_);
  }

 private:
  static HANDLE Open(const wchar_t* name) {
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
  }
  static HANDLE Swap(DWORD which, const wchar_t* name) {
    HANDLE before = GetStdHandle(which);
    SetStdHandle(which, Open(name));
    return before;
  }
  HANDLE in_, out_;
};

TEST(WindowsConsole, TheClipboardAndTheKeyboardTableAreTheSystems) {
  ConsoleHandles handles;
  ASSERT_TRUE(ConsoleStartWith(ConsoleBackendKind::kTerminal)) << "no console";
  // Ctrl+C: code page 850 in, Unicode on the system's clipboard.
  ClipboardSet("CAN \x80" "ARB\xB7S");
  EXPECT_EQ(SystemClipboard(), L"CAN \u00c7ARB\u00c0S");
  // Ctrl+V: what another program put there, back in code page 850; a
  // character the code page lacks is left out.
  ASSERT_TRUE(PutOnSystemClipboard(L"15/06/26 \u00d1\u2019X"));
  EXPECT_EQ(ClipboardGet(), "15/06/26 \xA5X");

  // The Insert toggle written through the console reads back from the
  // system's table, and what the system's table holds is what the console
  // reads.
  unsigned char table[256] = {};
  table[kVirtualKeyInsert] = 1;
  SetKeyboardState(table);
  BYTE system[256] = {};
  ASSERT_TRUE(::GetKeyboardState(system));
  EXPECT_EQ(system[kVirtualKeyInsert] & 1, 1);
  system[kVirtualKeyInsert] = 0;
  ASSERT_TRUE(::SetKeyboardState(system));
  GetKeyboardState(table);
  EXPECT_EQ(table[kVirtualKeyInsert], 0);
  ConsoleEnd();
}

}  // namespace
}  // namespace platform
