#include "platform/console_records.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(ConsoleRecords, KeyRecordsBecomeTheConsolesEvents) {
  const std::string none = "none";
  struct Case {
    KeyRecord record;
    std::string text;  // none: no event
    uint32_t flags;
  } cases[] = {
      {{true, 0x41, 0x1E, u'a', 0}, "a", 0},
      {{true, 0x41, 0x1E, u'A', kShiftPressed}, "A", kShiftPressed},
      {{false, 0x41, 0x1E, u'a', 0}, none, 0},                        // release
      {{true, 0x10, 0x2A, 0, kShiftPressed}, none, 0},                // Shift alone
      {{true, 0x70, 0x3B, 0, 0}, std::string("\0\x3b", 2), 0},        // F1
      {{true, 0x70, 0x3B, 0, kShiftPressed}, std::string("\0\x3b", 2), kShiftPressed},
      {{true, 0x26, 0x48, 0, kLeftCtrlPressed}, std::string("\0\x48", 2), kLeftCtrlPressed},
      {{true, 0x43, 0x2E, u'c', kLeftAltPressed}, std::string("\0\x2e", 2), kLeftAltPressed},
      {{true, 0x09, 0x0F, u'\t', kShiftPressed}, std::string("\0\x0f", 2), kShiftPressed},
      {{true, 0x0D, 0x1C, u'\r', 0}, "\r", 0},
      {{true, 0x1B, 0x01, 0x1B, 0}, "\x1b", 0},
      {{true, 0x43, 0x2E, 0x03, kLeftCtrlPressed}, "\x03", kLeftCtrlPressed},  // Ctrl+C
      {{true, 0xBA, 0x1A, u'\u00e7', 0}, "\x87", 0},                  // ç in code page 850
      {{true, 0x45, 0x12, u'\u20ac', kRightAltPressed | kLeftCtrlPressed}, "\xd5",
       kRightAltPressed | kLeftCtrlPressed},                          // AltGr+E: €
      {{true, 0x00, 0x00, u'\u4e2d', 0}, none, 0},                    // not in the code page
      {{true, 0xBD, 0x0C, u'-', kLeftAltPressed}, "-", kLeftAltPressed},
  };
  for (const Case& c : cases) {
    ConsoleEvent e;
    bool got = KeyRecordEvent(c.record, &e);
    SCOPED_TRACE(c.record.scanCode);
    EXPECT_EQ(got, c.text != none);
    if (got && c.text != none) {
      EXPECT_EQ(e.text, c.text);
      EXPECT_EQ(e.controlState, c.flags);
    }
  }
}

TEST(ConsoleRecords, MouseRecordsGiveThePressesOnly) {
  struct Case {
    MouseRecord record;
    uint32_t before;
    int code;  // 0: no event
  } cases[] = {
      {{1, 0, 4, 2, 0}, 0, kMouseLeft},
      {{0, 0, 4, 2, 0}, 1, 0},                    // release
      {{1, 1, 5, 2, 0}, 1, 0},                    // drag
      {{3, 0, 4, 2, 0}, 1, kMouseRight},   // right while left is held
      {{4, 0, 4, 2, 0}, 0, kMouseMiddle},
      {{1, 2, 4, 2, 0}, 1, kMouseLeft},    // double click
      {{0, 4, 4, 2, 0}, 0, 0},                    // wheel
  };
  for (const Case& c : cases) {
    ConsoleEvent e;
    bool got = MouseRecordEvent(c.record, c.before, &e);
    EXPECT_EQ(got, c.code != 0);
    if (got) {
      EXPECT_EQ(e.text, std::string("\0\0\x08", 3) + char(c.code));
      EXPECT_EQ(e.mouseRow, 3);
      EXPECT_EQ(e.mouseColumn, 5);
    }
  }
}

}  // namespace
}  // namespace platform
