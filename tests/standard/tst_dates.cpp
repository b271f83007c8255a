#include "standard/Dates.h"

#include <QLocale>
#include <QTest>

class TestDates : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // Each row: what MyStringToDate reads (a null date when it must fail) and whether
    // TestMyDate takes the text as a date in the exact form dd/mm/yyyy.
    void readDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("read");
        QTest::addColumn<bool>("exact");
        QTest::newRow("29 February, leap year") << "29/02/2016" << QDate(2016, 2, 29) << true;
        QTest::newRow("29 February, common year") << "29/02/2017" << QDate() << false;
        QTest::newRow("29 February 2000") << "29/02/2000" << QDate(2000, 2, 29) << true;
        QTest::newRow("29 February 1900") << "29/02/1900" << QDate() << false;
        QTest::newRow("31 April") << "31/04/2017" << QDate() << false;
        QTest::newRow("month 13") << "01/13/2017" << QDate() << false;
        QTest::newRow("day 0") << "00/01/2017" << QDate() << false;
        QTest::newRow("month 0") << "01/00/2017" << QDate() << false;
        QTest::newRow("year 0") << "01/01/0000" << QDate() << false;
        QTest::newRow("first and last days") << "31/12/9999" << QDate(9999, 12, 31) << true;
        QTest::newRow("year 1") << "01/01/0001" << QDate(1, 1, 1) << true;
        QTest::newRow("the zero date") << "30/12/1899" << QDate(1899, 12, 30) << true;
        QTest::newRow("too short, 1/ no number") << "1/2/2017" << QDate() << false;
        QTest::newRow("hyphens") << "01-02-2017" << QDate(2017, 2, 1) << false;
        QTest::newRow("any separator") << "01x02x2017" << QDate(2017, 2, 1) << false;
        QTest::newRow("two-digit year") << "01/02/17" << QDate(17, 2, 1) << false;
        QTest::newRow("text after the year") << "01/02/2017 10:00" << QDate(2017, 2, 1) << false;
        QTest::newRow("empty") << "" << QDate() << false;
        QTest::newRow("day only") << "12" << QDate() << false;
        QTest::newRow("no year") << "01/02/" << QDate() << false;
        QTest::newRow("plus sign in the day") << "+1/02/2017" << QDate() << false;
        QTest::newRow("plus sign in the year") << "01/02/+201" << QDate() << false;
        QTest::newRow("minus sign in the year") << "01/02/-201" << QDate() << false;
        QTest::newRow("lone sign") << "-" << QDate() << false;
        QTest::newRow("leading blank") << " 1/02/2017" << QDate() << false;
        QTest::newRow("blank in the year") << "01/02/201 " << QDate() << false;
        QTest::newRow("exponent") << "1e/05/2017" << QDate() << false;
        QTest::newRow("hexadecimal") << "0x/10/2017" << QDate() << false;
        QTest::newRow("Arabic-Indic digits") << QStringLiteral("\u0660\u0661/02/2017") << QDate() << false;
        QTest::newRow("10 000 characters")
            << "01/02/2017" + QString(9990, QLatin1Char('9')) << QDate(2017, 2, 1) << false;
        QTest::newRow("10 000 digits, read by position")
            << QString(10000, QLatin1Char('1')) << QDate(1111, 11, 11) << false;
        QTest::newRow("10 000 letters") << QString(10000, QLatin1Char('x')) << QDate() << false;
    }
    void readDates()
    {
        QFETCH(QString, text);
        QFETCH(QDate, read);
        QFETCH(bool, exact);
        // Reading by position ignores the user's conventions.
        for (const QLocale& locale : {QLocale::c(), QLocale(QStringLiteral("ar_EG"))}) {
            QLocale::setDefault(locale);
            if (read.isValid())
                QCOMPARE(MyStringToDate(text), read);
            else
                QVERIFY_THROWS_EXCEPTION(std::exception, MyStringToDate(text));
            QCOMPARE(TestMyDate(text), exact);
        }
    }

    void failureIsSeen()
    {
        try {
            MyStringToDate(QStringLiteral("31/04/2017"));
            QFAIL("31/04/2017 was read as a date");
        } catch (const std::exception& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("'31/04/2017' is not a valid date"));
        }
    }

    void writeDates_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("mine");
        QTest::addColumn<QString>("mysql");
        QTest::newRow("5 March 2017") << QDate(2017, 3, 5) << "05/03/2017"
                                      << "2017-03-05";
        QTest::newRow("two-digit day and month") << QDate(2016, 12, 31) << "31/12/2016"
                                                 << "2016-12-31";
        QTest::newRow("29 February") << QDate(2016, 2, 29) << "29/02/2016"
                                     << "2016-02-29";
        QTest::newRow("the zero date") << QDate(1899, 12, 30) << "30/12/1899"
                                       << "1899-12-30";
        QTest::newRow("an empty date field") << QDate() << "30/12/1899"
                                             << "1899-12-30";
        QTest::newRow("year 1000") << QDate(1000, 1, 1) << "01/01/1000"
                                   << "1000-01-01";
        QTest::newRow("year 9999") << QDate(9999, 12, 31) << "31/12/9999"
                                   << "9999-12-31";
        QTest::newRow("year 17, as many digits as it has") << QDate(17, 2, 1) << "01/02/17"
                                                           << "17-02-01";
    }
    void writeDates()
    {
        QFETCH(QDate, date);
        QFETCH(QString, mine);
        QFETCH(QString, mysql);
        for (const QLocale& locale :
            {QLocale::c(), QLocale(QStringLiteral("ar_EG")), QLocale(QStringLiteral("en_US"))}) {
            QLocale::setDefault(locale);
            QCOMPARE(DateToMyString(date), mine);
            QCOMPARE(DateToMySQLDate(date), mysql);
        }
    }

    // Every day the program is likely to meet reads back as itself.
    void everyDayRoundTrips()
    {
        for (QDate d(1999, 1, 1); d <= QDate(2031, 12, 31); d = d.addDays(1)) {
            const QString text = DateToMyString(d);
            if (!TestMyDate(text) || MyStringToDate(text) != d)
                QFAIL(qPrintable(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestDates)
#include "tst_dates.moc"
