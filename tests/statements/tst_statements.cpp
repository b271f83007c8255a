#include "SetupTestHelpers.h"
#include "StatementTesting.h"
#include "TestSupport.h"
#include "TrialBalanceTesting.h"

#include "print/TablePrinter.h"
#include "standard/Standard.h"
#include "statements/StatementsWindow.h"
#include "trialbalance/TrialBalanceColumns.h"
#include "trialbalance/TrialBalanceTable.h"
#include "trialbalance/Xlsx.h"

#include <QCheckBox>
#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QDate today(2024, 5, 15);

// Two years of one company: 2023 from March 2023 and 2024 from March 2024, a chart of
// three levels with the result object 38000, entries in both years and before them.
struct TwoYears {
    TestDatabase db;
    int user = 0, company = 0, year2023 = 0, year2024 = 0;

    TwoYears()
    {
        user = db.addUser("ann", "ann@example.com", "secret");
        company = db.addCompany("Acme");
        db.addAccess(user, company);
        const int cc10 = db.addCostCentre(company, 10, "Head office");
        const int cc20 = db.addCostCentre(company, 20, "Branch");
        db.addObject(10000, "Assets", "Balance Sheet", 1, "No");
        db.addObject(11000, "Current assets", "Balance Sheet", 2, "No");
        const int cash = db.addObject(11100, "Cash", "Balance Sheet", 3);
        const int stock = db.addObject(12000, "Stock", "Balance Sheet", 2);
        db.addObject(20000, "Liabilities", "Balance Sheet", 1, "No");
        const int loans = db.addObject(21000, "Loans", "Balance Sheet", 2);
        db.addObject(30000, "Equity", "Balance Sheet", 1, "No");
        db.addObject(38000, "Retained income", "Balance Sheet", 2);
        db.addObject(40000, "Income", "Income Statement", 1, "No");
        const int sales = db.addObject(41000, "Sales", "Income Statement", 2);
        db.addObject(50000, "Expenses", "Income Statement", 1, "No");
        db.addObject(51000, "Overheads", "Income Statement", 2, "No");
        const int rent = db.addObject(51100, "Rent", "Income Statement", 3);
        const int cash10 = db.addAccount(cc10, cash, "Cash at head office");
        const int cash20 = db.addAccount(cc20, cash, "Cash at branch");
        const int stock10 = db.addAccount(cc10, stock, "Stock");
        const int loan10 = db.addAccount(cc10, loans, "Bank loan");
        const int sales10 = db.addAccount(cc10, sales, "Sales at head office");
        const int sales20 = db.addAccount(cc20, sales, "Sales at branch");
        const int rent20 = db.addAccount(cc20, rent, "Rent of the branch");
        year2023 = db.addYear(company, "2023", QDate(2023, 3, 1));
        year2024 = db.addYear(company, "2024", QDate(2024, 3, 1));
        int n = 0;
        db.addEntry(company, ++n, QDate(2022, 12, 31), {{cash10, "5000"}, {loan10, "-5000"}});
        db.addEntry(company, ++n, QDate(2023, 3, 31), {{cash10, "250"}, {sales10, "-250"}});
        db.addEntry(company, ++n, QDate(2023, 7, 1), {{cash20, "-80.25"}, {rent20, "80.25"}});
        db.addEntry(company, ++n, QDate(2024, 2, 29), {{stock10, "1000"}, {sales20, "-1000"}});
        db.addEntry(company, ++n, QDate(2024, 3, 1), {{cash20, "99.99"}, {sales20, "-99.99"}});
        db.addEntry(company, ++n, QDate(2024, 4, 30), {{rent20, "1200"}, {cash10, "-1200"}});
        db.addEntry(company, ++n, QDate(2024, 6, 15), {{stock10, "0.1234"}, {sales10, "-0.1234"}});
        db.addEntry(company, ++n, QDate(2024, 9, 2), {{loan10, "500"}, {cash10, "-500"}});
    }
};

// The two years' books, a message log and the main window logged in on the trial balance.
struct Shown {
    TwoYears books;
    MessageLog log;
    TfrmMain w;
    Shown()
    {
        w.Login(books.user);
        showTrialBalance(w);
    }
};

Money money(const QString& text) { return Money::parse(text).value_or(Money::fromInt(999999999)); }

void compareWithTrialBalance(const StringGrid& tb, const StringGrid& st, bool sheet)
{
    const QStringList wrong = statementDifferences(tb, st, sheet);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
}

// Opens the statements from the trial balance tab and runs `check` on the window.
bool withStatements(TfrmMain& w, const std::function<void(TfrmStatements&)>& check)
{
    bool opened = false;
    auto modal = onNextModal([&](QDialog* d) {
        auto* statements = qobject_cast<TfrmStatements*>(d);
        QVERIFY(statements);
        QCOMPARE(statements->objectName(), QStringLiteral("frmStatements"));
        opened = true;
        check(*statements);
    });
    QTest::mouseClick(w.tsTrialBalance->findChild<QPushButton*>("btnStatements"), Qt::LeftButton);
    return opened;
}

void showAllRows(TfrmStatements& s)
{
    QCOMPARE(s.cbStatementLevel->currentText(), QString::number(s.cbStatementLevel->count()));
    QVERIFY(!s.chkStatementAccounts->isChecked());
    s.chkStatementAccounts->setChecked(true);
}

QStringList pdfPages(const QString& path)
{
    QProcess p;
    p.start("pdftotext", {"-layout", path, "-"});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}
}

class TestStatements : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }
    void init() { SetClockForTesting(QDateTime(today, QTime(9, 0))); }
    void cleanup()
    {
        SetClockForTesting({});
        SetPdfFileNameHandler({});
    }

    // Both statements, cell by cell, are sums of the trial balance's cells, on a small
    // fixture and on the demo books, and the balance sheet's check total is 0 at every date.
    void statementsAddUpTheTrialBalance_data()
    {
        QTest::addColumn<bool>("demo");
        QTest::newRow("fixture") << false;
        QTest::newRow("demo books") << true;
    }
    void statementsAddUpTheTrialBalance()
    {
        QFETCH(bool, demo);
        std::optional<TwoYears> fixture;
        std::optional<TestDatabase> demoDb;
        int user = 0;
        if (demo) {
            SetClockForTesting({});
            demoDb.emplace();
            demoDb->execFile(databaseFile("demo.sql"));
            user = demoDb->scalar("SELECT ID FROM wp_users WHERE user_login = 'demo'").toInt();
        } else {
            fixture.emplace();
            user = fixture->user;
        }
        MessageLog log;
        TfrmMain w;
        w.Login(user);
        showTrialBalance(w);
        QVERIFY(w.sgTB->columnCount() > TB.OpeningBalance + 1);
        const bool opened = withStatements(w, [&](TfrmStatements& s) {
            showAllRows(s);
            compareWithTrialBalance(*w.sgTB, *s.sgProfitAndLoss, false);
            compareWithTrialBalance(*w.sgTB, *s.sgBalanceSheet, true);
        });
        QVERIFY(opened);
        QVERIFY2(log.messages.isEmpty() && log.errors.isEmpty(),
            qPrintable((log.messages + log.errors).join('\n')));
    }

    // The level box cuts the chart: level 1 shows the top objects and the closing lines only;
    // accounts show under their objects when asked, and hide with them.
    void levelAndAccountsChooseTheRows()
    {
        Shown shown;
        auto& [books, log, w] = shown;
        QVERIFY(withStatements(w, [&](TfrmStatements& s) {
            QCOMPARE(s.pcStatements->count(), 2);
            QCOMPARE(s.pcStatements->widget(0)->objectName(), QStringLiteral("tsProfitAndLoss"));
            QCOMPARE(s.pcStatements->tabText(1), QStringLiteral("Balance Sheet"));
            QCOMPARE(s.cbStatementLevel->count(), 3);
            auto column = [](const StringGrid& g, int col) {
                QStringList out;
                for (int r = 1; r < g.rowCount(); ++r)
                    out << g.cell(col, r);
                return out;
            };
            // Default: the deepest level, no accounts.
            QCOMPARE(column(*s.sgProfitAndLoss, 0),
                (QStringList{"40000", "41000", "50000", "51000", "51100", ""}));
            choose(s.cbStatementLevel, "1");
            QCOMPARE(column(*s.sgProfitAndLoss, 0), (QStringList{"40000", "50000", ""}));
            QCOMPARE(column(*s.sgBalanceSheet, 1),
                (QStringList{"Assets", "Liabilities", "Equity", "Result for the year to date", "Total"}));
            s.chkStatementAccounts->setChecked(true);
            QCOMPARE(column(*s.sgProfitAndLoss, 0), (QStringList{"40000", "50000", ""}));
            choose(s.cbStatementLevel, "2");
            QCOMPARE(column(*s.sgProfitAndLoss, 0),
                (QStringList{"40000", "41000", "41000", "41000", "50000", "51000", ""}));
            // Rent's account sits on a level-3 object: hidden at level 2 with its object.
            QVERIFY(!column(*s.sgProfitAndLoss, 1).join('|').contains("Rent of the branch"));
            // Year to date of sales: the year's two sales entries.
            const int sales = 2;
            QCOMPARE(s.sgProfitAndLoss->cell(s.sgProfitAndLoss->columnCount() - 1, sales),
                QStringLiteral("-100.1134"));
        }));
        QVERIFY2(log.messages.isEmpty(), qPrintable(log.messages.join('\n')));
    }

    // "Previous year" puts beside each column the same figure of the year before, read on
    // its own; the first year has none and stays blank.
    void previousYearStandsBesideEachColumn()
    {
        Shown shown;
        auto& [books, log, w] = shown;
        choose(w.cbFinancialYear, "Acme - 2023");
        QList<QStringList> before2024[2];
        QVERIFY(withStatements(w, [&](TfrmStatements& s) {
            s.chkStatementAccounts->setChecked(true);
            before2024[0] = snapshot(*s.sgProfitAndLoss);
            before2024[1] = snapshot(*s.sgBalanceSheet);
            s.chkPreviousYear->setChecked(true);
            const StringGrid& g = *s.sgBalanceSheet;
            QCOMPARE(g.columnCount(), 2 + 2 * 13);
            for (int r = 1; r < g.rowCount(); ++r)
                for (int c = 3; c < g.columnCount(); c += 2)
                    QCOMPARE(g.cell(c, r), QString());
        }));
        choose(w.cbFinancialYear, "Acme - 2024");
        QVERIFY(withStatements(w, [&](TfrmStatements& s) {
            s.chkStatementAccounts->setChecked(true);
            s.chkPreviousYear->setChecked(true);
            for (int k = 0; k < 2; ++k) {
                const StringGrid& g = k == 0 ? *s.sgProfitAndLoss : *s.sgBalanceSheet;
                const QList<QStringList>& earlier = before2024[k];
                QCOMPARE(g.rowCount(), earlier.size());
                QCOMPARE(g.columnCount(), 2 + 2 * 13);
                for (int c = 0; c < 12; ++c)
                    QCOMPARE(g.cell(3 + 2 * c, 0), earlier[0][2 + c]);
                QCOMPARE(g.cell(g.columnCount() - 1, 0), earlier[0].last() + ", previous year");
                for (int r = 1; r < g.rowCount(); ++r) {
                    QCOMPARE(g.cell(0, r), earlier[r][0]);
                    for (int c = 0; c < 13; ++c)
                        QCOMPARE(g.cell(3 + 2 * c, r), earlier[r][2 + c]);
                }
            }
            // The previous year's Result line: 2023's profit and loss up to its first period's end.
            const StringGrid& g = *s.sgBalanceSheet;
            QCOMPARE(g.cell(3, g.rowCount() - 2), QStringLiteral("-250"));
        }));
        QVERIFY2(log.messages.isEmpty(), qPrintable(log.messages.join('\n')));
    }

    // Without the view right on the trial balance the statements do not open.
    void withoutViewRightNothingOpens()
    {
        Shown shown;
        auto& [books, log, w] = shown;
        books.db.exec("UPDATE access SET administrator = 'No', `trial balance` = 'No access'");
        QVERIFY(!withStatements(w, [](TfrmStatements&) {}));
        QCOMPARE(log.messages,
            QStringList{
                "The selected company/companies does not all have view access to the trial balance."});
    }

    // A PDF of the trial balance over several pages: every page carries the headings, the
    // books and "Page n of m", the total row comes last with the grid's totals; and the balance
    // sheet's PDF shows its result line and a check total of 0.
    void pdfRepeatsHeadingsAndCarriesTotals()
    {
        TwoYears books;
        const int cc
            = books.db.scalar("SELECT id FROM `cost centres` WHERE `cost centre number` = 10").toInt();
        // Enough rows for several pages.
        for (int i = 0; i < 150; ++i) {
            const int object
                = books.db.addObject(11200 + i, QString("Deposit %1").arg(i), "Balance Sheet", 3);
            const int account = books.db.addAccount(cc, object, QString("Deposit account %1").arg(i));
            books.db.addEntry(books.company, 100 + i, QDate(2024, 3 + i % 9, 10),
                {{account, QString::number(i) + ".5"},
                    {books.db.scalar("SELECT id FROM accounts WHERE `account description` = 'Bank loan'")
                            .toInt(),
                        "-" + QString::number(i) + ".5"}});
        }
        MessageLog log;
        TfrmMain w;
        w.Login(books.user);
        showTrialBalance(w);
        QTemporaryDir dir;
        QString suggested;
        SetPdfFileNameHandler([&](const QString& s) {
            suggested = s;
            return dir.filePath("tb");
        });
        QTest::mouseClick(w.tsTrialBalance->btnSavePdfTrialBalance, Qt::LeftButton);
        QVERIFY(suggested.endsWith("Trial Balance.pdf"));
        const QStringList pages = pdfPages(dir.filePath("tb.pdf"));
        QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
        for (int i = 0; i < pages.size(); ++i) {
            const QString& page = pages[i];
            for (const char* heading :
                {"Object Number", "Object Description", "Opening balance", "Mar 2024", "Feb 2025"})
                QVERIFY2(
                    page.contains(heading), qPrintable(QString("page %1 lacks %2").arg(i + 1).arg(heading)));
            QVERIFY(page.contains("Company: Acme"));
            QVERIFY(page.contains("Financial year: Acme - 2024"));
            QVERIFY(page.contains(QString("Page %1 of %2").arg(i + 1).arg(pages.size())));
        }
        // The total row: each column's total as the grid's total row shows it, grouped.
        QStringList totals;
        for (int c = TB.OpeningBalance; c < w.tsTrialBalance->sgTBTotals->columnCount(); ++c)
            totals << money(w.tsTrialBalance->sgTBTotals->cell(c, 1)).toDisplayString();
        const QStringList lastLines = pages.last().split('\n');
        const auto totalLine = std::find_if(lastLines.begin(), lastLines.end(),
            [](const QString& l) { return l.contains(QRegularExpression("^\\s*Total\\b")); });
        QVERIFY(totalLine != lastLines.end());
        QCOMPARE(totalLine->simplified().split(' ').mid(1), totals);

        // The balance sheet, as its window saves it.
        QVERIFY(withStatements(w, [&](TfrmStatements& s) {
            s.pcStatements->setCurrentWidget(s.tsBalanceSheet);
            choose(s.cbStatementLevel, "1");
            SetPdfFileNameHandler([&](const QString& s) {
                suggested = s;
                return dir.filePath("sheet.pdf");
            });
            QTest::mouseClick(s.btnSavePdf, Qt::LeftButton);
        }));
        QVERIFY(suggested.endsWith("Balance Sheet.pdf"));
        const QStringList sheet = pdfPages(dir.filePath("sheet.pdf"));
        QCOMPARE(sheet.size(), 1);
        QVERIFY(sheet[0].contains("Balance Sheet"));
        QVERIFY(sheet[0].contains("Result for the year to date"));
        QVERIFY(sheet[0].contains("Page 1 of 1"));
        const QStringList sheetLines = sheet[0].split('\n');
        const auto total = std::find_if(sheetLines.begin(), sheetLines.end(),
            [](const QString& l) { return l.simplified().startsWith("Total "); });
        QVERIFY(total != sheetLines.end());
        QCOMPARE(total->simplified().split(' ').mid(1), QStringList(13, "0.00"));
        QCOMPARE(
            log.messages, QStringList{"Saved as " + QDir::toNativeSeparators(dir.filePath("sheet.pdf"))});
    }

    // The shown statement goes to a new workbook with its amounts as numbers, its texts as
    // texts, the title and the books on top.
    void exportWritesNumbers()
    {
        const QString beside = QCoreApplication::applicationDirPath() + "/Statement.xlsx";
        QFile::remove(beside);
        QVERIFY(QFile::copy(VELDRA_STATEMENT_TEMPLATE, beside));
        QTemporaryDir temp;
        const QByteArray oldTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        TwoYears books;
        MessageLog log;
        LinkCatcher links;
        TfrmMain w;
        w.Login(books.user);
        showTrialBalance(w);
        QVERIFY(withStatements(w, [&](TfrmStatements& s) {
            choose(s.cbStatementLevel, "1");
            QTest::mouseClick(s.btnExportStatement, Qt::LeftButton);
        }));
        qputenv("TMPDIR", oldTemp);
        QFile::remove(beside);
        QCOMPARE(links.urls.size(), 1);
        const QString path = links.urls[0].toLocalFile();
        QVERIFY(QFileInfo(path).fileName().startsWith("Profit and Loss "));
        XlsxWorkbook book(path);
        const QString xml = QString::fromUtf8(book.sheet("Statement").xml());
        QVERIFY(xml.contains(
            QRegularExpression(R"(<c r="A1"[^>]*t="inlineStr"[^>]*><is><t>Profit and Loss</t>)")));
        QVERIFY(xml.contains(QRegularExpression(R"(<c r="A2"[^>]*><is><t>Company: Acme</t>)")));
        QVERIFY(xml.contains(QRegularExpression(R"(<c r="A3"[^>]*><is><t>Financial year: Acme - 2024</t>)")));
        QVERIFY(xml.contains(QRegularExpression(R"(<c r="B4"[^>]*><is><t>Object Description</t>)")));
        // Row 5, Income: March's sales of 99.99 (a credit) as a number.
        QVERIFY2(
            xml.contains(QRegularExpression(R"(<c r="C5"[^>]*><v>-99.99</v>)")), qPrintable(xml.left(3000)));
        QVERIFY(xml.contains(QRegularExpression(R"(<c r="A5"[^>]*><v>40000</v>)")));
        QVERIFY(log.messages.isEmpty());
    }

    // Ctrl+P prints the trial balance while its tab is shown, through the print preview;
    // on another tab it does nothing. In the statements window it prints the page shown.
    void printGoesThroughThePreview()
    {
        TwoYears books;
        MessageLog log;
        TfrmMain w;
        w.Login(books.user);
        w.show();
        showTrialBalance(w);
        QCOMPARE(w.acPrint->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        auto modal = onNextModal();
        w.acPrint->trigger();
        QVERIFY(modal->ran);
        QCOMPARE(modal->title, QStringLiteral("Print Trial Balance"));
        w.pcMain->setCurrentWidget(w.tsWelcome);
        modal = onNextModal();
        w.acPrint->trigger();
        QTest::qWait(20);
        QVERIFY(!modal->ran);
        w.pcMain->setCurrentWidget(w.tsTrialBalance);
        QString title;
        QVERIFY(withStatements(w, [&](TfrmStatements& s) {
            s.pcStatements->setCurrentWidget(s.tsBalanceSheet);
            s.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&s));
            auto preview = onNextModal();
            QTest::keyClick(&s, Qt::Key_P, Qt::ControlModifier);
            title = preview->title;
        }));
        QCOMPARE(title, QStringLiteral("Print Balance Sheet"));
        QVERIFY2(log.messages.isEmpty(), qPrintable(log.messages.join('\n')));
    }

    // A file that cannot be written is said so, and nothing is left half-written.
    void unwritablePdfIsReported()
    {
        Shown shown;
        auto& [books, log, w] = shown;
        SetPdfFileNameHandler([](const QString&) { return QStringLiteral("/nonexistent-folder/tb.pdf"); });
        QTest::mouseClick(w.tsTrialBalance->btnSavePdfTrialBalance, Qt::LeftButton);
        QCOMPARE(log.messages.size(), 1);
        QVERIFY(log.messages[0].startsWith("The PDF file could not be written:"));
        QVERIFY(!QFileInfo::exists("/nonexistent-folder/tb.pdf"));
    }
};

QTEST_MAIN(TestStatements)
#include "tst_statements.moc"
