#include "report/printout.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "config/catalogue.h"
#include "datafile/record_ops.h"
#include "dates/date_format.h"
#include "dates/date_math.h"
#include "format/dotted_code.h"
#include "format/mask_format.h"
#include "format/money.h"
#include "format/text_utils.h"
#include "print/spool.h"
#include "report/captions.h"
#include "report/record_layouts.h"
#include "report/report_state.h"
#include "report/settlement.h"

namespace report {
namespace {

constexpr int16_t kPageLength = 66;
constexpr int16_t kPageWidth = 96;

std::string T(const char* catalan) { return config::Translate(catalan); }

std::string Amount(double hundredths) { return format::MoneyFormat(kAmountMask, hundredths); }

std::string PageText() {
  return T(caption::kPage) + format::MaskFormat(kPageMask, state.PageNumber);
}

std::string CommunityName() {
  return format::NameOrder(GetBytes(state.FinquesH.data(), finques::kName));
}

void Centred(const std::string& text, int16_t advance) {
  print::PrintLine(format::CentreOffset(text, kPageWidth), text, advance);
}

// The label of a balance: in favour of the administrator when the balance
// is below 0 (the owner owes), of the owner otherwise.
std::string InFavourOf(const char* start, int32_t balance) {
  return T(start) + (balance < 0 ? T(caption::kOfAdministrator) : T(caption::kOfOwner));
}

void Letterhead() {
  const auto& id = state.Identity;
  print::PrintLine(1, id[1], 0);
  print::PrintJustify("D");
  print::PrintLine(85, PageText(), 1);
  if (!format::IsAllChar(id[6], ' ')) print::PrintLine(0, id[6], 1);
  for (int i = 2; i <= 5; ++i) print::PrintLine(1, id[i], 1);
  print::PrintLine(1, "N.I.F. " + id[7], 2);
}

void TitleBlock() {
  const char* f = state.FinquesH.data();
  const char* p = state.PropietH.data();
  if (state.TitleLine.empty()) {
    const std::string lastSettled = GetBytes(f, finques::kLastSettled);
    std::string title = T(caption::kTitle);
    if (!format::IsAllChar(lastSettled, 128))
      title += T(caption::kFrom) + format::UpperText(dates::FormatDate(
                                       dates::DateAdd(lastSettled, 1, "d"), 2, "dma"));
    title += T(caption::kUntil) +
             format::UpperText(dates::FormatDate(state.SelectionDate, 2, "dma"));
    state.TitleLine = title;
    state.CommunityLine = T(caption::kCommunity) +
                          format::CodeText(GetBytes(f, finques::kCode)) + ") " + CommunityName();
  }
  Centred(state.TitleLine, 1);
  Centred(state.CommunityLine, 1);

  std::string department = T(caption::kDepartment) + format::CodeText(std::string(p + 2, 2)) +
                           ") " + format::TrimTrailingBlanks(GetBytes(p, propiet::kDesignation)) + " " +
                           format::NameOrder(GetBytes(p, propiet::kOwner));
  Centred(department, 1);
  Centred(std::string(department.size(), '='), 2);
}

}  // namespace

void PageHeader() {
  state.PageNumber++;
  state.Pages++;
  print::PrintPage(kPageLength);
  print::PrintCommand("@e");
  const bool preprinted = state.Letterhead == "N";

  if (state.PageNumber > 1) {  // continuation page
    if (preprinted) {
      print::PrintJustify("D");
      print::PrintLine(85, PageText(), 9);
      print::PrintLine(1, CommunityName(), 2);
    } else {
      print::PrintLine(1, CommunityName(), 0);
      print::PrintJustify("D");
      print::PrintLine(85, PageText(), 2);
    }
    return;
  }

  if (preprinted) {
    print::PrintJustify("D");
    print::PrintLine(85, PageText(), 9);
  } else {
    Letterhead();
  }
  TitleBlock();

  print::PrintLine(31, InFavourOf(caption::kBalanceBefore, state.DeptAmount[0]), 0);
  print::PrintJustify("D");
  print::PrintLine(75, Amount(-double(state.DeptAmount[0])), 2);

  // One lookup of the caption serves the seven lines.
  static const char kLetters[] = "ABCDEFG";
  const std::string share = T(caption::kShare);
  for (int g = 1; g <= 7; ++g) {
    print::PrintLine(1, share + " < " + kLetters[g - 1] + " > " + state.GroupName[g], 0);
    print::PrintJustify("D");
    print::PrintLine(64, Amount(state.DeptAmount[g]), 2);
  }
  if (state.DeptAmount[8] != 0) print::PrintLine(1, T(caption::kParticulars), 2);
}

void ParticularLine() {
  if (state.PageNumber == 0) PageHeader();
  if (print::state.PrintLineCount > 60) PageHeader();

  // A missing expense type leaves the spaces put here: no description.
  char* t = state.TDespesa.data();
  std::memset(t + tdespesa::kDescription.offset, ' ', tdespesa::kDescription.width);
  const char* pg = state.PagamH.data();
  int16_t status = 0;
  datafile::DataSeek(kTDespesa, 0, GetBytes(pg, pagam::kType), datafile::kSeekEqual, status);
  CheckSingleRead(kTDespesa, status);

  std::string text = format::TrimLeadingBlanks(format::TrimTrailingBlanks(GetBytes(t, tdespesa::kDescription)) + " ") +
                     GetBytes(pg, pagam::kText);
  print::PrintLine(1, text, 0);
  print::PrintJustify("D");
  print::PrintLine(64, Amount(GetInt32(pg, pagam::kAmount)), 1);
}

void SettlementSummary() {
  static const char kFill[] = "N 73 \\.\\";
  if (state.PageNumber == 0) PageHeader();
  print::PrintLine(64, std::string(10, '-'), 1);

  if (print::state.PrintLineCount > 60) PageHeader();
  print::PrintJustify(kFill);
  print::PrintLine(31, T(caption::kTotalExpenses), 0);
  print::PrintJustify("D");
  print::PrintLine(75, Amount(state.TotalExpenses), 1);

  if (print::state.PrintLineCount > 59) PageHeader();
  print::PrintJustify(kFill);
  print::PrintLine(31, T(caption::kTotalFunds), 0);
  print::PrintJustify("D");
  print::PrintLine(86, Amount(state.Funds), 1);

  print::PrintLine(74, std::string(22, '-'), 1);

  if (print::state.PrintLineCount > 59) PageHeader();
  print::PrintJustify(kFill);
  print::PrintLine(31, T(caption::kSum), 0);
  print::PrintJustify("D");
  print::PrintLine(75, Amount(double(state.TotalExpenses) - double(state.DeptAmount[0])), 0);
  print::PrintLine(86, Amount(state.Funds), 2);

  if (print::state.PrintLineCount > 57) PageHeader();
  print::PrintLine(31, InFavourOf(caption::kBalanceNow, state.CurrentBalance), 0);
  print::PrintJustify("D");
  print::PrintLine(86, Amount(std::abs(double(state.CurrentBalance))), 1);

  print::PrintLine(31, std::string(65, '='), 2);

  std::string place = format::TrimTrailingBlanks(state.Identity[8]) + ", " +
                      dates::FormatDate(state.SelectionDate, 2, "dma");
  print::PrintJustify("D");
  print::PrintLine(int16_t(kPageWidth - int(place.size())), place, 1);
}

}  // namespace report
