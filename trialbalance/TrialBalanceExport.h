#pragma once
// The trial balance export as plain code: the grid's texts and the filter texts go into a
// new workbook made from the spreadsheet template. No widget is involved.
#include "trialbalance/TrialBalanceData.h"

#include <QStringList>

class XlsxWorkbook;

// What the sheet "Input" receives.
struct TrialBalanceExportInput {
    QString company; // the company box's text ("All" included)
    QString year; // the financial year box's text
    QStringList periods; // descriptions of the year's periods that are not deleted, by number
};

// Sheet "Trial Balance": grid row k (1 upward; row 0, the headings, is not copied) into
// sheet row 5 + k, grid column j into sheet column j + 1. Sheet "Input": the company in B3,
// the year in B4, the periods from C7 to the right. Throws XlsxError when a sheet is missing.
void fillTrialBalanceWorkbook(
    XlsxWorkbook& workbook, const TrialBalanceTable& grid, const TrialBalanceExportInput& input);

// Makes the workbook from `templatePath` as a new file with a name of its own in `folder`
// (no earlier file is overwritten) and returns its path. Throws XlsxError with a message
// for the user; then no file is left behind.
QString exportTrialBalance(const QString& templatePath, const QString& folder, const TrialBalanceTable& grid,
    const TrialBalanceExportInput& input, QChar decimalPoint);
