#pragma once
#include "trialbalance/TrialBalanceData.h"

// Reads the trial balance of the request from the database, afresh on every call.
// Throws DbError.
TrialBalanceData readTrialBalance(const TrialBalanceRequest& request);

// The financial year's periods that are not deleted, by period number. Throws DbError.
QList<TBPeriod> readPeriods(int yearId);
