#pragma once
#include "trialbalance/TrialBalanceData.h"

// Where the amounts come from: the monthly totals kept by the database (what the program
// shows), or every line (the same figures, at a cost that grows with the books; kept to
// check and measure the totals against).
enum class TBSource { MonthTotals, Lines };

// Reads the trial balance of the request from the database, afresh on every call.
// Throws DbError.
TrialBalanceData readTrialBalance(
    const TrialBalanceRequest& request, TBSource source = TBSource::MonthTotals);

// The financial year's periods that are not deleted, by period number. Throws DbError.
QList<TBPeriod> readPeriods(int yearId);
