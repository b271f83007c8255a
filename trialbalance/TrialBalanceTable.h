#pragma once
#include "trialbalance/TrialBalanceData.h"

#include <optional>
#include <vector>

// The grid's cells for the data: the headings, then each object of the chart followed
// by its account rows; with periods the amounts, every object row holding the total of
// everything below it in the hierarchy. Columns as TB names them.
TrialBalanceTable buildTrialBalanceTable(const TrialBalanceData& data);

// A Level cell's value; empty for an empty cell (a row that is no object's).
std::optional<qint64> levelOf(const QString& text);

// The roll-up of the trial balance in one pass. `levels` holds the Level of rows 0..N
// (row 0, the heading row, is never reached; an empty optional is a row whose Level
// cell is empty), `amounts` `width` amounts per row, row-major. Every row's own amounts
// are carried up as MaakTotaleOpNaBo carries an amount just written into a row, and on
// return each row holds its own amounts plus everything carried into it.
void rollUp(const std::vector<std::optional<qint64>>& levels, std::vector<Money>& amounts, int width);
// The rows whose own amounts rollUp adds into `row`'s (the row itself among them).
std::vector<bool> rowsCarriedInto(const std::vector<std::optional<qint64>>& levels, int row);

// The trial balance's total row: each amount column's sum over the level-1 object rows
// (0 in balanced books), "Total" under the object description; `columnCount` cells.
QStringList trialBalanceTotals(const TrialBalanceTable& table);
