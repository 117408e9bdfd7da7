#include "report/record_layouts.h"

#include <cstdlib>

namespace report {
namespace {

using T = FieldType;

// FinquesH: the group entries 2..7 are spelled out so that CSV columns have
// names; their offsets follow 164 + 34 (g - 2).
const Field kFinquesFields[] = {
    finques::kCode,
    finques::kName,
    finques::kFee,
    finques::kTaxClass,
    finques::kLastSettled,
    {"base2", 164, 4, T::Int32},  {"group2", 168, 30, T::Text},
    {"base3", 198, 4, T::Int32},  {"group3", 202, 30, T::Text},
    {"base4", 232, 4, T::Int32},  {"group4", 236, 30, T::Text},
    {"base5", 266, 4, T::Int32},  {"group5", 270, 30, T::Text},
    {"base6", 300, 4, T::Int32},  {"group6", 304, 30, T::Text},
    {"base7", 334, 4, T::Int32},  {"group7", 338, 30, T::Text},
    finques::kTaxId,
};

// PropietH: coefficients of groups 1..7 at 211 + 4 (g - 1); the first
// balance block at 239 (entry k amount at 239 + 3 + 7 (k - 1); entries 9
// and 10 with their concept codes), the second block at 354 alike.
const Field kPropietFields[] = {
    propiet::kKey,
    propiet::kOwner,
    propiet::kDesignation,
    {"coef1", 211, 4, T::Int32}, {"coef2", 215, 4, T::Int32},
    {"coef3", 219, 4, T::Int32}, {"coef4", 223, 4, T::Int32},
    {"coef5", 227, 4, T::Int32}, {"coef6", 231, 4, T::Int32},
    {"coef7", 235, 4, T::Int32},
    {"bal1", 242, 4, T::Money},  {"bal2", 249, 4, T::Money},
    {"bal3", 256, 4, T::Money},  {"bal4", 263, 4, T::Money},
    {"bal5", 270, 4, T::Money},  {"bal6", 277, 4, T::Money},
    {"bal7", 284, 4, T::Money},  {"bal8", 291, 4, T::Money},
    {"bal9_concept", 295, 2, T::Int16},  {"bal9", 300, 4, T::Money},
    {"bal10_concept", 304, 2, T::Int16}, {"bal10", 309, 4, T::Money},
    {"second1", 357, 4, T::Money}, {"second2", 364, 4, T::Money},
    {"second3", 371, 4, T::Money}, {"second4", 378, 4, T::Money},
    {"second5", 385, 4, T::Money}, {"second6", 392, 4, T::Money},
    {"second7", 399, 4, T::Money}, {"second8", 406, 4, T::Money},
    {"second9_concept", 410, 2, T::Int16},  {"second9", 415, 4, T::Money},
    {"second10_concept", 419, 2, T::Int16}, {"second10", 424, 4, T::Money},
};

const Field kTHRebutFields[] = {threbut::kConcept, threbut::kDescription, threbut::kFlag};
const Field kTDespesaFields[] = {tdespesa::kCode, tdespesa::kDescription};
const Field kFinDespFields[] = {findesp::kCode, findesp::kText};
const Field kPagamFields[] = {pagam::kCode, pagam::kDate,   pagam::kType,  pagam::kText,
                              pagam::kAmount, pagam::kFlag, pagam::kNumber};
const Field kCobramFields[] = {cobram::kKey, cobram::kDate, cobram::kIn, cobram::kOut,
                               cobram::kState};

template <size_t N>
constexpr size_t Count(const Field (&)[N]) {
  return N;
}

}  // namespace

const ReportFileLayout kLayouts[7] = {
    {"TDespesa", kTDespesa, tdespesa::kLength, kTDespesaFields, Count(kTDespesaFields)},
    {"THRebut", kTHRebut, threbut::kLength, kTHRebutFields, Count(kTHRebutFields)},
    {"FinquesH", kFinquesH, finques::kLength, kFinquesFields, Count(kFinquesFields)},
    {"FinDespH", kFinDespH, findesp::kLength, kFinDespFields, Count(kFinDespFields)},
    {"PropietH", kPropietH, propiet::kLength, kPropietFields, Count(kPropietFields)},
    {"PagamH", kPagamH, pagam::kLength, kPagamFields, Count(kPagamFields)},
    {"CobramH", kCobramH, cobram::kLength, kCobramFields, Count(kCobramFields)},
};

const ReportFileLayout* FindLayout(const std::string& name) {
  for (const ReportFileLayout& l : kLayouts)
    if (name == l.name) return &l;
  return nullptr;
}

int32_t PackedValue(const char* rec, const Field& f) {
  int32_t v = 0;
  for (uint16_t i = 0; i < f.width; ++i)
    v = v * 100 + (static_cast<unsigned char>(rec[f.offset + i]) & 127) % 100;
  return v;
}

int32_t BalanceAmount(const char* propiet, uint16_t block, int k) {
  if (k <= 8)
    return GetInt32(propiet, block + balance::kEntryAmount + balance::kEntryStride * (k - 1));
  return GetInt32(propiet, block + (k == 9 ? balance::kAmount9 : balance::kAmount10));
}

unsigned char BalanceConceptKey(const char* propiet, uint16_t block, int k) {
  if (k <= 8) return static_cast<unsigned char>(k);
  int code = GetInt16(propiet, block + (k == 9 ? balance::kCode9 : balance::kCode10));
  // The code written with two digits (its sign dropped) and packed.
  return static_cast<unsigned char>(128 + std::abs(code) % 100);
}

}  // namespace report
