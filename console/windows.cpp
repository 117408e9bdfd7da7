// Windows: coordinates in the current window, frames and scrolling over the
// platform console, and PushWindow and PopWindow, the window stack kept in
// WinPush.tmp (layout in window_stack_format.h). The stack file is opened
// for each push or pop and closed again at once, so nothing stays open while
// a pop-up runs.
#include "console/windows.h"

#include <algorithm>
#include <string>

#include "config/session.h"
#include "console/screen.h"
#include "console/window_stack_format.h"
#include "platform/coding.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/record_file.h"

namespace console {
namespace {

std::string StackPath() {
  return platform::SuitePath(config::session.TempDir + winpush::kFileName);
}

// The rightmost `width` digits of the zero-padded decimal form.
std::string Digits(int value, int width) {
  std::string s = std::to_string(value < 0 ? -value : value);
  if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), '0');
  return s.substr(s.size() - width);
}

// The number in a field of decimal digits; -1 when it is not all digits.
int ReadDigits(const std::string& bytes, size_t at, int width) {
  if (at + width > bytes.size()) return -1;
  int v = 0;
  for (int k = 0; k < width; ++k) {
    char c = bytes[at + k];
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

std::string EncodeTop(int32_t top) {
  std::string s;
  platform::PutFixed32(&s, static_cast<uint32_t>(top));
  return s;
}

// The stack top stored in an open file: 5 for a file of 3 bytes or less,
// and for a header that points outside the file (a damaged stack starts
// over rather than growing the file without bound).
int32_t StackTop(const platform::RecordFile& f, int64_t size) {
  if (size <= 3) return winpush::kEmptyStackTop;
  std::string header;
  if (!platform::ReadAt(f, 0, winpush::kHeaderSize, &header)) return winpush::kEmptyStackTop;
  int32_t top = static_cast<int32_t>(platform::DecodeFixed32(header.data()));
  if (top < winpush::kEmptyStackTop || top > size + 1) return winpush::kEmptyStackTop;
  return top;
}

bool OnScreen(int row, int column) {
  return row >= 1 && row <= ScreenRows() && column >= 1 && column <= ScreenColumns();
}

// Cells of a rectangle; an inverted one has none.
int32_t CellCount(int top, int left, int bottom, int right) {
  if (bottom < top || right < left) return 0;
  return (bottom - top + 1) * (right - left + 1);
}

}  // namespace

void LocateInWindow(int16_t row, int16_t column) {
  if (screen.WindowDepth > 0) {
    // Computed in int: a sum beyond 16 bits is off the screen either way.
    int r = row + screen.WindowTop, c = column + screen.WindowLeft;
    platform::ConsoleLocate(static_cast<int16_t>(std::clamp(r, 0, 32767)),
                            static_cast<int16_t>(std::clamp(c, 0, 32767)));
  } else {
    platform::ConsoleLocate(row, column);
  }
}

int16_t InnerTop() { return screen.WindowDepth > 0 ? int16_t(screen.WindowTop + 1) : int16_t(1); }

int16_t InnerLeft() {
  return screen.WindowDepth > 0 ? int16_t(screen.WindowLeft + 1) : int16_t(1);
}

int16_t InnerRight() {
  return screen.WindowDepth > 0 ? int16_t(screen.WindowRight - 1) : ScreenColumns();
}

void DrawFrame(int16_t style) {
  if (screen.WindowDepth <= 0) return;
  // Code page 850 box-drawing bytes: top-left, top-right, bottom-left,
  // bottom-right, horizontal, vertical.
  static const char kStyles[3][6] = {
      {' ', ' ', ' ', ' ', ' ', ' '},
      {'\xDA', '\xBF', '\xC0', '\xD9', '\xC4', '\xB3'},
      {'\xC9', '\xBB', '\xC8', '\xBC', '\xCD', '\xBA'},
  };
  if (style < 0 || style > 2) return;
  const char* s = kStyles[style];
  int16_t top = screen.WindowTop, left = screen.WindowLeft;
  int16_t bottom = screen.WindowBottom, right = screen.WindowRight;
  size_t inner = static_cast<size_t>(std::max(0, right - left - 1));
  platform::ConsoleLocate(top, left);
  platform::ConsoleWrite(s[0] + std::string(inner, s[4]) + s[1]);
  for (int row = top + 1; row <= bottom - 1; ++row) {
    platform::ConsoleLocate(static_cast<int16_t>(row), left);
    platform::ConsoleWrite(s[5] + std::string(inner, ' ') + s[5]);
  }
  platform::ConsoleLocate(bottom, left);
  platform::ConsoleWrite(s[2] + std::string(inner, s[4]) + s[3]);
}

int16_t RowInWindow(int16_t absoluteRow) {
  return static_cast<int16_t>(screen.WindowDepth > 0 ? absoluteRow - screen.WindowTop
                                                     : absoluteRow);
}

int16_t ColumnInWindow(int16_t absoluteColumn) {
  return static_cast<int16_t>(screen.WindowDepth > 0 ? absoluteColumn - screen.WindowLeft
                                                     : absoluteColumn);
}

void ClearScreen() {
  for (int16_t row = 1; row <= ScreenRows(); ++row) {
    platform::ConsoleLocate(row, 1);
    platform::ConsoleWriteSpaces(ScreenColumns());
  }
  platform::ConsoleLocate(1, 1);
}

void ScrollRegion(int16_t top, int16_t left, int16_t bottom, int16_t right, int16_t lines) {
  auto one = [](int16_t v) { return static_cast<int16_t>(std::min(v + 1, 32767)); };
  platform::ConsoleScroll(one(top), one(left), one(bottom), one(right), lines);
}

bool PushWindow(int16_t top, int16_t left, int16_t bottom, int16_t right) {
  if (!OnScreen(top, left) || !OnScreen(bottom, right)) return false;
  std::string path = StackPath();
  platform::RecordFile f;
  if (!platform::OpenRecordFile(path, platform::RecordOpen::kCreate, &f)) return false;
  int64_t size = platform::RecordFileSize(f);
  int32_t at = StackTop(f, size < 0 ? 0 : size);

  std::string record;
  for (int v : {int(platform::ConsoleCursorRow()), int(platform::ConsoleCursorColumn()),
                int(screen.WindowTop), int(screen.WindowLeft), int(screen.WindowBottom),
                int(screen.WindowRight), int(top), int(left), int(bottom), int(right)}) {
    record += Digits(v, winpush::kNumberWidth);
  }
  for (int r = top; r <= bottom; ++r) {
    for (int c = left; c <= right; ++c) {
      unsigned char ch = ' ', attr = 0;
      platform::ConsoleReadCell(static_cast<int16_t>(r), static_cast<int16_t>(c), &ch, &attr);
      record += static_cast<char>(ch);
      record += static_cast<char>(attr);
    }
  }
  int32_t length = winpush::RecordLength(CellCount(top, left, bottom, right));
  record += Digits(length, winpush::kLengthWidth);

  bool ok = platform::WriteAt(f, at - 1, record) &&
            platform::WriteAt(f, 0, EncodeTop(at + length));
  ok = platform::CloseRecordFile(&f) && ok;
  if (!ok) return false;
  screen.WindowTop = top;
  screen.WindowLeft = left;
  screen.WindowBottom = bottom;
  screen.WindowRight = right;
  ++screen.WindowDepth;
  return true;
}

bool PopWindow() {
  std::string path = StackPath();
  platform::RecordFile f;
  if (!platform::OpenRecordFile(path, platform::RecordOpen::kExisting, &f)) return false;
  int64_t size = platform::RecordFileSize(f);
  if (size <= 3) {
    platform::CloseRecordFile(&f);
    platform::RemoveFile(path);
    return false;
  }
  if (screen.WindowDepth > 0) --screen.WindowDepth;

  // The record ends just before the stack top P; its length L is the five
  // digits before P, and it starts at P - L.
  int32_t top = StackTop(f, size);
  std::string lengthText, record;
  int length = -1;
  if (top - 1 >= winpush::RecordLength(0) + winpush::kHeaderSize &&
      platform::ReadAt(f, top - 1 - winpush::kLengthWidth, winpush::kLengthWidth, &lengthText)) {
    length = ReadDigits(lengthText, 0, winpush::kLengthWidth);
  }
  int32_t start = top - length;  // the new stack top
  bool ok = length >= winpush::RecordLength(0) && start >= winpush::kEmptyStackTop &&
            platform::ReadAt(f, start - 1, static_cast<size_t>(length), &record);
  int field[10] = {};
  for (int k = 0; ok && k < 10; ++k) {
    field[k] = ReadDigits(record, k * winpush::kNumberWidth, winpush::kNumberWidth);
    ok = field[k] >= 0;
  }
  int rTop = field[6], rLeft = field[7], rBottom = field[8], rRight = field[9];
  ok = ok && OnScreen(rTop, rLeft) && OnScreen(rBottom, rRight) &&
       winpush::RecordLength(CellCount(rTop, rLeft, rBottom, rRight)) == length;
  if (!ok) {
    // A damaged stack cannot be walked any further: nothing is restored.
    platform::CloseRecordFile(&f);
    platform::RemoveFile(path);
    return false;
  }

  screen.WindowTop = static_cast<int16_t>(field[2]);
  screen.WindowLeft = static_cast<int16_t>(field[3]);
  screen.WindowBottom = static_cast<int16_t>(field[4]);
  screen.WindowRight = static_cast<int16_t>(field[5]);
  size_t at = winpush::kCells;
  for (int r = rTop; r <= rBottom; ++r) {
    for (int c = rLeft; c <= rRight; ++c, at += 2) {
      unsigned char attr = static_cast<unsigned char>(record[at + 1]);
      platform::ConsoleSetColours(attr % 16, attr / 16);
      platform::ConsoleLocate(static_cast<int16_t>(r), static_cast<int16_t>(c));
      platform::ConsoleWrite(std::string(1, record[at]));
    }
  }
  platform::ConsoleLocate(static_cast<int16_t>(field[0]), static_cast<int16_t>(field[1]));

  platform::WriteAt(f, 0, EncodeTop(start));
  platform::CloseRecordFile(&f);
  if (start < winpush::kEmptyStackTop + 1) platform::RemoveFile(path);
  // A message popped before more work must not linger on the terminal.
  platform::ConsoleFlush();
  return true;
}

}  // namespace console
