#include "platform/console_input.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

struct Parsed {
  InputParse result;
  std::string text;
  uint32_t flags;
};

// Parses one key from the bytes, as if the input had gone quiet after them.
Parsed One(std::string bytes, bool quiet = true) {
  ConsoleEvent e;
  InputParse r;
  do {
    r = ParseTerminalInput(&bytes, quiet, &e);
  } while (r == InputParse::kDropped && !bytes.empty());
  return {r, r == InputParse::kEvent ? e.text : std::string(), e.controlState};
}

std::string Ext(unsigned char scan) { return std::string(1, '\0') + char(scan); }

// Everything the bytes decode to, as "text/flags" items.
std::vector<std::string> All(std::string bytes) {
  std::vector<std::string> out;
  ConsoleEvent e;
  for (;;) {
    InputParse r = ParseTerminalInput(&bytes, true, &e);
    if (r == InputParse::kNone) break;
    if (r != InputParse::kEvent) continue;
    std::string item;
    for (unsigned char c : e.text) item += std::to_string(c) + ".";
    out.push_back(item + "/" + std::to_string(e.controlState));
  }
  return out;
}

TEST(ConsoleInput, FunctionKeysWithModifiersAsTmuxSendsThem) {
  EXPECT_EQ(One("\x1bOP").text, Ext(0x3B));
  Parsed sf1 = One("\x1b[1;2P");
  EXPECT_EQ(sf1.text, Ext(0x3B));
  EXPECT_EQ(sf1.flags, kShiftPressed);
  Parsed cf4 = One("\x1b[1;5S");
  EXPECT_EQ(cf4.text, Ext(0x3E));
  EXPECT_EQ(cf4.flags, kLeftCtrlPressed);
  Parsed af2 = One("\x1b[1;3Q");
  EXPECT_EQ(af2.text, Ext(0x3C));
  EXPECT_EQ(af2.flags, kLeftAltPressed);
  EXPECT_EQ(One("\x1b[15~").text, Ext(0x3F));   // F5
  EXPECT_EQ(One("\x1b[21~").text, Ext(0x44));   // F10
  EXPECT_EQ(One("\x1b[23~").text, Ext(0x85));   // F11
  Parsed sf12 = One("\x1b[24;2~");
  EXPECT_EQ(sf12.text, Ext(0x86));
  EXPECT_EQ(sf12.flags, kShiftPressed);
  EXPECT_EQ(One("\x1b[[A").text, Ext(0x3B));    // Linux console F1
  Parsed cf1 = One("\x1b[11^");                 // rxvt Ctrl+F1
  EXPECT_EQ(cf1.text, Ext(0x3B));
  EXPECT_EQ(cf1.flags, kLeftCtrlPressed);
}

TEST(ConsoleInput, CursorAndEditingKeys) {
  EXPECT_EQ(One("\x1b[A").text, Ext(0x48));
  EXPECT_EQ(One("\x1bOB").text, Ext(0x50));  // application cursor mode
  EXPECT_EQ(One("\x1b[D").text, Ext(0x4B));
  Parsed cr = One("\x1b[1;5C");
  EXPECT_EQ(cr.text, Ext(0x4D));
  EXPECT_EQ(cr.flags, kLeftCtrlPressed);
  Parsed ch = One("\x1b[1;5H");
  EXPECT_EQ(ch.text, Ext(0x47));
  EXPECT_EQ(ch.flags, kLeftCtrlPressed);
  EXPECT_EQ(One("\x1b[1~").text, Ext(0x47));
  EXPECT_EQ(One("\x1b[4~").text, Ext(0x4F));
  EXPECT_EQ(One("\x1b[F").text, Ext(0x4F));
  EXPECT_EQ(One("\x1b[5~").text, Ext(0x49));
  EXPECT_EQ(One("\x1b[6~").text, Ext(0x51));
  EXPECT_EQ(One("\x1b[2~").text, Ext(0x52));
  EXPECT_EQ(One("\x1b[3~").text, Ext(0x53));
  EXPECT_EQ(One("\x1b[E").text, Ext(0x4C));
  Parsed bt = One("\x1b[Z");
  EXPECT_EQ(bt.text, Ext(0x0F));
  EXPECT_EQ(bt.flags, kShiftPressed);
  Parsed altEnd = One("\x1b[1;3F");
  EXPECT_EQ(altEnd.text, Ext(0x4F));
  EXPECT_EQ(altEnd.flags, kLeftAltPressed);
  Parsed altUp = One("\x1b\x1b[A");  // rxvt: ESC before the sequence
  EXPECT_EQ(altUp.text, Ext(0x48));
  EXPECT_EQ(altUp.flags, kLeftAltPressed);
}

TEST(ConsoleInput, PlainKeysAndCharacters) {
  EXPECT_EQ(One("\r").text, "\r");
  EXPECT_EQ(One("\t").text, "\t");
  EXPECT_EQ(One("\x7f").text, "\x08");
  EXPECT_EQ(One("\x03").text, "\x03");
  EXPECT_EQ(One("a").text, "a");
  EXPECT_EQ(One("\xc3\xa9").text, "\x82");      // é
  EXPECT_EQ(One("\xe2\x82\xac").text, "\xd5");  // euro sign
  EXPECT_EQ(One("\xe2\x94\x8c").text, "\xda");  // box corner
  // No code page byte: dropped, nothing delivered.
  EXPECT_TRUE(All("\xe4\xb8\xad").empty());
  // Malformed UTF-8 is dropped byte by byte; the next key survives.
  EXPECT_EQ(All("\xc3x"), (std::vector<std::string>{"120./0"}));
  // Over-long forms of "A" and of a surrogate type nothing.
  EXPECT_EQ(All("\xc1\x81\xe0\x81\x81\xed\xa0\x80z"), (std::vector<std::string>{"122./0"}));
}

TEST(ConsoleInput, EscapeAloneAndAltLetters) {
  std::string esc = "\x1b";
  ConsoleEvent e;
  EXPECT_EQ(ParseTerminalInput(&esc, false, &e), InputParse::kIncomplete);
  EXPECT_EQ(One("\x1b").text, "\x1b");
  Parsed ax = One("\x1bx");
  EXPECT_EQ(ax.text, Ext(0x2D));
  EXPECT_EQ(ax.flags, kLeftAltPressed);
  EXPECT_EQ(One("\x1b" "c").text, Ext(0x2E));
  EXPECT_EQ(One("\x1b" "e").text, Ext(0x12));
  EXPECT_EQ(One("\x1b" "f").text, Ext(0x21));
  Parsed shifted = One("\x1bX");
  EXPECT_EQ(shifted.text, Ext(0x2D));
  EXPECT_EQ(shifted.flags, kLeftAltPressed | kShiftPressed);
  Parsed comma = One("\x1b,");
  EXPECT_EQ(comma.text, ",");
  EXPECT_EQ(comma.flags, kLeftAltPressed);
  // Esc pressed twice.
  EXPECT_EQ(All("\x1b\x1b"), (std::vector<std::string>{"27./0", "27./0"}));
}

TEST(ConsoleInput, IncompleteSequencesWaitThenDropWhole) {
  std::string partial = "\x1b[1;5";
  ConsoleEvent e;
  EXPECT_EQ(ParseTerminalInput(&partial, false, &e), InputParse::kIncomplete);
  partial += "C";
  EXPECT_EQ(ParseTerminalInput(&partial, false, &e), InputParse::kEvent);
  EXPECT_EQ(e.text, Ext(0x4D));
  EXPECT_TRUE(partial.empty());
  // Gone quiet in the middle: dropped, never stray characters.
  EXPECT_TRUE(All("\x1b[1;5").empty());
  EXPECT_TRUE(All("\x1bO").size() == 1);  // Alt+Shift+O, a real key
}

TEST(ConsoleInput, UnknownSequencesAreDroppedWhole) {
  EXPECT_EQ(All("\x1b[99~a"), (std::vector<std::string>{"97./0"}));
  EXPECT_EQ(All("\x1b[?1;2c" "b"), (std::vector<std::string>{"98./0"}));
  EXPECT_EQ(All("\x1b[200~"), std::vector<std::string>{});
  EXPECT_EQ(All("\x1b[3C"), std::vector<std::string>{});
  EXPECT_EQ(All("\x1bOz" "c"), (std::vector<std::string>{"99./0"}));
  EXPECT_EQ(All("\x1b[1;5\x01"), (std::vector<std::string>{"1./0"}));
}

TEST(ConsoleInput, MousePressesOnly) {
  std::string sgr = "\x1b[<0;12;5M";
  ConsoleEvent e;
  ASSERT_EQ(ParseTerminalInput(&sgr, true, &e), InputParse::kEvent);
  EXPECT_EQ(e.text, std::string("\0\0\x08\x01", 4));
  EXPECT_EQ(e.mouseRow, 5);
  EXPECT_EQ(e.mouseColumn, 12);
  std::string right = "\x1b[<2;3;4M";
  ASSERT_EQ(ParseTerminalInput(&right, true, &e), InputParse::kEvent);
  EXPECT_EQ(e.text[3], kMouseRight);
  EXPECT_TRUE(All("\x1b[<0;12;5m").empty());   // release
  EXPECT_TRUE(All("\x1b[<64;12;5M").empty());  // wheel
  std::string x10 = std::string("\x1b[M") + char(32) + char(32 + 7) + char(32 + 2);
  ASSERT_EQ(ParseTerminalInput(&x10, true, &e), InputParse::kEvent);
  EXPECT_EQ(e.mouseRow, 2);
  EXPECT_EQ(e.mouseColumn, 7);
}

TEST(ConsoleInput, ScanCodes) {
  EXPECT_EQ(ScanCodeOfKey('q'), 0x10);
  EXPECT_EQ(ScanCodeOfKey('Z'), 0x2C);
  EXPECT_EQ(ScanCodeOfKey('1'), 0x02);
  EXPECT_EQ(ScanCodeOfKey('0'), 0x0B);
  EXPECT_EQ(ScanCodeOfKey('l'), 0x26);
  EXPECT_EQ(ScanCodeOfKey('-'), 0);
}

}  // namespace
}  // namespace platform
