#include "report/settlement.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "config/catalogue.h"
#include "datafile/record_ops.h"
#include "dates/date_math.h"
#include "format/text_utils.h"
#include "report/captions.h"
#include "report/department_figures.h"
#include "report/printout.h"
#include "report/record_layouts.h"
#include "report/report_state.h"

namespace report {

ReportState state;

namespace {

constexpr int32_t kGeneralBase = 1000000;  // base of group 1
using datafile::kSeekEqual;
using datafile::kSeekGreaterOrEqual;
using datafile::kSkipNext;
using datafile::kStatusEndOfFile;
using datafile::kStatusKeyNotFound;
using datafile::kStatusOk;

std::string Bytes(const char* rec, size_t offset, size_t width) {
  return std::string(rec + offset, width);
}

// The community code of the community in the FinquesH buffer.
std::string CommunityCode() { return Bytes(state.FinquesH.data(), finques::kCode.offset, 2); }

// The first two bytes of the PropietH buffer: its community.
bool DepartmentOfCommunity(const std::string& code) {
  return std::memcmp(state.PropietH.data(), code.data(), 2) == 0;
}

// Notes the first failed read of the pass.
void NoteFailure(int16_t fileNumber, int16_t status) {
  if (state.FailedFile != 0) return;
  state.FailedFile = fileNumber;
  state.FailedStatus = status;
}

bool Stopped() { return state.FailedFile != 0; }

// Whether a walk over `fileNumber` goes on after a read with `status`:
// only on 0, and only while the pass has not stopped. End of file ends the
// walk; any other status also stops the pass.
bool WalkOn(int16_t fileNumber, int16_t status) {
  if (status != kStatusOk && status != kStatusEndOfFile) NoteFailure(fileNumber, status);
  return status == kStatusOk && !Stopped();
}

// Checks a single exact read: found, or not there, are both expected.
void SingleRead(int16_t fileNumber, int16_t status) {
  if (status != kStatusOk && status != kStatusKeyNotFound && status != kStatusEndOfFile)
    NoteFailure(fileNumber, status);
}

}  // namespace

void CheckSingleRead(int16_t fileNumber, int16_t status) { SingleRead(fileNumber, status); }

std::string ReportFileName(int16_t fileNumber) {
  for (const ReportFileLayout& file : kLayouts)
    if (file.fileNumber == fileNumber) return std::string("DADES\\") + file.name;
  return "";
}

int32_t Nearest(double x) {
  if (!(x == x)) return 0;  // not a number: no amount
  if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  // nearbyint rounds in the current mode; the program never leaves the
  // default, round to nearest with halves to even.
  return static_cast<int32_t>(std::nearbyint(x));
}

int32_t AddMoney(int32_t a, int64_t b) {
  int64_t s = int64_t(a) + b;
  if (s > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (s < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return int32_t(s);
}

bool PeriodAlreadySettled(const std::string& lastSettled, const std::string& selectionDate) {
  if (format::IsAllChar(lastSettled, 128)) return false;
  return selectionDate <= lastSettled;
}

int16_t SettlementMonths(const std::string& lastSettled, const std::string& selectionDate) {
  if (format::IsAllChar(lastSettled, 128)) return 0;
  if (PeriodAlreadySettled(lastSettled, selectionDate)) return 0;
  int32_t m = dates::DateDiff(lastSettled, selectionDate, "m");
  return m > 32767 ? int16_t(32767) : int16_t(m);
}

bool WithholdingApplies(const std::string& administratorId, const std::string& communityId) {
  // A missing third character compares as the empty text: below "A".
  auto third = [](const std::string& s) { return s.size() >= 3 ? (unsigned char)s[2] : -1; };
  if (administratorId.compare(0, 2, "ES") != 0 || administratorId.size() < 2) return false;
  int a = third(administratorId);
  if (!(a < 'A' || a > 'W')) return false;
  if (communityId.compare(0, 2, "ES") != 0 || communityId.size() < 2) return false;
  int c = third(communityId);
  return c >= 'A' && c <= 'W';
}

int32_t CommunityFees(int32_t departments, int32_t fee, int32_t months, float vat,
                      float withholding) {
  int64_t wide = int64_t(departments) * fee * months;
  int32_t base = AddMoney(0, wide);
  int32_t fees = AddMoney(base, Nearest(double(vat) * base / 100.0));
  return AddMoney(fees, -int64_t(Nearest(double(withholding) * base / 100.0)));
}

int FeeGroup(const std::string& distributionText) {
  size_t at = distributionText.find("HO");
  if (at == std::string::npos || at + 2 >= distributionText.size()) return 1;
  static const std::string kGroups = "ABCDEFG";
  size_t p = kGroups.find(distributionText[at + 2]);
  return p == std::string::npos ? 1 : int(p) + 1;
}

int32_t Share(int32_t expense, int32_t base, int32_t coefficient) {
  if (base == 0) return 0;
  return Nearest(double(expense) / double(base) * double(coefficient));
}

void PrepareCommunity() {
  ResetCommunity();
  const char* f = state.FinquesH.data();
  const std::string lastSettled = GetBytes(f, finques::kLastSettled);
  state.Months = SettlementMonths(lastSettled, state.SelectionDate);

  state.GroupName[1] = config::Translate(caption::kGeneralGroup);
  state.GroupBase[1] = kGeneralBase;
  for (int g = 2; g <= 7; ++g) {
    state.GroupName[g] = GroupName(f, g);
    state.GroupBase[g] = GroupBase(f, g);
  }

  // A tax class other than 1 counts as class 0 (the rate tables have two).
  int taxClass = GetInt16(f, finques::kTaxClass) == 1 ? 1 : 0;
  state.CommunityVat = state.VatRate[taxClass];
  if (WithholdingApplies(state.Identity[7], GetBytes(f, finques::kTaxId)))
    state.CommunityWithholding = state.WithholdingRate[taxClass];
}

void CommunityPass() {
  const std::string code = CommunityCode();
  const char* p = state.PropietH.data();
  const char* c = state.CobramH.data();

  int16_t status = 0;
  datafile::DataSeek(kPropietH, 0, code, kSeekGreaterOrEqual, status);
  while (WalkOn(kPropietH, status) && DepartmentOfCommunity(code)) {
    state.DepartmentCount++;
    const int d = PackedValue(p, propiet::kKey) % 1000;
    // Collections of the department up to the selection date.
    std::string limit = Bytes(p, 0, 4) + state.SelectionDate;
    int16_t cs = 0;
    datafile::DataSeek(kCobramH, 0, Bytes(p, 0, 4), kSeekGreaterOrEqual, cs);
    while (WalkOn(kCobramH, cs) && std::memcmp(c, limit.data(), 8) <= 0) {
      char st = c[cobram::kState.offset];
      if (st == 'C' || st == 'I')
        state.DeptFunds[d] = AddMoney(state.DeptFunds[d], int64_t(GetInt32(c, cobram::kIn)) -
                                                              GetInt32(c, cobram::kOut));
      datafile::DataSkip(kCobramH, kSkipNext, cs);
    }
    datafile::DataSkip(kPropietH, kSkipNext, status);
  }
  if (Stopped()) return;

  // Administration fees, into the group the distribution text names.
  const char* f = state.FinquesH.data();
  int32_t fees = CommunityFees(state.DepartmentCount, GetInt32(f, finques::kFee), state.Months,
                               state.CommunityVat, state.CommunityWithholding);
  int feeGroup = 1;
  int16_t ds = 0;
  datafile::DataSeek(kFinDespH, 0, code, kSeekEqual, ds);
  SingleRead(kFinDespH, ds);
  if (ds == 0) feeGroup = FeeGroup(GetBytes(state.FinDespH.data(), findesp::kText));
  state.GroupExpense[feeGroup] = fees;

  // Payments of the community up to the selection date.
  const char* pg = state.PagamH.data();
  std::string limit = code + state.SelectionDate;
  int16_t ps = 0;
  datafile::DataSeek(kPagamH, 0, code, kSeekGreaterOrEqual, ps);
  while (WalkOn(kPagamH, ps) && std::memcmp(pg, limit.data(), 6) <= 0) {
    int32_t n = PackedValue(pg, pagam::kNumber);
    int32_t amount = GetInt32(pg, pagam::kAmount);
    if (pg[pagam::kFlag.offset] == 'S') {
      if (n <= 999) state.DeptParticular[n] = AddMoney(state.DeptParticular[n], amount);
    } else if (n >= 1 && n <= 7) {
      state.GroupExpense[n] = AddMoney(state.GroupExpense[n], amount);
    }
    datafile::DataSkip(kPagamH, kSkipNext, ps);
  }
}

namespace {

// The carried-over balance of the department in the PropietH buffer: minus
// the amounts of the concepts flagged to count in the balance.
int32_t CarriedOverBalance() {
  const char* p = state.PropietH.data();
  char* t = state.THRebut.data();
  int32_t balance = 0;
  for (int k = 1; k <= 10; ++k) {
    // A concept that is not found keeps the 9 put here: not flagged.
    PutInt16(t, threbut::kFlag.offset, 9);
    int16_t status = 0;
    const char key = char(BalanceConceptKey(p, propiet::kBalance, k));
    datafile::DataSeek(kTHRebut, 0, std::string(1, key), kSeekEqual, status);
    SingleRead(kTHRebut, status);
    if (GetInt16(t, threbut::kFlag) == 1)
      balance = AddMoney(balance, -int64_t(BalanceAmount(p, propiet::kBalance, k)));
  }
  return balance;
}

// Key 1 of a PagamH record as the loop compares it: community, flag,
// number, date.
bool ParticularWithin(const char* pg, const std::string& limit) {
  char key[9];
  std::memcpy(key, pg, 2);
  key[2] = pg[pagam::kFlag.offset];
  std::memcpy(key + 3, pg + pagam::kNumber.offset, 2);
  std::memcpy(key + 5, pg + pagam::kDate.offset, 4);
  return std::memcmp(key, limit.data(), 9) <= 0;
}

void SettleDepartment(const std::string& code) {
  ResetDepartment();
  const char* p = state.PropietH.data();
  state.DeptNumber = int16_t(PackedValue(p, propiet::kKey) % 1000);
  for (int g = 1; g <= 7; ++g) state.DeptCoef[g] = DeptCoefficient(p, g);

  state.DeptAmount[0] = CarriedOverBalance();
  if (Stopped()) return;
  int32_t total = 0;
  for (int g = 1; g <= 7; ++g) {
    state.DeptAmount[g] = Share(state.GroupExpense[g], state.GroupBase[g], state.DeptCoef[g]);
    total = AddMoney(total, state.DeptAmount[g]);
  }
  state.DeptAmount[8] = state.DeptParticular[state.DeptNumber];
  total = AddMoney(total, state.DeptAmount[8]);
  state.TotalExpenses = total;
  state.Funds = state.DeptFunds[state.DeptNumber];
  state.CurrentBalance =
      AddMoney(AddMoney(state.Funds, state.DeptAmount[0]), -int64_t(state.TotalExpenses));
  MarkDepartment();

  // Particular payments of the department, one line each.
  std::string prefix = code + "S" + Bytes(p, 2, 2);
  std::string limit = prefix + state.SelectionDate;
  int16_t ps = 0;
  datafile::DataSeek(kPagamH, 1, prefix, kSeekGreaterOrEqual, ps);
  while (WalkOn(kPagamH, ps) && ParticularWithin(state.PagamH.data(), limit)) {
    ParticularLine();
    datafile::DataSkip(kPagamH, kSkipNext, ps);
  }
  if (Stopped()) return;
  SettlementSummary();
  state.Settlements++;
}

}  // namespace

void DepartmentPass() {
  const std::string code = CommunityCode();
  const char* p = state.PropietH.data();
  int16_t status = 0;
  datafile::DataSeek(kPropietH, 0, code, kSeekGreaterOrEqual, status);
  while (WalkOn(kPropietH, status) && DepartmentOfCommunity(code)) {
    bool selected = std::memcmp(p, state.FirstKey.data(), 4) >= 0 &&
                    std::memcmp(p, state.LastKey.data(), 4) <= 0;
    if (selected) SettleDepartment(code);
    datafile::DataSkip(kPropietH, kSkipNext, status);
  }
}

void ProduceSettlements() {
  ResetPass();
  // The loops compare whole keys and dates: a selection that is not one
  // packed date and two 4-byte keys selects nothing.
  if (state.SelectionDate.size() != 4 || state.FirstKey.size() != 4 ||
      state.LastKey.size() != 4)
    return;
  const std::string lastCommunity = state.LastKey.substr(0, 2);
  const char* f = state.FinquesH.data();
  int16_t status = 0;
  datafile::DataSeek(kFinquesH, 0, state.FirstKey.substr(0, 2), kSeekGreaterOrEqual, status);
  while (WalkOn(kFinquesH, status) && std::memcmp(f, lastCommunity.data(), 2) <= 0) {
    const std::string lastSettled = GetBytes(f, finques::kLastSettled);
    if (PeriodAlreadySettled(lastSettled, state.SelectionDate)) {
      state.CommunitiesNotSettled.push_back({CommunityCode(), lastSettled});
      datafile::DataSkip(kFinquesH, kSkipNext, status);
      continue;
    }
    PrepareCommunity();
    CommunityPass();
    if (!Stopped()) DepartmentPass();
    if (Stopped()) return;
    datafile::DataSkip(kFinquesH, kSkipNext, status);
  }
}

}  // namespace report
