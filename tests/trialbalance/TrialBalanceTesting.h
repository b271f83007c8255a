#pragma once
// What the trial-balance tests share: reading the grid back and showing the tab.
#include "app/Main.h"
#include "standard/StringGrid.h"

#include <QStringList>
#include <QTabWidget>

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
