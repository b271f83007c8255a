// The period rules on plain rows: what Calculate fills in and what OK's checks refuse.
#include "setup/FinancialPeriods.h"

#include <QTest>

Q_DECLARE_METATYPE(QList<PeriodRow>)
Q_DECLARE_METATYPE(std::optional<QDate>)

namespace {
// count monthly periods from the 1st of start's month, as a user types them.
QList<PeriodRow> monthly(const QDate& start, int count)
{
    QList<PeriodRow> rows;
    for (int n = 0; n < count; ++n) {
        const QDate from = start.addMonths(n);
        rows << PeriodRow{from.toString("dd/MM/yyyy"), from.addMonths(1).addDays(-1).toString("dd/MM/yyyy"),
            QStringLiteral("P%1").arg(n + 1), QStringLiteral("Yes")};
    }
    return rows;
}

QList<PeriodRow> with(QList<PeriodRow> rows, int n, int column, const QString& text)
{
    while (rows.size() < n)
        rows << PeriodRow{};
    PeriodRow& r = rows[n - 1];
    QString* cells[] = {nullptr, &r.startDate, &r.endDate, &r.description, &r.open};
    *cells[column] = text;
    return rows;
}

const QDate March2017(2017, 3, 1);
}

class TestFinancialPeriods : public QObject {
    Q_OBJECT
private slots:
    void calculateFillsTwelvePeriods_data()
    {
        QTest::addColumn<QDate>("firstDay");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::newRow("1 March 2017, period 1") << March2017 << 1 << "01/03/2017"
                                                << "31/03/2017";
        QTest::newRow("1 March 2017, period 2") << March2017 << 2 << "01/04/2017"
                                                << "30/04/2017";
        QTest::newRow("1 March 2017, period 10") << March2017 << 10 << "01/12/2017"
                                                 << "31/12/2017";
        QTest::newRow("1 March 2017, period 11") << March2017 << 11 << "01/01/2018"
                                                 << "31/01/2018";
        QTest::newRow("1 March 2017, period 12") << March2017 << 12 << "01/02/2018"
                                                 << "28/02/2018";
        QTest::newRow("1 March 2019, period 12: leap day") << QDate(2019, 3, 1) << 12 << "01/02/2020"
                                                           << "29/02/2020";
        QTest::newRow("15 March 2017, part month") << QDate(2017, 3, 15) << 1 << "15/03/2017"
                                                   << "31/03/2017";
        QTest::newRow("15 March 2017, period 2") << QDate(2017, 3, 15) << 2 << "01/04/2017"
                                                 << "30/04/2017";
        QTest::newRow("15 March 2017, period 12") << QDate(2017, 3, 15) << 12 << "01/02/2018"
                                                  << "28/02/2018";
        QTest::newRow("31 January 2021, period 2") << QDate(2021, 1, 31) << 2 << "01/02/2021"
                                                   << "28/02/2021";
    }

    void calculateFillsTwelvePeriods()
    {
        QFETCH(QDate, firstDay);
        QFETCH(int, n);
        QFETCH(QString, start);
        QFETCH(QString, end);
        const QList<PeriodRow> periods = calculatePeriods(firstDay);
        QCOMPARE(periods.size(), 12);
        QCOMPARE(periods[n - 1], (PeriodRow{start, end, QStringLiteral("Period %1").arg(n), "Yes"}));
        // Calculated periods always pass the checks, without gap or overlap.
        const PeriodCheck check = checkPeriodRows(periods, std::nullopt);
        QVERIFY(!check.refusal);
        QCOMPARE(check.lastRow, 12);
    }

    void checks_data()
    {
        QTest::addColumn<QList<PeriodRow>>("rows");
        QTest::addColumn<std::optional<QDate>>("previousYearEnd");
        QTest::addColumn<int>("lastRow"); // 0 when refused
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("message");
        const auto twelve = monthly(March2017, 12);
        const std::optional<QDate> none;
        const std::optional<QDate> feb28 = QDate(2017, 2, 28);

        QTest::newRow("twelve months") << twelve << none << 12 << 0 << 0 << "";
        QTest::newRow("a single period") << monthly(March2017, 1) << none << 1 << 0 << 0 << "";
        QTest::newRow("thirteen") << monthly(March2017, 13) << none << 13 << 0 << 0 << "";
        QTest::newRow("eighteen") << monthly(March2017, 18) << none << 18 << 0 << 0 << "";
        QTest::newRow("one-day period") << QList<PeriodRow>{{"01/03/2017", "01/03/2017", "Day one", "Yes"},
            {"02/03/2017", "31/03/2017", "Rest", "No"}}
                                        << none << 2 << 0 << 0 << "";
        QTest::newRow("YES, yes and No")
            << with(with(with(twelve, 1, 4, "YES"), 2, 4, "yes"), 3, 4, "No") << none << 12 << 0 << 0 << "";
        QTest::newRow("description of spaces counts")
            << with(twelve, 4, 3, "  ") << none << 12 << 0 << 0 << "";
        QTest::newRow("nothing typed")
            << QList<PeriodRow>{} << none << 0 << 1 << 1 << "Period 1, \"Start Date\" not correct.";
        QTest::newRow("no such day") << with(twelve, 1, 1, "29/02/2017") << none << 0 << 1 << 1
                                     << "Period 1, \"Start Date\" not correct.";
        QTest::newRow("follows the previous year") << twelve << feb28 << 12 << 0 << 0 << "";
        QTest::newRow("gap after the previous year")
            << with(twelve, 1, 1, "02/03/2017") << feb28 << 0 << 1 << 1
            << "Period 1, \"Start Date\" must be one day after end of previous financial year.";
        QTest::newRow("overlaps the previous year")
            << with(twelve, 1, 1, "15/02/2017") << feb28 << 0 << 1 << 1
            << "Period 1, \"Start Date\" must be one day after end of previous financial year.";
        QTest::newRow("gap between periods")
            << with(twelve, 3, 1, "02/05/2017") << none << 0 << 1 << 3
            << "Period 3, Start date must be one day later than the previous "
               "period end date.";
        QTest::newRow("overlap between periods") << with(twelve, 3, 1, "30/04/2017") << none << 0 << 1 << 3
                                                 << "Period 3, Start date must be one day later than the "
                                                    "previous period end date.";
        QTest::newRow("end not a date")
            << with(twelve, 6, 2, "31-08-2017") << none << 0 << 2 << 6 << "Period 6, End Date not correct.";
        QTest::newRow("end before start")
            << with(with(twelve, 12, 2, "31/01/2018"), 12, 1, "01/02/2018") << none << 0 << 2 << 12
            << "Period 12, End date sooner than start date.";
        QTest::newRow("no description")
            << with(twelve, 4, 3, "") << none << 0 << 3 << 4 << "Period 4, description not spesified.";
        QTest::newRow("description over two lines")
            << with(twelve, 4, 3, "Jun\n2017") << none << 0 << 3 << 4
            << "Period 4, description may not contain line breaks, tabs or other control characters.";
        QTest::newRow("description longer than its column holds")
            << with(twelve, 4, 3, QString(16001, QChar(0x4e2d))) << none << 0 << 3 << 4
            << "Period 4, description longer than 16000 characters.";
        QTest::newRow("description as long as its column holds")
            << with(twelve, 4, 3, QString(16000, QChar(0x4e2d))) << none << 12 << 0 << 0 << "";
        QTest::newRow("open neither yes nor no")
            << with(twelve, 5, 4, "Y") << none << 0 << 4 << 5 << "Period 5 Open, only Yes or No allowed.";
        QTest::newRow("empty row between filled rows") << [&] {
            auto r = twelve;
            r[4] = PeriodRow{};
            return r;
        }() << none << 0 << 1 << 5 << "Period 5, \"Start Date\" not correct.";
        QTest::newRow("a row of spaces after the year is filled")
            << with(twelve, 13, 3, " ") << none << 0 << 1 << 13 << "Period 13, \"Start Date\" not correct.";
        QTest::newRow("the first failure of a row wins") << with(with(twelve, 2, 2, "x"), 2, 4, "x") << none
                                                         << 0 << 2 << 2 << "Period 2, End Date not correct.";
    }

    void checks()
    {
        QFETCH(QList<PeriodRow>, rows);
        QFETCH(std::optional<QDate>, previousYearEnd);
        QFETCH(int, lastRow);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, message);
        const PeriodCheck check = checkPeriodRows(rows, previousYearEnd);
        QCOMPARE(check.refusal.has_value(), lastRow == 0);
        if (check.refusal) {
            QCOMPARE(check.refusal->message, message);
            QCOMPARE(check.refusal->column, column);
            QCOMPARE(check.refusal->row, row);
        } else {
            QCOMPARE(check.lastRow, lastRow);
        }
    }
};

QTEST_APPLESS_MAIN(TestFinancialPeriods)
#include "tst_financialperiods.moc"
