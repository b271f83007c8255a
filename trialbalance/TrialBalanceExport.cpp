#include "trialbalance/TrialBalanceExport.h"

#include "trialbalance/Xlsx.h"

void fillTrialBalanceWorkbook(
    XlsxWorkbook& workbook, const TrialBalanceTable& grid, const TrialBalanceExportInput& input)
{
    // Both sheets are looked up first, so a template without one of them is refused
    // before anything is filled.
    XlsxSheet& trialBalance = workbook.sheet(QStringLiteral("Trial Balance"));
    XlsxSheet& sheetInput = workbook.sheet(QStringLiteral("Input"));
    for (int row = 1; row < grid.rowCount(); ++row)
        for (int col = 0; col < grid.columnCount(); ++col)
            trialBalance.setCell(5 + row, col + 1, grid.cell(col, row));
    sheetInput.setCell(3, 2, input.company);
    sheetInput.setCell(4, 2, input.year);
    for (int p = 0; p < input.periods.size(); ++p)
        sheetInput.setCell(7, 3 + p, input.periods[p]);
}

QString exportTrialBalance(const QString& templatePath, const QString& folder, const TrialBalanceTable& grid,
    const TrialBalanceExportInput& input, QChar decimalPoint)
{
    XlsxWorkbook workbook(templatePath, decimalPoint);
    fillTrialBalanceWorkbook(workbook, grid, input);

    return saveAsNewFile(workbook, folder, QStringLiteral("Trial Balance"));
}
