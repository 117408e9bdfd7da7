// The settlement of one department on paper: page header (letterhead,
// title block, carried-over balance, the seven group shares), one line per
// particular expense, and the closing block with the totals and the current
// balance.
//
// Every line goes into the print spool (print/spool.h); the print program
// renders it later. Page: 96 columns, 66 lines. Columns: labels at 31,
// shares and particular expenses at 64, carried-over balance, total
// expenses and the first "SUMEN" figure at 75, funds, the second "SUMEN"
// figure and the current balance at 86, the page number at 85.
//
// Fixed texts are Catalan catalogue keys and go through config::Translate;
// "N.I.F. ", ") ", " < ", " > ", ", " and the rule characters do not.
// Amounts go through format::MoneyFormat with the mask "ZZ,ZZZ,ZZ9", the
// page number through format::MaskFormat with "ZZZ9".
//
// Page breaks: the report breaks pages itself by reading
// print::state.PrintLineCount (particular lines past 60; the summary's
// lines past 60, 59, 59 and 57), and every page starts with PrintPage(66)
// and the device command "@e". Page 1 of a department carries the full
// header; later pages the community name and the page number.
//
// Letterhead setting "N" (report::state.Letterhead): the paper carries the
// administrator's letterhead, so page 1 leaves 9 lines free instead.
//
// State: reads report::state (the current records in the buffers and the
// department's figures); changes only state.PageNumber.
#pragma once

namespace report {

// Page number + 1, then the top of a page (see above).
void PageHeader();

// The line of the particular payment in the PagamH buffer (reads its
// expense type from TDespesa).
void ParticularLine();

// The totals and the current balance, then the place and date line.
void SettlementSummary();

}  // namespace report
