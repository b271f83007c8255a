#include "statements/StatementExport.h"

#include "trialbalance/Xlsx.h"

QString exportStatement(const QString& templatePath, const QString& folder, const TrialBalanceTable& grid,
    const StatementExportInput& input, QChar decimalPoint)
{
    XlsxWorkbook workbook(templatePath, decimalPoint);
    XlsxSheet& sheet = workbook.sheet(QStringLiteral("Statement"));
    sheet.setCell(1, 1, input.title);
    sheet.setCell(2, 1, QStringLiteral("Company: ") + input.company);
    sheet.setCell(3, 1, QStringLiteral("Financial year: ") + input.year);
    for (int row = 0; row < grid.rowCount(); ++row)
        for (int col = 0; col < grid.columnCount(); ++col)
            sheet.setCell(4 + row, col + 1, grid.cell(col, row));
    return saveAsNewFile(workbook, folder, input.title);
}
