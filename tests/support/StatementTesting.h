#pragma once
// The statements checked against the trial balance they come from, cell by cell: shared
// by the statements' tests (on a fixture and the demo books) and statements_bench (on the
// large books).
#include "standard/Money.h"
#include "standard/StringGrid.h"
#include "trialbalance/TrialBalanceColumns.h"

#include <QStringList>
#include <QVector>

// Every cell of a statement grid (deepest level, accounts shown) against the trial balance
// grid: each row of the posting type in the trial balance's order; the profit and loss a
// period's movement and the year's sum, the balance sheet the opening balance plus the
// movements up to each date; the result line the profit and loss total up to each date,
// the last line the total of the top objects (and the result), which on the balance sheet
// must be 0 at every date. Returns what differs, empty when all agrees.
inline QStringList statementDifferences(const StringGrid& tb, const StringGrid& st, bool sheet)
{
    QStringList wrong;
    auto expect = [&](bool ok, const QString& what) {
        if (!ok && wrong.size() < 20)
            wrong << what;
    };
    auto money = [&](const QString& text) {
        const std::optional<Money> m = Money::parse(text);
        expect(m.has_value(), "not an amount: " + text);
        return m.value_or(Money());
    };
    const QString type = sheet ? "Balance Sheet" : "Income Statement";
    const int periods = tb.columnCount() - TB.OpeningBalance - 1;
    expect(periods > 0, "no periods");
    expect(st.columnCount() == 2 + periods + 1, "column count");
    expect(st.cell(0, 0) == "Object Number" && st.cell(1, 0) == "Object Description", "headings");
    expect(st.cell(2 + periods, 0) == (sheet ? "Year end" : "Year to date"), "year heading");
    if (!wrong.isEmpty())
        return wrong;
    QList<int> rows;
    QVector<Money> total(periods + 1), result(periods + 1);
    for (int r = 1; r < tb.rowCount(); ++r) {
        if (tb.cell(TB.PostingType, r) == type)
            rows << r;
        if (tb.cell(TB.PostingType, r) != "Income Statement" || tb.cell(TB.Level, r) != "1")
            continue;
        Money upTo;
        for (int p = 0; p < periods; ++p) {
            upTo += money(tb.cell(TB.OpeningBalance + 1 + p, r));
            result[p] += upTo;
        }
        result[periods] += upTo;
    }
    expect(st.rowCount() == 1 + int(rows.size()) + (sheet ? 2 : 1), "row count");
    if (!wrong.isEmpty())
        return wrong;
    for (int i = 0; i < rows.size(); ++i) {
        const int r = rows[i], s = i + 1;
        const QString where = QStringLiteral("row %1 (%2)").arg(s).arg(st.cell(0, s));
        expect(st.cell(0, s) == tb.cell(TB.ObjectNumber, r), where + ": object number");
        if (!tb.cell(TB.CostCentreNumber, r).isEmpty())
            expect(st.cell(1, s).contains(tb.cell(TB.AccountDescription, r)), where + ": account");
        else
            expect(st.cell(1, s) == tb.cell(TB.ObjectDescription, r), where + ": description");
        const bool top = tb.cell(TB.Level, r) == "1";
        Money running = sheet ? money(tb.cell(TB.OpeningBalance, r)) : Money();
        for (int p = 0; p < periods; ++p) {
            const Money movement = money(tb.cell(TB.OpeningBalance + 1 + p, r));
            running += movement;
            const Money expected = sheet ? running : movement;
            expect(money(st.cell(2 + p, s)) == expected,
                where
                    + QStringLiteral(" column %1: %2, expected %3")
                          .arg(p)
                          .arg(st.cell(2 + p, s), expected.toString()));
            if (top)
                total[p] += expected;
        }
        expect(money(st.cell(2 + periods, s)) == running, where + ": year column");
        if (top)
            total[periods] += running;
    }
    const int last = st.rowCount() - 1;
    expect(st.cell(1, last) == "Total", "last line");
    if (sheet)
        expect(st.cell(1, last - 1) == "Result for the year to date", "result line");
    for (int c = 0; c <= periods; ++c) {
        if (sheet) {
            expect(money(st.cell(2 + c, last - 1)) == result[c], QStringLiteral("result, column %1").arg(c));
            expect(money(st.cell(2 + c, last)).isZero(), QStringLiteral("check total, column %1").arg(c));
            expect((total[c] + result[c]).isZero(), QStringLiteral("sheet plus result, column %1").arg(c));
        } else {
            expect(money(st.cell(2 + c, last)) == total[c], QStringLiteral("total, column %1").arg(c));
        }
    }
    return wrong;
}
