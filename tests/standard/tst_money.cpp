#include "standard/Money.h"

#include <QLocale>
#include <QTest>

namespace {
// Database form of a parse result; a null text when the text was refused.
QString parsed(const std::optional<Money>& m) { return m ? m->toDbString() : QString(); }

Money units(qint64 u) { return Money::fromUnits(u); }

const __int128 kMaxUnits = std::numeric_limits<__int128>::max();
const __int128 kMinUnits = std::numeric_limits<__int128>::min();
}

class TestMoney : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void parse_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // null: refused
        const QString no;
        QTest::newRow("decimals") << "en_US"
                                  << "12.5"
                                  << "12.5";
        QTest::newRow("four decimals") << "en_US"
                                       << "-0.0001"
                                       << "-0.0001";
        QTest::newRow("trailing zeros") << "en_US"
                                        << "7.0000"
                                        << "7";
        QTest::newRow("plus sign") << "en_US"
                                   << "+7"
                                   << "7";
        QTest::newRow("no integer digit") << "en_US"
                                          << ".5"
                                          << "0.5";
        QTest::newRow("no decimal digit") << "en_US"
                                          << "5."
                                          << "5";
        QTest::newRow("minus zero") << "en_US"
                                    << "-0"
                                    << "0";
        QTest::newRow("leading zeros") << "en_US"
                                       << "000000000000000000000000000000000000000042"
                                       << "42";
        QTest::newRow("thirty-two digits") << "en_US"
                                           << "17014118346046923173168730371588.41"
                                           << "17014118346046923173168730371588.41";
        QTest::newRow("five decimals") << "en_US"
                                       << "1.00001" << no;
        QTest::newRow("past 128 bits") << "en_US"
                                       << "17014118346046923173168730371588411" << no;
        QTest::newRow("10 000 digits") << "en_US" << QString(10000, QLatin1Char('9')) << no;
        QTest::newRow("empty") << "en_US"
                               << "" << no;
        QTest::newRow("lone minus") << "en_US"
                                    << "-" << no;
        QTest::newRow("lone plus") << "en_US"
                                   << "+" << no;
        QTest::newRow("lone point") << "en_US"
                                    << "." << no;
        QTest::newRow("sign and point") << "en_US"
                                        << "-." << no;
        QTest::newRow("two signs") << "en_US"
                                   << "--1" << no;
        QTest::newRow("two points") << "en_US"
                                    << "1.2.3" << no;
        QTest::newRow("exponent") << "en_US"
                                  << "1e5" << no;
        QTest::newRow("hexadecimal") << "en_US"
                                     << "0x10" << no;
        QTest::newRow("leading blank") << "en_US"
                                       << " 12" << no;
        QTest::newRow("trailing blank") << "en_US"
                                        << "12 " << no;
        QTest::newRow("thousands separator") << "en_US"
                                             << "1,000" << no;
        QTest::newRow("comma in a point locale") << "en_US"
                                                 << "12,5" << no;
        QTest::newRow("Arabic-Indic digits") << "en_US" << QStringLiteral("\u0661\u0662") << no;
        QTest::newRow("infinity") << "en_US"
                                  << "inf" << no;
        QTest::newRow("comma locale") << "de_DE"
                                      << "-12,5"
                                      << "-12.5";
        QTest::newRow("point in a comma locale") << "de_DE"
                                                 << "12.5" << no;
        QTest::newRow("thousands point in a comma locale") << "de_DE"
                                                           << "1.000,00" << no;
    }
    void parse()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(parsed(Money::parse(text)), expected);
    }

    // The database always writes a point, whatever the user's locale.
    void parseDb()
    {
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        QCOMPARE(parsed(Money::parseDb(QStringLiteral("-1234.5600"))), QStringLiteral("-1234.56"));
        QVERIFY(!Money::parseDb(QStringLiteral("1234,56")));
    }

    void toText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("shortest");
        QTest::addColumn<QString>("twoDecimals");
        QTest::newRow("zero") << "en_US" << qint64(0) << "0"
                              << "0";
        QTest::newRow("whole") << "en_US" << qint64(70000) << "7"
                               << "7";
        QTest::newRow("one decimal") << "en_US" << qint64(125000) << "12.5"
                                     << "12.5";
        QTest::newRow("four decimals") << "en_US" << qint64(12345) << "1.2345"
                                       << "1.23";
        QTest::newRow("smallest negative") << "en_US" << qint64(-1) << "-0.0001"
                                           << "0";
        QTest::newRow("no thousands separator") << "en_US" << qint64(12345678900000) << "1234567890"
                                                << "1234567890";
        QTest::newRow("comma locale") << "de_DE" << qint64(-9000000000001) << "-900000000,0001"
                                      << "-900000000";
        QTest::newRow("comma locale, a tenth") << "de_DE" << qint64(1000) << "0,1"
                                               << "0,1";
    }
    void toText()
    {
        QFETCH(QString, locale);
        QFETCH(qint64, units);
        QFETCH(QString, shortest);
        QFETCH(QString, twoDecimals);
        QLocale::setDefault(QLocale(locale));
        const Money m = Money::fromUnits(units);
        QCOMPARE(m.toString(), shortest);
        QCOMPARE(m.toString(2), twoDecimals);
        QCOMPARE(parsed(Money::parse(shortest)), m.toDbString());
    }

    // Columns of figures: grouped thousands, two decimals, four where the value has them.
    void displayText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("shown");
        QTest::newRow("zero") << "en_US" << qint64(0) << "0.00";
        QTest::newRow("one decimal") << "en_US" << qint64(27505000) << "2,750.50";
        QTest::newRow("three decimals") << "en_US" << qint64(-12340) << "-1.2340";
        QTest::newRow("millions") << "en_US" << qint64(-12345678900000) << "-1,234,567,890.00";
        QTest::newRow("three digits") << "en_US" << qint64(9990000) << "999.00";
        QTest::newRow("comma locale") << "de_DE" << qint64(12345678912345) << "1.234.567.891,2345";
    }
    void displayText()
    {
        QFETCH(QString, locale);
        QFETCH(qint64, units);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(Money::fromUnits(units).toDisplayString(), shown);
    }

    void extremesRoundTrip()
    {
        for (const __int128 u : {kMaxUnits, kMinUnits + 1}) {
            const Money m = Money::fromUnits(u);
            const auto back = Money::parseDb(m.toDbString());
            QVERIFY(back && *back == m);
        }
        QCOMPARE(Money::fromUnits(kMinUnits).toDbString(),
            QStringLiteral("-17014118346046923173168730371588410.5728"));
    }

    // A tenth is not exact in binary floating point; ten of them must make exactly one.
    void addsExactly()
    {
        Money sum;
        const Money tenth = *Money::parse(QStringLiteral("0.1"));
        for (int i = 0; i < 10; ++i)
            sum += tenth;
        QCOMPARE(sum, Money::fromInt(1));

        // A large group's trial balance: a million lines of the largest amount a line may hold,
        // and back down again with a cent that a double would lose.
        Money big = *Money::parse(QStringLiteral("0.01"));
        const Money line = Money::fromInt(900000000);
        for (int i = 0; i < 1000000; ++i)
            big += line;
        QCOMPARE(big.toDbString(), QStringLiteral("900000000000000.01"));
        for (int i = 0; i < 1000000; ++i)
            big -= line;
        QCOMPARE(big.toDbString(), QStringLiteral("0.01"));
    }

    void overflowIsAnError()
    {
        const Money top = Money::fromUnits(kMaxUnits);
        const Money bottom = Money::fromUnits(kMinUnits);
        QVERIFY_THROWS_EXCEPTION(MoneyOverflow, top + units(1));
        QVERIFY_THROWS_EXCEPTION(MoneyOverflow, bottom - units(1));
        QVERIFY_THROWS_EXCEPTION(MoneyOverflow, -bottom);
        Money m = top;
        QVERIFY_THROWS_EXCEPTION(MoneyOverflow, m += units(1));
        QCOMPARE(m, top); // a failed addition leaves the value as it was
        QCOMPARE(top + units(-1), Money::fromUnits(kMaxUnits - 1));
    }

    void compareAndDecimals_data()
    {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<bool>("moreThanTwo");
        QTest::newRow("whole") << qint64(50000) << false;
        QTest::newRow("two decimals") << qint64(12300) << false;
        QTest::newRow("negative, two decimals") << qint64(-12300) << false;
        QTest::newRow("third decimal") << qint64(12310) << true;
        QTest::newRow("fourth decimal") << qint64(12301) << true;
        QTest::newRow("negative fourth decimal") << qint64(-1) << true;
    }
    void compareAndDecimals()
    {
        QFETCH(qint64, units);
        QFETCH(bool, moreThanTwo);
        QCOMPARE(Money::fromUnits(units).hasMoreThanTwoDecimals(), moreThanTwo);
        QVERIFY(Money::fromUnits(units) < Money::fromUnits(units + 1));
        QCOMPARE(Money::fromUnits(units).isNegative(), units < 0);
    }
};

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
