// The records of the report's seven data files, byte by byte.
//
// The files belong to the suite: other programs write them and this program
// only reads them. Each file's record is described once, here, as a table of
// fields (name, offset, width, type); the settlement reads records through the
// typed accessors below and the data tool (zuldata import/export) walks the
// same tables to turn records into CSV rows and back. Bytes that no field
// names are filler: nothing reads them, and an imported record has zero
// bytes there.
//
// Compatibility: the offsets, widths and record lengths are those of the
// suite's existing files. Changing any of them makes this program misread
// files written by the rest of the suite.
//
// Field types:
//   Packed      decimal digits two per byte, each byte 128 + a two-digit value
//               (dates::Pack / dates::Unpack); CSV: the digit text.
//   PackedDate  a packed YYYYMMDD; four bytes 0x80 is the empty date;
//               CSV: the eight digits (00000000 for the empty date).
//   Int16/Int32 signed little-endian integers.
//   Money       an amount: a signed little-endian int32 of hundredths of a
//               euro; CSV: euros with two decimals (tools/zuldata/euro_amount.h).
//   Text        fixed width, code page 850, right-padded with spaces;
//               CSV: UTF-8, trailing spaces dropped.
//   Byte        one unsigned byte (0-255); CSV: its decimal value.
//
// Keys (creation layouts under suite/ddf follow them):
//   FinquesH  key 0 community code
//   FinDespH  key 0 community code
//   PropietH  key 0 department key (community code + department number)
//   TDespesa  key 0 expense type code
//   THRebut   key 0 the concept byte
//   PagamH    key 0 community code + date (duplicates);
//             key 1 community code + particular flag + number + date (dups)
//   CobramH   key 0 department key + date (duplicates)
//
// No state. No routine here fails: accessors read within the record length,
// and callers size their buffers from RecordLength.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/coding.h"

namespace report {

enum class FieldType { Packed, PackedDate, Int16, Int32, Money, Text, Byte };

struct Field {
  const char* name;  // CSV column name
  uint16_t offset;   // from the start of the record
  uint16_t width;    // bytes
  FieldType type;
};

struct ReportFileLayout {
  const char* name;         // file name under DADES\ ("FinquesH")
  int16_t fileNumber;       // the report's logical file number
  uint16_t recordLength;    // bytes of one record
  const Field* fields;      // in offset order
  size_t fieldCount;
};

// ---------------------------------------------------------------------------
// FinquesH: communities (logical number 511, 388 bytes).
namespace finques {
constexpr uint16_t kLength = 388;
constexpr Field kCode{"code", 0, 2, FieldType::Packed};          // community code, 4 digits
constexpr Field kName{"name", 6, 30, FieldType::Text};           // filing form
constexpr Field kFee{"fee", 110, 4, FieldType::Money};           // fee per department and month
constexpr Field kTaxClass{"tax_class", 114, 2, FieldType::Int16};  // 0 or 1: rate index
constexpr Field kLastSettled{"last_settled", 160, 4, FieldType::PackedDate};
// Groups 2..7: entry g at 164 + 34 (g - 2): base (int32) then name (30).
constexpr uint16_t kGroupEntry = 164;
constexpr uint16_t kGroupStride = 34;
constexpr Field kTaxId{"tax_id", 368, 17, FieldType::Text};      // "ES" + national number
}  // namespace finques

// PropietH: departments and their owners (logical number 513, 428 bytes).
namespace propiet {
constexpr uint16_t kLength = 428;
constexpr Field kKey{"key", 0, 4, FieldType::Packed};    // community (2) + department (2)
constexpr Field kOwner{"owner", 8, 30, FieldType::Text};  // owner's name, filing form
constexpr Field kDesignation{"designation", 38, 10, FieldType::Text};
// Coefficients of groups 1..7, int32 each, from offset 211.
constexpr uint16_t kCoef = 211;
// First balance block (read by the settlement) and the second (not read).
constexpr uint16_t kBalance = 239;
constexpr uint16_t kBalance2 = 354;
}  // namespace propiet

// Balance block (74 bytes), offsets relative to the block.
namespace balance {
constexpr uint16_t kLength = 74;
// Entry k = 1..8: amount (int32) at 3 + 7 (k - 1); its concept is k.
constexpr uint16_t kEntryAmount = 3;
constexpr uint16_t kEntryStride = 7;
constexpr uint16_t kCode9 = 56, kAmount9 = 61;    // entry 9: concept code, amount
constexpr uint16_t kCode10 = 65, kAmount10 = 70;  // entry 10
}  // namespace balance

// THRebut: receipt concept types (logical number 504, 24 bytes).
namespace threbut {
constexpr uint16_t kLength = 24;
constexpr Field kConcept{"concept", 0, 1, FieldType::Byte};  // key byte
constexpr Field kDescription{"description", 1, 20, FieldType::Text};  // not read
constexpr Field kFlag{"balance_flag", 21, 2, FieldType::Int16};  // 1 = counts in balance
}  // namespace threbut

// TDespesa: expense types (logical number 501, 28 bytes).
namespace tdespesa {
constexpr uint16_t kLength = 28;
constexpr Field kCode{"code", 0, 2, FieldType::Packed};  // expense type code (key)
constexpr Field kDescription{"description", 2, 25, FieldType::Text};
}  // namespace tdespesa

// FinDespH: distribution of a community's expenses (logical number 512, 604).
namespace findesp {
constexpr uint16_t kLength = 604;
constexpr Field kCode{"code", 0, 2, FieldType::Packed};
constexpr Field kText{"text", 2, 600, FieldType::Text};  // "HO" + group letter names the fee group
}  // namespace findesp

// PagamH: payments of a community (logical number 515, 44 bytes).
namespace pagam {
constexpr uint16_t kLength = 44;
constexpr Field kCode{"community", 0, 2, FieldType::Packed};
constexpr Field kDate{"date", 2, 4, FieldType::PackedDate};
constexpr Field kType{"expense_type", 8, 2, FieldType::Packed};  // key of TDespesa
constexpr Field kText{"text", 10, 25, FieldType::Text};
constexpr Field kAmount{"amount", 35, 4, FieldType::Money};
constexpr Field kFlag{"particular", 39, 1, FieldType::Text};  // "S" = particular
constexpr Field kNumber{"number", 40, 2, FieldType::Packed};   // department or group
}  // namespace pagam

// CobramH: collections of the departments (logical number 514, 24 bytes).
namespace cobram {
constexpr uint16_t kLength = 24;
constexpr Field kKey{"department", 0, 4, FieldType::Packed};
constexpr Field kDate{"date", 4, 4, FieldType::PackedDate};
constexpr Field kIn{"amount_in", 13, 4, FieldType::Money};    // added to the funds
constexpr Field kOut{"amount_out", 17, 4, FieldType::Money};  // subtracted
constexpr Field kState{"state", 21, 1, FieldType::Text};      // "C"/"I" count
}  // namespace cobram

// Logical file numbers of the report.
constexpr int16_t kTDespesa = 501;
constexpr int16_t kTHRebut = 504;
constexpr int16_t kFinquesH = 511;
constexpr int16_t kFinDespH = 512;
constexpr int16_t kPropietH = 513;
constexpr int16_t kCobramH = 514;
constexpr int16_t kPagamH = 515;

// The seven layouts, in the order the program opens the files.
extern const ReportFileLayout kLayouts[7];

// The layout of a file by name (exact, "FinquesH"), or nullptr.
const ReportFileLayout* FindLayout(const std::string& name);

// ---------------------------------------------------------------------------
// Typed accessors. `rec` is a record of at least offset + width bytes.

inline int32_t GetInt32(const char* rec, size_t offset) {
  return int32_t(platform::DecodeFixed32(rec + offset));
}
inline int16_t GetInt16(const char* rec, size_t offset) {
  return int16_t(platform::DecodeFixed16(rec + offset));
}
inline void PutInt32(char* rec, size_t offset, int32_t v) {
  platform::EncodeFixed32(rec + offset, uint32_t(v));
}
inline void PutInt16(char* rec, size_t offset, int16_t v) {
  platform::EncodeFixed16(rec + offset, uint16_t(v));
}

// The field's bytes as stored.
inline std::string GetBytes(const char* rec, const Field& f) {
  return std::string(rec + f.offset, f.width);
}
inline int32_t GetInt32(const char* rec, const Field& f) { return GetInt32(rec, f.offset); }
inline int16_t GetInt16(const char* rec, const Field& f) { return GetInt16(rec, f.offset); }

// Value of a packed-digit field read as a number: the digits of each byte's
// low seven bits (values above 99 keep their last two digits), so that a
// packed department number 0x8A 0x8B reads 1011.
int32_t PackedValue(const char* rec, const Field& f);

// Group g (2..7) of a FinquesH record: base and name.
inline int32_t GroupBase(const char* finques, int g) {
  return GetInt32(finques, finques::kGroupEntry + finques::kGroupStride * (g - 2));
}
inline std::string GroupName(const char* finques, int g) {
  return std::string(finques + finques::kGroupEntry + finques::kGroupStride * (g - 2) + 4, 30);
}
// Coefficient of group g (1..7) of a PropietH record.
inline int32_t DeptCoefficient(const char* propiet, int g) {
  return GetInt32(propiet, propiet::kCoef + 4 * (g - 1));
}
// Balance entry k (1..10) of the block at `block` in a PropietH record:
// its amount, and its concept key byte (k for entries 1..8; 128 + code mod
// 100 for entries 9 and 10, the packed two-digit code).
int32_t BalanceAmount(const char* propiet, uint16_t block, int k);
unsigned char BalanceConceptKey(const char* propiet, uint16_t block, int k);

}  // namespace report
