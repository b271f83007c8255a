#pragma once
// Which journal lines a trial balance cell adds up, worked out from the same data and the
// same roll-up that made the cell. No widget and no database are involved.
#include "trialbalance/TrialBalanceData.h"

// The lines of some accounts dated in a range.
struct TBLinesRange {
    QList<int> accountIds; // ascending
    QDate from; // invalid: from the books' first line
    QDate to;
};

// The lines behind cell (column, row) of `table`, which buildTrialBalanceTable made from
// `data`, as ranges that do not overlap, by date:
// - the accounts of the row and of every row the roll-up carries into it;
// - a period column: the lines dated in the period; the opening balance column: the
//   balance sheet accounts' lines before the first period, and where object 38000's row is
//   among them, every income statement account's lines before it (the result brought
//   forward); a descriptive column: the opening balance's lines and every period's.
// Empty for the heading row and for books shown without periods.
QList<TBLinesRange> linesBehindCell(
    const TrialBalanceData& data, const TrialBalanceTable& table, int column, int row);
