#include "trialbalance/TrialBalanceCell.h"

#include "trialbalance/TrialBalanceColumns.h"
#include "trialbalance/TrialBalanceTable.h"

#include <algorithm>

namespace {
void addRange(QList<TBLinesRange>& ranges, QList<int> accounts, const QDate& from, const QDate& to)
{
    if (accounts.isEmpty())
        return;
    std::sort(accounts.begin(), accounts.end());
    ranges.append({accounts, from, to});
}

// Ranges by date, those of the same accounts that follow on without a gap joined, so that
// a whole year of consecutive periods is read as one range.
QList<TBLinesRange> joined(QList<TBLinesRange> ranges)
{
    std::stable_sort(ranges.begin(), ranges.end(), [](const TBLinesRange& a, const TBLinesRange& b) {
        return a.from.isValid() && b.from.isValid() ? a.from < b.from : !a.from.isValid() && b.from.isValid();
    });
    QList<TBLinesRange> out;
    for (TBLinesRange& r : ranges) {
        if (!out.isEmpty() && out.last().accountIds == r.accountIds && r.from.isValid()
            && out.last().to.addDays(1) == r.from) {
            out.last().to = r.to;
            continue;
        }
        out.append(std::move(r));
    }
    return out;
}
}

QList<TBLinesRange> linesBehindCell(
    const TrialBalanceData& data, const TrialBalanceTable& table, int column, int row)
{
    if (!data.withPeriods || row < 1 || row >= table.rowCount() || column < 0
        || column >= table.columnCount())
        return {};
    std::vector<std::optional<qint64>> levels(size_t(table.rowCount()));
    for (int r = 1; r < table.rowCount(); ++r)
        if (table.accountOfRow(r) < 0)
            levels[size_t(r)] = levelOf(table.cell(TB.Level, r));
    const std::vector<bool> carried = rowsCarriedInto(levels, row);

    QList<int> all, opening;
    bool broughtForward = false;
    for (int r = 1; r < table.rowCount(); ++r) {
        if (!carried[size_t(r)])
            continue;
        const int a = table.accountOfRow(r);
        if (a < 0) {
            broughtForward = broughtForward || table.cell(TB.ObjectNumber, r) == QLatin1String("38000");
            continue;
        }
        const TBAccount& account = data.accounts[a];
        all += account.accountIds;
        if (account.balanceSheet)
            opening += account.accountIds;
    }
    if (broughtForward)
        for (const TBAccount& account : data.accounts)
            if (account.incomeStatement)
                opening += account.accountIds;

    QList<TBLinesRange> ranges;
    const int amount = column - TB.OpeningBalance;
    if (amount <= 0)
        addRange(ranges, opening, QDate(), data.periods.first().start.addDays(-1));
    for (int p = 0; p < data.periods.size(); ++p)
        if (amount < 0 || amount == p + 1)
            addRange(ranges, all, data.periods[p].start, data.periods[p].end);
    return joined(ranges);
}
