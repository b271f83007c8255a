#include "trialbalance/TrialBalanceTable.h"

#include "trialbalance/TrialBalanceColumns.h"

#include <QHash>
#include <vector>

namespace {
// MaakTotaleOpNaBo walks up from a row: the first row with a level it meets while its
// level in hand is 0 receives the amount and hands on its own level; otherwise the first
// row one level up receives it, and the walk ends on reaching level 1 that way. So where
// an amount goes next depends only on the row it reached and on whether it came there by
// "one level up": each row's next row (0: nowhere) and how it is reached.
struct RollUpPaths {
    std::vector<int> target;
    std::vector<bool> byLevelStep;
};

RollUpPaths rollUpPaths(const std::vector<std::optional<qint64>>& levels)
{
    const int n = int(levels.size());
    RollUpPaths paths{std::vector<int>(size_t(n), 0), std::vector<bool>(size_t(n), false)};
    QHash<qint64, int> lastOfLevel;
    int lastWithLevel = 0;
    for (int r = 1; r < n; ++r) {
        const auto& level = levels[size_t(r)];
        if (!level || *level == 0) {
            paths.target[size_t(r)] = lastWithLevel;
        } else {
            paths.target[size_t(r)] = lastOfLevel.value(*level - 1, 0);
            paths.byLevelStep[size_t(r)] = true;
        }
        if (level) {
            lastOfLevel.insert(*level, r);
            lastWithLevel = r;
        }
    }
    return paths;
}
}

void rollUp(const std::vector<std::optional<qint64>>& levels, std::vector<Money>& amounts, int width)
{
    // Amounts are gathered per row in two pots (reached by "level 0" or by "one level up")
    // and handed on from the bottom row to the top, each row once, instead of one walk per
    // amount.
    const int n = int(levels.size());
    const RollUpPaths paths = rollUpPaths(levels);
    std::vector<Money> reachedByZero(amounts.size()), reachedByStep(amounts.size());
    std::vector<Money> onward(static_cast<size_t>(width));
    for (int r = n - 1; r >= 1; --r) {
        const size_t at = size_t(r) * size_t(width);
        const auto& level = levels[size_t(r)];
        for (int c = 0; c < width; ++c) {
            onward[size_t(c)] = amounts[at + size_t(c)];
            if (!level)
                continue;
            const Money& zero = reachedByZero[at + size_t(c)];
            const Money& step = reachedByStep[at + size_t(c)];
            amounts[at + size_t(c)] += zero + step;
            // Reaching level 1 by a step up is the top: that amount goes no further.
            onward[size_t(c)] += *level == 1 ? zero : zero + step;
        }
        const int to = paths.target[size_t(r)];
        if (to == 0)
            continue;
        std::vector<Money>& pot = paths.byLevelStep[size_t(r)] ? reachedByStep : reachedByZero;
        for (int c = 0; c < width; ++c)
            pot[size_t(to) * size_t(width) + size_t(c)] += onward[size_t(c)];
    }
}

std::vector<bool> rowsCarriedInto(const std::vector<std::optional<qint64>>& levels, int row)
{
    const int n = int(levels.size());
    const RollUpPaths paths = rollUpPaths(levels);
    // reaches[r]: what leaves row r onward arrives in `row`. A row's next row lies above
    // it, so one pass from the top settles every row.
    std::vector<bool> reaches(size_t(n), false);
    for (int r = 1; r < n; ++r) {
        const int to = paths.target[size_t(r)];
        if (to == 0)
            continue;
        if (to == row) {
            reaches[size_t(r)] = true;
            continue;
        }
        const bool stops = paths.byLevelStep[size_t(r)] && levels[size_t(to)] == 1;
        reaches[size_t(r)] = !stops && reaches[size_t(to)];
    }
    if (row > 0 && row < n)
        reaches[size_t(row)] = true;
    return reaches;
}

namespace {
const QString kZero = QStringLiteral("0");

QString moneyText(const Money& m, QChar separator) { return m.isZero() ? kZero : m.toString(separator); }

void fillObjectTexts(TrialBalanceTable& t, int row, const TBObject& o)
{
    t.setCell(TB.PostingType, row, o.postingType);
    t.setCell(TB.Classification, row, o.classification);
    t.setCell(TB.ObjectNumber, row, o.number);
    t.setCell(TB.ObjectDescription, row, o.description);
    t.setCell(TB.UseForAccount, row, o.useForAccount);
}
}

std::optional<qint64> levelOf(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    return text.toLongLong();
}

TrialBalanceTable buildTrialBalanceTable(const TrialBalanceData& data)
{
    QHash<QString, QList<int>> accountsOf; // object number -> account rows, in order
    for (int i = 0; i < data.accounts.size(); ++i)
        accountsOf[data.accounts[i].objectNumber].append(i);
    int rows = 1;
    for (const TBObject& o : data.objects)
        rows += 1 + int(accountsOf.value(o.number).size());
    rows = std::max(rows, 2); // the grid keeps one body row, empty without objects

    const int width = data.withPeriods ? int(data.periods.size()) + 1 : 0;
    TrialBalanceTable t(data.withPeriods ? TB.OpeningBalance + width : 10, rows);
    const std::pair<int, const char*> headings[]
        = {{TB.PostingType, "Posting Type"}, {TB.Classification, "Classification"},
            {TB.CompanyName, "Company Name"}, {TB.CostCentreNumber, "Cost Centre Number"},
            {TB.ObjectNumber, "Object Number"}, {TB.CostCentreDescription, "Cost Centre Description"},
            {TB.ObjectDescription, "Object Description"}, {TB.AccountDescription, "Account Description"},
            {TB.Level, "Level"}, {TB.UseForAccount, "Use For Account"}};
    for (const auto& [col, text] : headings)
        t.setCell(col, 0, QLatin1String(text));
    if (data.withPeriods) {
        t.setCell(TB.OpeningBalance, 0, QStringLiteral("Opening balance"));
        for (int p = 0; p < data.periods.size(); ++p)
            t.setCell(TB.OpeningBalance + 1 + p, 0, data.periods[p].description);
    }

    std::vector<std::optional<qint64>> levels(static_cast<size_t>(rows));
    std::vector<Money> amounts(size_t(rows) * size_t(width));
    int row = 1;
    for (const TBObject& o : data.objects) {
        fillObjectTexts(t, row, o);
        t.setCell(TB.Level, row, o.level);
        levels[size_t(row)] = levelOf(o.level);
        // Object 38000 carries the income-statement result of the years before.
        if (data.withPeriods && o.number == QLatin1String("38000"))
            amounts[size_t(row) * size_t(width)] = data.profitBroughtForward;
        ++row;
        for (int i : accountsOf.value(o.number)) {
            const TBAccount& a = data.accounts[i];
            fillObjectTexts(t, row, o);
            t.setCell(TB.CompanyName, row, a.companyName);
            t.setCell(TB.CostCentreNumber, row, a.costCentreNumber);
            t.setCell(TB.CostCentreDescription, row, a.costCentreDescription);
            t.setCell(TB.AccountDescription, row, a.accountDescription);
            t.setAccountOfRow(row, i);
            for (int c = 0; c < width; ++c)
                amounts[size_t(row) * size_t(width) + size_t(c)] = a.amounts[c];
            ++row;
        }
    }
    if (width == 0)
        return t;
    rollUp(levels, amounts, width);
    const QChar separator = Money::decimalSeparator(); // asked once, not once a figure
    for (int r = 1; r < row; ++r)
        for (int c = 0; c < width; ++c)
            t.setCell(TB.OpeningBalance + c, r,
                moneyText(amounts[size_t(r) * size_t(width) + size_t(c)], separator));
    return t;
}

QStringList trialBalanceTotals(const TrialBalanceTable& table)
{
    QStringList row(table.columnCount());
    if (table.columnCount() <= TB.ObjectDescription)
        return row;
    row[TB.ObjectDescription] = QStringLiteral("Total");
    // The level-1 rows found once, not once a column: the grid has thousands of rows.
    std::vector<int> topRows;
    for (int r = 1; r < table.rowCount(); ++r)
        if (levelOf(table.cell(TB.Level, r)) == 1)
            topRows.push_back(r);
    for (int c = TB.OpeningBalance; c < table.columnCount(); ++c) {
        Money sum;
        for (int r : topRows)
            sum += Money::parse(table.cell(c, r)).value_or(Money());
        row[c] = sum.toString();
    }
    return row;
}
