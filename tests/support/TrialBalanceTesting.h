#pragma once
// What tests of the trial balance and of what opens from it share: reading the grid back,
// showing the tab, selecting a row.
#include "TestSupport.h"

#include "app/Main.h"
#include "standard/StringGrid.h"

#include <QStringList>
#include <QTabWidget>
#include <QTest>

// Every cell of the grid, row by row, row 0 the headings.
inline QList<QStringList> snapshot(const StringGrid& grid)
{
    QList<QStringList> rows;
    for (int r = 0; r < grid.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < grid.columnCount(); ++c)
            row << grid.cell(c, r);
        rows << row;
    }
    return rows;
}

// What a user's click on the tab does (the refresh runs through the tab's handler).
inline void showTrialBalance(TfrmMain& w)
{
    if (w.pcMain->currentWidget() == w.tsTrialBalance)
        w.RefreshFilters();
    else
        w.pcMain->setCurrentWidget(w.tsTrialBalance);
}

// Selects the row of an object (costCentre empty) or of one of its accounts, as a click does.
inline void selectRow(StringGrid& g, const QString& objectNumber, const QString& costCentre)
{
    for (int r = 1; r < g.rowCount(); ++r)
        if (g.cell(TB.ObjectNumber, r) == objectNumber && g.cell(TB.CostCentreNumber, r) == costCentre) {
            g.setCurrentCell(0, r);
            return;
        }
    QFAIL(qPrintable("no row " + objectNumber + "." + costCentre));
}

// The monthly totals the triggers keep (rows with anything in them) against the totals
// worked out from the lines that have their entry; empty when they agree, else both.
inline QString monthTotalsDifference(const TestDatabase& db)
{
    const QStringList kept
        = db.texts("SELECT `account id`, month, amount, `line count` FROM `account month totals` "
                   "WHERE amount <> 0 OR `line count` <> 0 ORDER BY 1, 2");
    const QStringList worked = db.texts(
        "SELECT `account id`, `transaction date` - INTERVAL (DAYOFMONTH(`transaction date`) - 1) DAY AS month, "
        "SUM(amount), COUNT(*) FROM `transaction details`, transactions "
        "WHERE transactions.id = `transaction details`.`transaction id` GROUP BY 1, 2 ORDER BY 1, 2");
    if (kept == worked)
        return {};
    return "kept:\n" + kept.join('\n') + "\nworked out from the lines:\n" + worked.join('\n');
}
