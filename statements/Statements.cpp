#include "statements/Statements.h"

#include "standard/Dates.h"
#include "trialbalance/TrialBalanceColumns.h"
#include "trialbalance/TrialBalanceTable.h"

#include <QHash>

QString statementPostingType(StatementKind kind)
{
    return kind == StatementKind::ProfitAndLoss ? QStringLiteral("Income Statement")
                                                : QStringLiteral("Balance Sheet");
}

namespace {
Money amountAt(const TrialBalanceTable& t, int col, int row)
{
    return Money::parse(t.cell(col, row)).value_or(Money());
}

// A line's identity across two years' statements.
QString lineKey(const StatementLine& l)
{
    return QString::number(int(l.kind)) + QLatin1Char('|') + l.objectNumber + QLatin1Char('|') + l.companyName
        + QLatin1Char('|') + l.costCentreNumber;
}
}

StatementTable buildStatement(const TrialBalanceData& data, const TrialBalanceTable& t, StatementKind kind)
{
    StatementTable s;
    s.kind = kind;
    const bool sheet = kind == StatementKind::BalanceSheet;
    for (const TBPeriod& p : data.periods)
        s.columns << (sheet ? DateToMyString(p.end) : p.description);
    if (!data.withPeriods) {
        s.columns.clear();
        return s;
    }
    s.columns << (sheet ? QStringLiteral("Year end") : QStringLiteral("Year to date"));
    const int periods = int(data.periods.size());
    const int width = int(s.columns.size());

    // The trial balance's own cells: what it reads and rolls up is all a statement adds.
    const QString type = statementPostingType(kind);
    QVector<Money> total(width), result(width);
    std::optional<qint64> objectLevel;
    for (int r = 1; r < t.rowCount(); ++r) {
        const std::optional<qint64> level = levelOf(t.cell(TB.Level, r));
        const bool account = !t.cell(TB.CostCentreNumber, r).isEmpty();
        if (!account)
            objectLevel = level;
        // The profit and loss total of each period, from its top objects, for the sheet's result line.
        const bool topIncome = !account && level == 1
            && t.cell(TB.PostingType, r) == statementPostingType(StatementKind::ProfitAndLoss);
        if (topIncome) {
            Money upTo;
            for (int p = 0; p < periods; ++p) {
                upTo += amountAt(t, TB.OpeningBalance + 1 + p, r);
                result[p] += upTo;
            }
            result[periods] += upTo;
        }
        if (t.cell(TB.PostingType, r) != type)
            continue;
        StatementLine line;
        line.kind = account ? StatementLine::Account : StatementLine::Object;
        line.objectNumber = t.cell(TB.ObjectNumber, r);
        line.objectDescription = t.cell(TB.ObjectDescription, r);
        line.level = account ? objectLevel : level;
        line.companyName = t.cell(TB.CompanyName, r);
        line.costCentreNumber = t.cell(TB.CostCentreNumber, r);
        line.costCentreDescription = t.cell(TB.CostCentreDescription, r);
        line.accountDescription = t.cell(TB.AccountDescription, r);
        line.amounts.resize(width);
        // The sheet starts from the opening balance; the profit and loss from nothing.
        Money running = sheet ? amountAt(t, TB.OpeningBalance, r) : Money();
        for (int p = 0; p < periods; ++p) {
            const Money movement = amountAt(t, TB.OpeningBalance + 1 + p, r);
            running += movement;
            line.amounts[p] = sheet ? running : movement;
        }
        line.amounts[periods] = running;
        if (!account && level) {
            s.deepestLevel = std::max(s.deepestLevel, *level);
            if (*level == 1)
                for (int c = 0; c < width; ++c)
                    total[c] += line.amounts[c];
        }
        s.lines << line;
    }
    if (sheet) {
        StatementLine r;
        r.kind = StatementLine::Result;
        r.objectDescription = QStringLiteral("Result for the year to date");
        r.amounts = result;
        s.lines << r;
        for (int c = 0; c < width; ++c)
            total[c] += result[c];
    }
    StatementLine last;
    last.kind = StatementLine::Total;
    last.objectDescription = QStringLiteral("Total");
    last.amounts = total;
    s.lines << last;
    return s;
}

void addPreviousYear(StatementTable& current, const std::optional<StatementTable>& previous)
{
    const int width = int(current.columns.size());
    current.previousColumns.clear();
    for (int c = 0; c < width; ++c) {
        const bool yearColumn = c == width - 1;
        QString heading = current.columns[c] + QStringLiteral(", previous year");
        if (previous && !yearColumn && c < previous->columns.size() - 1)
            heading = previous->columns[c];
        current.previousColumns << heading;
    }
    QHash<QString, const StatementLine*> before;
    if (previous)
        for (const StatementLine& l : previous->lines)
            before.insert(lineKey(l), &l);
    const int previousWidth = previous ? int(previous->columns.size()) : 0;
    for (StatementLine& l : current.lines) {
        l.previous = QVector<std::optional<Money>>(width);
        const StatementLine* match = before.value(lineKey(l));
        if (!match)
            continue;
        // Periods by position; the year column with the previous year's own year column.
        for (int c = 0; c + 1 < width && c + 1 < previousWidth; ++c)
            l.previous[c] = match->amounts[c];
        if (width > 0 && previousWidth > 0)
            l.previous[width - 1] = match->amounts[previousWidth - 1];
    }
}

QList<StatementLine> shownLines(const StatementTable& table, qint64 level, bool withAccounts)
{
    QList<StatementLine> shown;
    for (const StatementLine& l : table.lines) {
        // An object without a level belongs to no depth: it shows with the deepest.
        const qint64 depth = l.level.value_or(table.deepestLevel);
        switch (l.kind) {
        case StatementLine::Object:
            if (depth <= level)
                shown << l;
            break;
        case StatementLine::Account:
            if (withAccounts && depth <= level)
                shown << l;
            break;
        default:
            shown << l;
        }
    }
    return shown;
}
