#include "statements/Statements.h"
#include "trialbalance/TrialBalanceTable.h"

#include <QTest>

namespace {
Money m(long long whole) { return Money::fromInt(whole); }

// A chart of an asset branch, equity with or without the result object 38000, and an
// income branch; one account each on cash and sales; `periods` monthly periods.
TrialBalanceData books(int periods, bool withResultObject)
{
    TrialBalanceData d;
    d.withPeriods = true;
    for (int p = 0; p < periods; ++p)
        d.periods << TBPeriod{p + 1, QStringLiteral("P%1").arg(p + 1), QDate(2024, 3 + p, 1),
            QDate(2024, 3 + p, 1).addMonths(1).addDays(-1)};
    d.objects << TBObject{"10000", "Assets", "Balance Sheet", "1", "No", ""}
              << TBObject{"11000", "Cash", "Balance Sheet", "2", "Yes", ""}
              << TBObject{"30000", "Equity", "Balance Sheet", "1", "No", ""};
    if (withResultObject)
        d.objects << TBObject{"38000", "Retained income", "Balance Sheet", "2", "Yes", ""};
    d.objects << TBObject{"40000", "Income", "Income Statement", "1", "No", ""}
              << TBObject{"41000", "Sales", "Income Statement", "2", "Yes", ""}
              << TBObject{"49000", "Unlevelled", "Income Statement", "", "Yes", ""};
    TBAccount cash{1, "Acme", "10", "Head office", "11000", "Cash", {}, {1}, true, false};
    TBAccount sales{1, "Acme", "10", "Head office", "41000", "Sales", {}, {2}, false, true};
    // 100 of sales before the year (brought forward), then 10, 20, ... per period.
    cash.amounts << m(100);
    sales.amounts << m(0);
    for (int p = 0; p < periods; ++p) {
        cash.amounts << m(10 * (p + 1));
        sales.amounts << m(-10 * (p + 1));
    }
    d.accounts << cash << sales;
    d.profitBroughtForward = m(-100);
    return d;
}

QVector<Money> amountsOf(const StatementTable& t, StatementLine::Kind kind, const QString& number = {})
{
    for (const StatementLine& l : t.lines)
        if (l.kind == kind && l.objectNumber == number)
            return l.amounts;
    return {};
}
}

class TestStatementLogic : public QObject {
    Q_OBJECT
private slots:
    // The sheet balances through 38000 and the result line; without 38000 the result of
    // the years before is nowhere, and the check total shows it at every date.
    void checkTotal_data()
    {
        QTest::addColumn<bool>("withResultObject");
        QTest::addColumn<long long>("check");
        QTest::newRow("with 38000") << true << 0LL;
        QTest::newRow("without 38000") << false << 100LL;
    }
    void checkTotal()
    {
        QFETCH(bool, withResultObject);
        QFETCH(long long, check);
        const TrialBalanceData d = books(3, withResultObject);
        const StatementTable sheet
            = buildStatement(d, buildTrialBalanceTable(d), StatementKind::BalanceSheet);
        QCOMPARE(sheet.columns, (QStringList{"31/03/2024", "30/04/2024", "31/05/2024", "Year end"}));
        QCOMPARE(amountsOf(sheet, StatementLine::Object, "11000"),
            (QVector<Money>{m(110), m(130), m(160), m(160)}));
        QCOMPARE(amountsOf(sheet, StatementLine::Result), (QVector<Money>{m(-10), m(-30), m(-60), m(-60)}));
        QCOMPARE(amountsOf(sheet, StatementLine::Total), QVector<Money>(4, m(check)));
        const StatementTable pl = buildStatement(d, buildTrialBalanceTable(d), StatementKind::ProfitAndLoss);
        QCOMPARE(pl.columns.last(), QStringLiteral("Year to date"));
        QCOMPARE(amountsOf(pl, StatementLine::Total), (QVector<Money>{m(-10), m(-20), m(-30), m(-60)}));
    }

    // Periods by position, the year column with the year column; blank where the earlier
    // year has no such period or no such line, and everywhere without an earlier year.
    void previousYearBlanks()
    {
        const TrialBalanceData now = books(3, true), before = books(2, true);
        StatementTable pl = buildStatement(now, buildTrialBalanceTable(now), StatementKind::ProfitAndLoss);
        const StatementTable earlier
            = buildStatement(before, buildTrialBalanceTable(before), StatementKind::ProfitAndLoss);
        addPreviousYear(pl, earlier);
        QCOMPARE(pl.previousColumns,
            (QStringList{"P1", "P2", "P3, previous year", "Year to date, previous year"}));
        for (const StatementLine& l : pl.lines)
            if (l.objectNumber == "41000" && l.kind == StatementLine::Object)
                QCOMPARE(l.previous, (QVector<std::optional<Money>>{m(-10), m(-20), std::nullopt, m(-30)}));
        addPreviousYear(pl, std::nullopt);
        for (const StatementLine& l : pl.lines)
            QCOMPARE(l.previous, QVector<std::optional<Money>>(4));
    }

    // Levels cut objects and their accounts; an object without a level shows with the
    // deepest; the closing lines always show.
    void shownByLevel()
    {
        const TrialBalanceData d = books(1, true);
        const StatementTable pl = buildStatement(d, buildTrialBalanceTable(d), StatementKind::ProfitAndLoss);
        QCOMPARE(pl.deepestLevel, 2);
        auto numbers = [&](qint64 level, bool accounts) {
            QStringList out;
            for (const StatementLine& l : shownLines(pl, level, accounts))
                out << l.objectNumber
                        + (l.kind == StatementLine::Account ? "." + l.costCentreNumber : QString());
            return out;
        };
        QCOMPARE(numbers(1, true), (QStringList{"40000", ""}));
        QCOMPARE(numbers(2, false), (QStringList{"40000", "41000", "49000", ""}));
        QCOMPARE(numbers(2, true), (QStringList{"40000", "41000", "41000.10", "49000", ""}));
    }
};

QTEST_MAIN(TestStatementLogic)
#include "tst_statementlogic.moc"
