// The report program's own state: the settings read at start, the
// selection, the pass, the community and the department being settled, and
// the record buffers of the seven data files.
//
// State: `report::state`, the one instance of ReportState. Everything the
// report remembers lives here; a test resets the whole report by assigning
// a fresh ReportState (after closing the data files, which hold the
// buffers' addresses).
//
// Rules:
//   - Amounts are int32 hundredths of the base currency, as in the files.
//   - Tables are indexed as the names say: GroupName(1..7) is GroupName[1..7]
//     (index 0 unused), DeptAmount(0..8), DeptParticular(0..999).
//   - The record buffers are exactly one record long; the data-file layer
//     never writes more than that into them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "print/department_mark.h"
#include "report/record_layouts.h"

namespace report {

// The module name: it names the form file and the message catalogue.
constexpr const char* kModuleName = "TORBELAN";

// The amount mask of the printout, and that of the page number.
constexpr const char* kAmountMask = "ZZ,ZZZ,ZZ9";
constexpr const char* kPageMask = "ZZZ9";

// The row around which the program's messages stand on the screen.
constexpr int16_t kMessageRow = 12;

// The report's state in groups by lifetime. Each group is reset as a whole
// when its lifetime begins (the Reset functions below), never field by
// field, so that a field added to a group starts fresh with the others.

// Settings: read once at start (main_flow.h), or given by the caller of a
// batch run; they live as long as the program.
struct ReportSettings {
  // Administrator identity, items 1..8 (index 0 unused): Brol.ini, section
  // "Administrador", keys "Linia1".."Linia8", as read (untrimmed).
  std::array<std::string, 9> Identity;
  // Letterhead setting: Brol.ini "Rebut" / "Membret", kept as read; "N"
  // means the paper carries the letterhead already.
  std::string Letterhead;
  // Percentages by tax class 0 and 1 (Brol.ini "Honoraris" Iva0/Iva1,
  // Ret0/Ret1), single precision as the suite stores them.
  std::array<float, 2> VatRate{};
  std::array<float, 2> WithholdingRate{};
  // The four rates' texts as read, in the order Iva0, Iva1, Ret0, Ret1 (for
  // the message about a rate that is not a percentage).
  std::array<std::string, 4> RateText;
  // The figures table a batch run writes after each pass (--figures): a
  // native path, "" for none. Set by the caller.
  std::string FiguresFile;
};

// Selection: what the operator (or the batch run) chose; lives until the
// next selection.
struct ReportSelection {
  std::string SelectionDate;  // packed date (4 bytes)
  std::string FirstKey;       // packed community + department (4 bytes)
  std::string LastKey;
};

// Pass: one report pass, from its start (RunReportPass, or
// ProduceSettlements on its own) to the next pass.
struct ReportPass {
  int32_t Settlements = 0;  // departments whose settlement was printed
  int32_t Pages = 0;        // pages begun, all departments together
  // The first read that failed with a status a walk does not expect (see
  // settlement.h): the file's logical number and the status; 0 when none.
  // Once set, the pass stops.
  int16_t FailedFile = 0;
  int16_t FailedStatus = 0;
  // The communities of the selection left out because the selection date
  // does not come after their last settled date (settlement.h), in key
  // order: packed code (2 bytes) and last settled date (packed).
  struct UnsettledCommunity {
    std::string Code;
    std::string LastSettled;
  };
  std::vector<UnsettledCommunity> CommunitiesNotSettled;
  // The print program's exit code after the pass, and what it left in its
  // result file (print/print_result.h): the document it wrote (code page
  // 850, "" when none) and its message when it failed.
  int PrinterCode = 0;
  std::string PrintedDocument;
  std::string PrinterMessage;
  // A folder of one document per department: the folder the print program
  // wrote (code page 850, "" when none) and how many documents.
  std::string PrintedFolder;
  long PrintedFiles = 0;
  // The figures of every department settled in the pass, in the order
  // printed (department_figures.h).
  std::vector<print::DepartmentFigures> Figures;
};

// Community: one community of the pass, from PrepareCommunity to the next.
// Tables are indexed as their names say (see the rules above).
struct ReportCommunity {
  int16_t Months = 0;
  float CommunityVat = 0;
  float CommunityWithholding = 0;
  int32_t DepartmentCount = 0;
  // The title and community lines of the page header, the same for every
  // department of the community: built by the first header of the
  // community.
  std::string TitleLine;
  std::string CommunityLine;
  std::array<std::string, 8> GroupName;        // 1..7
  std::array<int32_t, 8> GroupBase{};          // 1..7
  std::array<int32_t, 8> GroupExpense{};       // 1..7
  std::array<int32_t, 1000> DeptParticular{};  // by department number
  std::array<int32_t, 1000> DeptFunds{};       // by department number
};

// Department: one department's settlement, from its start to the next.
struct ReportDepartment {
  int16_t PageNumber = 0;
  int16_t DeptNumber = 0;
  std::array<int32_t, 8> DeptCoef{};    // 1..7
  std::array<int32_t, 9> DeptAmount{};  // 0 balance, 1..7 shares, 8 particular
  int32_t TotalExpenses = 0;
  int32_t Funds = 0;
  int32_t CurrentBalance = 0;
};

// The whole state: the groups (their fields are the state's own, as
// state.Months) and the record buffers, which live as long as the program
// and are bound to the files by DataOpen.
struct ReportState : ReportSettings,
                     ReportSelection,
                     ReportPass,
                     ReportCommunity,
                     ReportDepartment {
  std::array<char, tdespesa::kLength> TDespesa{};
  std::array<char, threbut::kLength> THRebut{};
  std::array<char, finques::kLength> FinquesH{};
  std::array<char, findesp::kLength> FinDespH{};
  std::array<char, propiet::kLength> PropietH{};
  std::array<char, pagam::kLength> PagamH{};
  std::array<char, cobram::kLength> CobramH{};
};

extern ReportState state;

// Each group of `state` as new, all its fields at once.
inline void ResetPass() { static_cast<ReportPass&>(state) = ReportPass(); }
inline void ResetCommunity() { static_cast<ReportCommunity&>(state) = ReportCommunity(); }
inline void ResetDepartment() { static_cast<ReportDepartment&>(state) = ReportDepartment(); }

// The record buffer of `state` bound to one of the seven files, by its
// logical file number (kLayouts), and its size in bytes; {nullptr, 0} for
// any other number.
struct RecordBuffer {
  char* data;
  size_t size;
};
inline RecordBuffer RecordBufferOf(int16_t fileNumber) {
  switch (fileNumber) {
    case kTDespesa: return {state.TDespesa.data(), state.TDespesa.size()};
    case kTHRebut: return {state.THRebut.data(), state.THRebut.size()};
    case kFinquesH: return {state.FinquesH.data(), state.FinquesH.size()};
    case kFinDespH: return {state.FinDespH.data(), state.FinDespH.size()};
    case kPropietH: return {state.PropietH.data(), state.PropietH.size()};
    case kPagamH: return {state.PagamH.data(), state.PagamH.size()};
    case kCobramH: return {state.CobramH.data(), state.CobramH.size()};
    default: return {nullptr, 0};
  }
}

}  // namespace report
