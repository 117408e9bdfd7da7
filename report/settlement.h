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
// Statuses: a walk (a first-greater-or-equal read and the next reads after
// it) goes on on status 0 and ends on end of file (9); a single exact read
// finds its record (0) or nothing (4 key not found, 9). Any other status
// (an I/O error, a damaged file, a file that is not open) is a failure:
// the loop that took it ends, every loop above it ends, no further
// settlement is printed, and state.FailedFile / FailedStatus name the file
// and the status, so that the caller hands no incomplete printout on.
//
// Communities settled already: a community whose last settled date is not
// before the selection date has no period to settle (it would run from the
// day after its last settled date back to the selection date): it is left
// out, none of its departments is printed, and its code and last settled
// date go to state.CommunitiesNotSettled for the operator. A community
// never settled (no last settled date) is settled, without fees.
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
// Returns when the last selected community is done, or when a read fails
// (see above). Resets the pass group of report::state (ResetPass) and
// fills its counts, failure, communities not settled and figures; each
// department's settlement begins with its department mark
// (department_figures.h). A selection without a 4-byte date and two 4-byte
// keys produces nothing.
void ProduceSettlements();

// The steps of one community, public for tests. PrepareCommunity resets
// the community group (ResetCommunity) and reads the community record in
// the FinquesH buffer; CommunityPass follows it.
void PrepareCommunity();
void CommunityPass();
void DepartmentPass();

// Calendar months from the last settled date to the selection date
// (12 x years + months, days ignored); 0 for a community never settled
// (empty last settled date), since fees are only charged for a period that
// has a start, and 0 when PeriodAlreadySettled (such a community is not
// settled at all).
int16_t SettlementMonths(const std::string& lastSettled, const std::string& selectionDate);

// True when the community was settled already up to a date on or after the
// selection date (packed dates, compared byte by byte): the period from the
// day after the last settled date to the selection date is empty. False
// for a community never settled.
bool PeriodAlreadySettled(const std::string& lastSettled, const std::string& selectionDate);

// Checks a single exact read made for the pass (0 found; 4 or 9 nothing
// there); any other status stops the pass (see above). For the printout's
// expense-type read.
void CheckSingleRead(int16_t fileNumber, int16_t status);

// The file name ("DADES\" + name) of a report file by its logical number;
// "" for a number that is not one of the seven.
std::string ReportFileName(int16_t fileNumber);

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
