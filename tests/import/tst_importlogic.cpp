#include "import/CsvFile.h"
#include "import/ImportLogic.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(CsvFormat)
Q_DECLARE_METATYPE(QList<ImportProblem>)

namespace {
// Bank 1000.200 (id 7), Sales 1000.300 (id 8); one open period, March 2026 (id 3).
AccountLookup accounts()
{
    AccountLookup a;
    a.add({1000, 200}, {7, "Head Office", "Bank"});
    a.add({1000, 300}, {8, "Head Office", "Sales"});
    return a;
}
const QList<ImportPeriod> March{{3, QDate(2026, 3, 1), QDate(2026, 3, 31)}};

// Columns: key, date, description, account, line description, amount.
ImportMapping keyed()
{
    ImportMapping m;
    m.entryKey = 0;
    m.date = 1;
    m.description = 2;
    m.account = 3;
    m.lineDescription = 4;
    m.amount = 5;
    return m;
}

CsvTable table(const QByteArray& text)
{
    CsvFormat f;
    f.headings = true;
    return readCsv(text, f);
}

const QByteArray Heading = "Key,Date,Description,Account,Line,Amount\n";
}

class TestImportLogic : public QObject {
    Q_OBJECT
private slots:
    // Every delimiter and encoding, with and without a byte-order mark: detected, and the
    // fields read exactly, quotes, doubled quotes and line breaks inside quotes included.
    void readsEachFormat_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<CsvFormat>("expected");
        const QByteArray rows = "Date;Description;Amount\n"
                                "01/03/2026;\"Rent; March\";-1500.00\n"
                                "02/03/2026;\"He said \"\"paid\"\"\nin full\";12\n";
        auto with = [&](char d) {
            QByteArray b = rows;
            b.replace(';', d);
            return b;
        };
        QTest::newRow("comma") << with(',') << CsvFormat{',', TextEncoding::Utf8, false, true};
        QTest::newRow("semicolon") << rows << CsvFormat{';', TextEncoding::Utf8, false, true};
        QTest::newRow("tab") << with('\t') << CsvFormat{'\t', TextEncoding::Utf8, false, true};
        QTest::newRow("byte-order mark")
            << QByteArray("\xEF\xBB\xBF") + rows << CsvFormat{';', TextEncoding::Utf8, true, true};
        QTest::newRow("CRLF") << QByteArray(rows).replace("\n", "\r\n")
                              << CsvFormat{';', TextEncoding::Utf8, false, true};
    }
    void readsEachFormat()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(CsvFormat, expected);
        const CsvFormat found = detectCsvFormat(bytes);
        QCOMPARE(found, expected);
        const CsvTable t = readCsv(bytes, found);
        QCOMPARE(t.error, QString());
        QCOMPARE(t.headings, (QStringList{"Date", "Description", "Amount"}));
        QCOMPARE(t.rows.size(), 2);
        QCOMPARE(t.rows[0].line, 2);
        QCOMPARE(t.rows[0].fields,
            (QStringList{"01/03/2026", QString("Rent") + expected.delimiter + " March", "-1500.00"}));
        QCOMPARE(t.rows[1].line, 3);
        const QString breakText = bytes.contains("\r\n") ? "\r\n" : "\n";
        QCOMPARE(t.rows[1].fields[1], "He said \"paid\"" + breakText + "in full");
    }

    // A file that is not UTF-8 is read as Windows-1252, its euro sign and accents intact;
    // either can be forced, and a UTF-8 file stays UTF-8.
    void encodings()
    {
        const QByteArray cp1252 = "Date,Description\n01/03/2026,Caf\xE9 \x80 5\n";
        QCOMPARE(detectCsvFormat(cp1252).encoding, TextEncoding::Windows1252);
        QCOMPARE(readCsv(cp1252, detectCsvFormat(cp1252)).rows[0].fields[1], QString::fromUtf8("Café € 5"));
        const QByteArray utf8 = QString::fromUtf8("Date,Description\n01/03/2026,Café € 5\n").toUtf8();
        QCOMPARE(detectCsvFormat(utf8).encoding, TextEncoding::Utf8);
        QCOMPARE(readCsv(utf8, detectCsvFormat(utf8)).rows[0].fields[1], QString::fromUtf8("Café € 5"));
        CsvFormat forced = detectCsvFormat(utf8);
        forced.encoding = TextEncoding::Windows1252;
        QCOMPARE(readCsv(utf8, forced).rows[0].fields[1], QString::fromUtf8("CafÃ© â‚¬ 5"));
    }

    // Headings are found when the first row holds no figure and the second does; a file
    // without them starts with data. A quote never closed is an error with its line.
    void headingsAndBrokenQuotes()
    {
        QVERIFY(!detectCsvFormat("01/03/2026,Rent,100\n02/03/2026,Rent,-100\n").headings);
        QVERIFY(detectCsvFormat("Date,Description,Amount\n02/03/2026,Rent,-100\n").headings);
        const CsvTable broken = readCsv("a,b\n1,\"open\n2,3\n", {});
        QCOMPARE(broken.error, QString("A quoted field of the row that starts on line 2 is never closed."));
        const CsvTable stray = readCsv("a,b\n1,x\"y\n", {});
        QVERIFY(stray.error.startsWith("Line 2 cannot be read"));
    }

    void amountsAndDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("decimal");
        QTest::addColumn<QChar>("thousands");
        QTest::addColumn<QString>("expected"); // empty: refused
        QTest::newRow("point") << "-1500.25" << QChar('.') << QChar() << "-1500.25";
        QTest::newRow("comma") << "1500,25" << QChar(',') << QChar() << "1500.25";
        QTest::newRow("grouped") << "1,234,567.89" << QChar('.') << QChar(',') << "1234567.89";
        QTest::newRow("grouped comma") << "-1.234,5" << QChar(',') << QChar('.') << "-1234.5";
        QTest::newRow("space group") << "12 000" << QChar('.') << QChar(' ') << "12000";
        QTest::newRow("bad grouping") << "12,34.5" << QChar('.') << QChar(',') << "";
        QTest::newRow("separator not chosen") << "1,234.00" << QChar('.') << QChar() << "";
        QTest::newRow("text") << "abc" << QChar('.') << QChar() << "";
    }
    void amountsAndDates()
    {
        QFETCH(QString, text);
        QFETCH(QChar, decimal);
        QFETCH(QChar, thousands);
        QFETCH(QString, expected);
        const std::optional<Money> m = readImportAmount(text, decimal, thousands);
        QCOMPARE(m, expected.isEmpty() ? std::nullopt : Money::parseDb(expected));
    }

    void dates()
    {
        QCOMPARE(readImportDate("05/03/2026", DateFormat::DayMonthYear), QDate(2026, 3, 5));
        QCOMPARE(readImportDate("5/3/2026", DateFormat::DayMonthYear), QDate(2026, 3, 5));
        QCOMPARE(readImportDate("2026-03-05", DateFormat::YearMonthDay), QDate(2026, 3, 5));
        QCOMPARE(readImportDate("03/05/2026", DateFormat::MonthDayYear), QDate(2026, 3, 5));
        QCOMPARE(readImportDate("31/02/2026", DateFormat::DayMonthYear), std::nullopt);
        QCOMPARE(readImportDate("2026-03-05", DateFormat::DayMonthYear), std::nullopt);
        QCOMPARE(readImportDate("05/03/26", DateFormat::DayMonthYear), std::nullopt);
    }

    // Lines form entries by their key, or without one by date and description; one amount
    // column or a debit and a credit column.
    void mappingKinds()
    {
        const CsvTable t = table(Heading
            + "A,01/03/2026,Cash sale,1000.200,Deposit,100\n"
              "B,02/03/2026,Rent,1000.300,Rent paid,-40\n"
              "A,01/03/2026,Cash sale,1000.300,Sale,-100\n"
              "B,02/03/2026,Rent,1000.200,From bank,40\n");
        ImportCheck byKey = checkImport(t, keyed(), accounts(), March);
        QCOMPARE(byKey.problems, QList<ImportProblem>{});
        QCOMPARE(byKey.entries.size(), 2);
        QCOMPARE(byKey.entries[0].description, QString("Cash sale"));
        QCOMPARE(byKey.entries[0].lines.size(), 2);
        QCOMPARE(byKey.entries[0].lines[1].fileLine, 4);
        QCOMPARE(byKey.entries[0].lines[1].accountId, 8);
        QCOMPARE(byKey.entries[0].periodId, 3);
        QCOMPARE(byKey.lineCount, 4);

        ImportMapping noKey = keyed();
        noKey.entryKey = -1;
        const ImportCheck byDate = checkImport(t, noKey, accounts(), March);
        QCOMPARE(byDate.problems, QList<ImportProblem>{});
        QCOMPARE(byDate.entries.size(), 2);
        QCOMPARE(byDate.entries[1].lines.size(), 2);

        const CsvTable dc = table("Date,Description,Account,Line,Debit,Credit\n"
                                  "2026-03-01,Cash sale,1000.200,Deposit,\"1,000.50\",\n"
                                  "2026-03-01,Cash sale,1000.300,Sale,,\"1,000.50\"\n");
        ImportMapping m;
        m.date = 0;
        m.description = 1;
        m.account = 2;
        m.lineDescription = 3;
        m.debitCredit = true;
        m.debit = 4;
        m.credit = 5;
        m.dateFormat = DateFormat::YearMonthDay;
        m.thousandsSeparator = ',';
        const ImportCheck split = checkImport(dc, m, accounts(), March);
        QCOMPARE(split.problems, QList<ImportProblem>{});
        QCOMPARE(split.entries.size(), 1);
        QCOMPARE(split.entries[0].lines[0].amount, *Money::parseDb("1000.5"));
        QCOMPARE(split.entries[0].lines[1].amount, *Money::parseDb("-1000.5"));
    }

    // Every refusal, with the file line it is on, the column and the text found; the whole
    // file is read, so all are listed at once.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QList<ImportProblem>>("problems");
        auto balanced = [](const QString& key) {
            return key + ",01/03/2026,Cash sale,1000.200,Deposit,100\n" + key
                + ",01/03/2026,Cash sale,1000.300,Sale,-100\n";
        };
        auto p = [](qsizetype line, const char* column, const QString& found, const QString& message) {
            return ImportProblem{line, column, found, message};
        };
        QTest::newRow("account missing, malformed, unknown")
            << QByteArray("A,01/03/2026,Cash sale,,Deposit,100\nA,01/03/2026,Cash sale,1000,Sale,-50\n"
                          "A,01/03/2026,Cash sale,1000.999,Sale,-50\n")
            << QList<ImportProblem>{p(2, "Account", "", "Account number not specified."),
                   p(3, "Account", "1000", "Account number format not correct."),
                   p(4, "Account", "1000.999", "Account not found.")};
        QTest::newRow("amounts") << QByteArray(
            "A,01/03/2026,Cash sale,1000.200,Deposit,0\nA,01/03/2026,Cash sale,1000.300,Sale,12.345\n"
            "A,01/03/2026,Cash sale,1000.300,Sale,900000000.01\nA,01/03/2026,Cash sale,1000.300,Sale,abc\n")
                                 << QList<ImportProblem>{p(2, "Amount", "0", "Amount not correct."),
                                        p(3, "Amount", "12.345", "Amount not correct."),
                                        p(4, "Amount", "900000000.01", "Amount not correct."),
                                        p(5, "Amount", "abc", "Amount not correct.")};
        QTest::newRow("dates")
            << QByteArray(
                   "A,2026-03-01,Cash sale,1000.200,Deposit,100\nB,01/04/2026,Rent,1000.300,Sale,-100\n")
            << QList<ImportProblem>{
                   p(2, "Date", "2026-03-01", "The date is not a date in the form dd/mm/yyyy."),
                   p(3, "Date", "01/04/2026",
                       "The date is not in an open period of the selected financial year.")};
        QTest::newRow("descriptions")
            << QByteArray("A,01/03/2026,ab,1000.200,Deposit,100\nA,01/03/2026,ab,1000.300,\"Tab\tin\",-100\n"
                          "B,01/03/2026,")
                + QByteArray(51, 'x') + ",1000.300,Sale,-100\n"
            << QList<ImportProblem>{
                   p(2, "Description", "ab",
                       "The journal entry description must hold 3 to 50 characters and no line breaks or tabs."),
                   p(3, "Description", "ab",
                       "The journal entry description must hold 3 to 50 characters and no line breaks or tabs."),
                   p(3, "Line", "Tab\tin", "Line description not specified."),
                   p(4, "Description", QString(51, 'x'),
                       "The journal entry description must hold 3 to 50 characters and no line breaks or tabs.")};
        QTest::newRow("unbalanced entry in the middle")
            << (balanced("A") + "B,02/03/2026,Rent,1000.200,Rent,40\nB,02/03/2026,Rent,1000.300,Rent,-39.99\n"
                   + balanced("C"))
                   .toUtf8()
            << QList<ImportProblem>{p(4, "", "0.01", "Journal total not 0.")};
        QTest::newRow("short row and differing line")
            << QByteArray("A,01/03/2026,Cash sale,1000.200\nA,01/03/2026,Cash sale,1000.200,Deposit,100\n"
                          "A,02/03/2026,Cash sale,1000.300,Sale,-100\n")
            << QList<ImportProblem>{p(2, "Line", "", "The row ends before this column."),
                   p(2, "Amount", "", "The row ends before this column."),
                   p(4, "", "",
                       "The line's date or entry description differs from the entry's first line (line 3).")};
        QTest::newRow("empty key") << QByteArray(",01/03/2026,Cash sale,1000.200,Deposit,100\n")
                                   << QList<ImportProblem>{p(2, "Key", "", "The entry key is empty.")};
        QTest::newRow("nothing") << QByteArray(
            ",,,,,\n") << QList<ImportProblem>{p(0, "", "", "The file holds no journal entry lines.")};
    }
    void refusals()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QList<ImportProblem>, problems);
        QCOMPARE(checkImport(table(Heading + rows), keyed(), accounts(), March).problems, problems);
    }

    // An entry of more than 100 lines is refused at its 101st line.
    void atMostHundredLines()
    {
        QByteArray rows = Heading;
        for (int i = 0; i < 101; ++i)
            rows += "A,01/03/2026,Cash sale,1000.200,Deposit," + QByteArray(i % 2 ? "-1" : "1") + "\n";
        const ImportCheck c = checkImport(table(rows), keyed(), accounts(), March);
        QCOMPARE(c.problems.size(), 1);
        QCOMPARE(c.problems[0].line, 102); // the 101st row, after the headings
        QCOMPARE(c.problems[0].message, QString("A journal entry can hold at most 100 lines."));
    }

    // Named mappings come back from the settings as saved.
    void savedMappings()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath("settings.ini"), QSettings::IniFormat);
        ImportMapping m = keyed();
        m.debitCredit = true;
        m.debit = 6;
        m.credit = 7;
        m.dateFormat = DateFormat::MonthDayYear;
        m.decimalSeparator = ',';
        m.thousandsSeparator = '.';
        saveMapping(settings, "Bank export", m);
        saveMapping(settings, "Another", keyed());
        QCOMPARE(savedMappingNames(settings), (QStringList{"Another", "Bank export"}));
        QCOMPARE(loadMapping(settings, "Bank export"), std::optional<ImportMapping>(m));
        QCOMPARE(loadMapping(settings, "Missing"), std::nullopt);
        QCOMPARE(mappingProblem(keyed()), QString());
        ImportMapping noAccount = keyed();
        noAccount.account = -1;
        QCOMPARE(mappingProblem(noAccount), QString("Choose the column that holds the account number."));
    }
};

QTEST_APPLESS_MAIN(TestImportLogic)
#include "tst_importlogic.moc"
