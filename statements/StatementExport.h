#pragma once
// A statement's grid into a new workbook made from the statement template: numbers as
// numbers. No widget is involved.
#include "trialbalance/TrialBalanceData.h"

struct StatementExportInput {
    QString title; // "Profit and Loss" or "Balance Sheet"
    QString company, year;
};

// Sheet "Statement": the title in A1, company and year in A2 and A3, the grid's headings in row 4
// and its rows from row 5, grid column j in sheet column j + 1. Returns the new file's path
// in `folder`; throws XlsxError with a message for the user, and then leaves no file.
QString exportStatement(const QString& templatePath, const QString& folder, const TrialBalanceTable& grid,
    const StatementExportInput& input, QChar decimalPoint);
