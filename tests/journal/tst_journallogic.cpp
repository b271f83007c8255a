#include "journal/JournalColumns.h"
#include "journal/JournalLogic.h"

#include <QLocale>
#include <QTest>

Q_DECLARE_METATYPE(std::optional<AccountNumber>)
Q_DECLARE_METATYPE(QList<JournalLine>)

namespace {
AccountLookup books()
{
    AccountLookup a;
    a.add({1000, 200}, {7, "Head Office", "Bank"});
    a.add({1000, 300}, {8, "Head Office", "Sales"});
    a.add({-5, 2147483647}, {9, "Odd centre", "Odd account"});
    return a;
}

JournalLine line(const QString& account, const QString& description, const QString& amount)
{
    return {account, description, amount};
}
}

class TestJournalLogic : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void readAccountNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<AccountNumber>>("expected");
        const std::optional<AccountNumber> none;
        QTest::newRow("plain") << "1000.200" << std::optional<AccountNumber>({1000, 200});
        QTest::newRow("leading zeros") << "01000.0200" << std::optional<AccountNumber>({1000, 200});
        QTest::newRow("signs") << "-5.+7" << std::optional<AccountNumber>({-5, 7});
        QTest::newRow("32-bit limits")
            << "-2147483648.2147483647" << std::optional<AccountNumber>({-2147483647 - 1, 2147483647});
        QTest::newRow("no point") << "1000" << none;
        QTest::newRow("empty") << "" << none;
        QTest::newRow("nothing before the point") << ".200" << none;
        QTest::newRow("nothing after the point") << "1000." << none;
        QTest::newRow("two points") << "1000.2000.3" << none;
        QTest::newRow("letter") << "1000.20a" << none;
        QTest::newRow("blank") << "1000. 200" << none;
        QTest::newRow("decimal comma") << "1000,200" << none;
        QTest::newRow("beyond 32 bits") << "2147483648.1" << none;
        QTest::newRow("other digits") << QString::fromUtf8("١٠.٢") << none;
    }
    void readAccountNumber()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<AccountNumber>, expected);
        const auto got = ::readAccountNumber(text);
        QCOMPARE(got.has_value(), expected.has_value());
        if (expected)
            QVERIFY(*got == *expected);
    }

    // What columns 1 and 2 show as an account number is typed, keystroke by keystroke.
    void describeAccountNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("costCentre");
        QTest::addColumn<QString>("account");
        QTest::newRow("empty") << ""
                               << ""
                               << "";
        QTest::newRow("no point yet") << "1000"
                                      << "Account Number invalid"
                                      << "";
        QTest::newRow("point, no digit") << "1000."
                                         << "Account Number invalid"
                                         << "";
        QTest::newRow("unknown") << "1000.2"
                                 << "Account Not Found"
                                 << "";
        QTest::newRow("found") << "1000.200"
                               << "Head Office"
                               << "Bank";
        QTest::newRow("found through zeros") << "001000.00300"
                                             << "Head Office"
                                             << "Sales";
        QTest::newRow("numbers swapped") << "200.1000"
                                         << "Account Not Found"
                                         << "";
        QTest::newRow("extreme numbers") << "-5.2147483647"
                                         << "Odd centre"
                                         << "Odd account";
    }
    void describeAccountNumber()
    {
        QFETCH(QString, text);
        QFETCH(QString, costCentre);
        QFETCH(QString, account);
        QCOMPARE(::describeAccountNumber(text, books()), (AccountDescriptions{costCentre, account}));
    }

    void runningTotal_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("amounts");
        QTest::addColumn<QString>("caption");
        QTest::newRow("nothing") << "C" << QStringList{} << "Journal Total: 0";
        QTest::newRow("balanced") << "C" << QStringList{"100", "-100"} << "Journal Total: 0";
        QTest::newRow("empty cells skipped")
            << "C" << QStringList{"", "12.5", "", "-2"} << "Journal Total: 10.5";
        QTest::newRow("four decimals kept")
            << "C" << QStringList{"12.345", "0.0001"} << "Journal Total: 12.3451";
        QTest::newRow("not a number")
            << "C" << QStringList{"100", "abc"} << "Journal Total: [Amounts not correct]";
        QTest::newRow("five decimals")
            << "C" << QStringList{"1.00001"} << "Journal Total: [Amounts not correct]";
        QTest::newRow("comma locale") << "de_DE" << QStringList{"12,5", "-2,25"} << "Journal Total: 10,25";
        QTest::newRow("point under comma locale")
            << "de_DE" << QStringList{"12.5"} << "Journal Total: [Amounts not correct]";
        QTest::newRow("no float drift") << "C" << QStringList{"0.1", "0.2", "-0.3"} << "Journal Total: 0";
    }
    void runningTotal()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, amounts);
        QFETCH(QString, caption);
        QLocale::setDefault(QLocale(locale));
        QList<JournalLine> lines;
        for (const QString& a : amounts)
            lines << line("1000.200", "Anything", a);
        QCOMPARE(journalTotalCaption(lines), caption);
    }

    // OK's checks of the lines: the first fault, its message and the cell the cursor goes to.
    void lineChecks_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QList<JournalLine>>("lines");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        const JournalLine ok = line("1000.200", "Deposit", "100");
        const JournalLine credit = line("1000.300", "Sale", "-100");
        using L = QList<JournalLine>;
        QTest::newRow("no lines") << "C" << L{} << "Account number not specified on line nr 1."
                                  << JE.AccountNumber << 1;
        QTest::newRow("gap") << "C" << L{ok, {}, credit} << "Account number not specified on line nr 2."
                             << JE.AccountNumber << 2;
        QTest::newRow("only a description")
            << "C" << L{ok, line("", "Sale", "")} << "Account number not specified on line nr 2."
            << JE.AccountNumber << 2;
        QTest::newRow("no point") << "C" << L{ok, line("1000", "Sale", "-100")}
                                  << "Account number format not correct on line nr 2." << JE.AccountNumber
                                  << 2;
        QTest::newRow("not found") << "C" << L{line("1000.2", "Deposit", "100")}
                                   << "Account not found on line nr 1." << JE.AccountNumber << 1;
        QTest::newRow("short description")
            << "C" << L{ok, line("1000.300", "ab", "-100")} << "Line description not specified on line nr 2."
            << JE.LineDescription << 2;
        QTest::newRow("description longer than its column holds")
            << "C" << L{ok, line("1000.300", QString(16001, 'x'), "-100")}
            << "Line description longer than 16000 characters on line nr 2." << JE.LineDescription << 2;
        for (const char* bad : {"", "0", "12.345", "900000000.01", "-900000000.01", "abc", "12,30"})
            QTest::newRow(qPrintable(QStringLiteral("amount '%1'").arg(bad)))
                << "C" << L{ok, line("1000.300", "Sale", bad)} << "Amount not correct on line nr 2."
                << JE.Amount << 2;
        for (const char* bad : {"12.30", "12,345", "0,00"})
            QTest::newRow(qPrintable(QStringLiteral("comma locale amount '%1'").arg(bad)))
                << "de_DE" << L{line("1000.300", "Sale", bad)} << "Amount not correct on line nr 1."
                << JE.Amount << 1;
        for (const char* good : {"-900000000", "900000000", "12.3", "12.30", "-0.01"})
            QTest::newRow(qPrintable(QStringLiteral("amount '%1' accepted").arg(good)))
                << "C" << L{ok, line("1000.300", "Sale", good)} << "" << 0 << 0;
        QTest::newRow("comma locale accepted")
            << "de_DE" << L{line("1000.300", "Sale", "12,30")} << "" << 0 << 0;
        // Text in the fixed columns is not the user's and plays no part.
        QTest::newRow("first fault wins")
            << "C" << L{line("1000", "ab", "abc")} << "Account number format not correct on line nr 1."
            << JE.AccountNumber << 1;
        L hundred(MaxJournalLines, ok);
        QTest::newRow("100 lines") << "C" << hundred << "" << 0 << 0;
        hundred[99] = line("1000.300", "Sale", "x");
        QTest::newRow("fault on line 100")
            << "C" << hundred << "Amount not correct on line nr 100." << JE.Amount << 100;
    }
    void lineChecks()
    {
        QFETCH(QString, locale);
        QFETCH(QList<JournalLine>, lines);
        QFETCH(QString, message);
        QFETCH(int, column);
        QFETCH(int, row);
        QLocale::setDefault(QLocale(locale));
        const auto problem = checkJournalLines(lines, books());
        if (message.isEmpty()) {
            QVERIFY2(!problem, qPrintable(problem ? problem->message : QString()));
            return;
        }
        QVERIFY(problem);
        QCOMPARE(problem->message, message);
        QCOMPARE(problem->column, column);
        QCOMPARE(problem->row, row);
    }

    void typedLines()
    {
        const JournalLine ok = line("1000.200", "Deposit", "100");
        QCOMPARE(typedLineCount({}), 0);
        QCOMPARE(typedLineCount({ok, {}, ok, {}, {}}), 3);
        QCOMPARE(typedLineCount(QList<JournalLine>(MaxJournalLines, ok)), MaxJournalLines);
    }
};

QTEST_APPLESS_MAIN(TestJournalLogic)
#include "tst_journallogic.moc"
