// The settlement: for every selected department, the balance carried over,
// its share of the community's expenses in each of seven distribution
// groups, its particular expenses, the funds it paid, and the current
// balance; each department's settlement is printed as it is computed
// (printout.h).
//
// Inputs (report::state): the selection date and keys, the rates and the
// administrator identity read at start, and the seven data files open under
// their logical numbers with their record buffers.
//
// The order of the reads (and so what a concurrent writer can make us see):
//   FinquesH key 0 from the first community, in key order, up to the last;
//   per community: PropietH (all its departments) with their CobramH entries
//   up to the selection date; FinDespH by the community code; PagamH key 0
//   up to the selection date; then PropietH again, and per selected
//   department ten THRebut reads, its PagamH key-1 particular payments up to
//   the selection date, each with its TDespesa description.
// A read that fails ends the loop that made it, silently.
//
// Arithmetic: int32 hundredths; shares and fee taxes go through double
// precision with the rates as stored (single precision), rounded to the
// nearest integer with halves to even. Where a sum or product would leave
// the int32 range it stops at the range's limit instead of wrapping (no
// real settlement comes near: that is 21 million euros).
#pragma once

#include <cstdint>
#include <string>

namespace report {

// Produces the settlements of the selection into the open print spool.
// Returns when the last selected community is done. Never fails: what could
// not be read is left out (see above); a selection without a 4-byte date and
// two 4-byte keys produces nothing.
void ProduceSettlements();

// The steps of one community, public for tests. PrepareCommunity reads the
// community record in the FinquesH buffer.
void PrepareCommunity();
void CommunityPass();
void DepartmentPass();

// Calendar months between the last settled date and the selection date
// (12 x years + months, days ignored; the distance, whichever date comes
// first); 0 for a community never settled (empty last settled date): fees
// are only charged for a period that has a start.
int16_t SettlementMonths(const std::string& lastSettled, const std::string& selectionDate);

// True when the withholding rate applies: the administrator's identifier is
// "ES" followed by something other than a letter "A".."W" (a person), and
// the community's is "ES" followed by a letter "A".."W" (an entity).
bool WithholdingApplies(const std::string& administratorId, const std::string& communityId);

// The administration fees of a community: base = departments x fee x
// months, plus VAT, less withholding, each tax nearest(rate x base / 100).
int32_t CommunityFees(int32_t departments, int32_t fee, int32_t months, float vat,
                      float withholding);

// The group (1..7) that carries the fees, from the distribution text: the
// letter after the first "HO", "A" = 1 .. "G" = 7; 1 otherwise.
int FeeGroup(const std::string& distributionText);

// nearest(expense / base x coefficient), 0 when the base is 0.
int32_t Share(int32_t expense, int32_t base, int32_t coefficient);

// Rounds to the nearest integer, halves to even, limited to the int32 range.
int32_t Nearest(double x);

// a + b limited to the int32 range.
int32_t AddMoney(int32_t a, int64_t b);

}  // namespace report
