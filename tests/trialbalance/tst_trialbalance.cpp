#include "TestSupport.h"
#include "TrialBalanceTesting.h"

#include "standard/Standard.h"
#include "trialbalance/TrialBalanceDrawing.h"
#include "trialbalance/TrialBalanceReader.h"
#include "trialbalance/TrialBalanceTable.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLocale>
#include <QTest>

namespace {
const QDate today(2024, 5, 15);

// A small chart with two branches under "Assets", the result object 38000, and an income
// branch; one company with two cost centres; a year of twelve months from March 2024.
struct SmallBooks {
    TestDatabase db;
    int user = 0, company = 0, year = 0;
    int cash10 = 0, cash20 = 0, stock10 = 0, sales10 = 0;

    SmallBooks()
    {
        user = db.addUser("ann", "ann@example.com", "secret");
        company = db.addCompany("Acme");
        db.addAccess(user, company);
        const int cc10 = db.addCostCentre(company, 10, "Head office");
        const int cc20 = db.addCostCentre(company, 20, "Branch");
        db.addObject(10000, "Assets", "Balance Sheet", 1, "No", "A");
        db.addObject(11000, "Current assets", "Balance Sheet", 2, "No", "A");
        const int cash = db.addObject(11100, "Cash", "Balance Sheet", 3, "Yes", "A");
        db.addObject(11200, "Deposits", "Balance Sheet", 3, "Yes", "A");
        const int stock = db.addObject(12000, "Stock", "Balance Sheet", 2, "Yes", "A");
        db.addObject(30000, "Equity", "Balance Sheet", 1, "No", "E");
        db.addObject(38000, "Retained income", "Balance Sheet", 2, "Yes", "E");
        db.addObject(40000, "Income", "Income Statement", 1, "No", "I");
        const int sales = db.addObject(41000, "Sales", "Income Statement", 2, "Yes", "I");
        cash10 = db.addAccount(cc10, cash, "Cash at head office");
        cash20 = db.addAccount(cc20, cash, "Cash at branch");
        stock10 = db.addAccount(cc10, stock, "Stock at head office");
        sales10 = db.addAccount(cc10, sales, "Sales of head office");
        year = db.addYear(company, "2024", QDate(2024, 3, 1));
        db.addEntry(company, 1, QDate(2024, 3, 31), {{cash10, "250.00"}, {sales10, "-250.00"}});
        db.addEntry(company, 2, QDate(2024, 4, 1), {{cash20, "-100.50"}, {sales10, "100.50"}});
        db.addEntry(company, 3, QDate(2024, 2, 29), {{cash10, "1000"}, {sales10, "-1000"}});
        db.addEntry(company, 4, QDate(2025, 3, 1), {{stock10, "7"}, {sales10, "-7"}});
        db.addEntry(company, 5, QDate(2024, 6, 15), {{stock10, "0.1234"}, {sales10, "-0.1234"}});
    }
};

// Object number, cost centre number, level, then the opening balance and the first four
// periods, as the grid shows them.
QStringList keyCells(const StringGrid& g, int row)
{
    QStringList out{g.cell(TB.ObjectNumber, row), g.cell(TB.CostCentreNumber, row), g.cell(TB.Level, row)};
    for (int c = TB.OpeningBalance; c <= TB.OpeningBalance + 4; ++c)
        out << g.cell(c, row);
    return out;
}

QColor pixelOfRow(StringGrid& g, int row)
{
    // Right part of the Level cell, clear of its short text.
    const QRect cell = g.visualRect(g.model()->index(row - 1, TB.Level));
    return g.viewport()->grab().toImage().pixelColor(cell.right() - 4, cell.center().y());
}
}

class TestTrialBalance : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }
    void init() { SetClockForTesting(QDateTime(today, QTime(9, 0))); }
    void cleanup()
    {
        SetClockForTesting({});
        QLocale::setDefault(QLocale::c());
    }

    // The worked example and its neighbours: an account's amounts reach its object and
    // every ancestor one level up at a time, two accounts add up, a credit lowers them,
    // an object without accounts keeps "0", the last day of a period counts in it, and
    // before the year a balance-sheet amount opens its account while an income-statement
    // amount opens only object 38000 and its parent. Money shows the locale's separator.
    void balancesRollUpTheChart()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        SmallBooks books;
        MessageLog log;
        TfrmMain w;
        w.Login(books.user);
        showTrialBalance(w);
        QCOMPARE(w.pcMain->currentWidget(), w.tsTrialBalance);
        QVERIFY2(log.messages.isEmpty() && log.errors.isEmpty(),
            qPrintable((log.messages + log.errors).join('\n')));
        const StringGrid& g = *w.sgTB;
        QCOMPARE(g.columnCount(), 11 + 12);
        QCOMPARE(g.rowCount(), 14);
        QCOMPARE(snapshot(g).first().mid(0, 13),
            (QStringList{"Posting Type", "Classification", "Company Name", "Cost Centre Number",
                "Object Number", "Cost Centre Description", "Object Description", "Account Description",
                "Level", "Use For Account", "Opening balance", "Mar 2024", "Apr 2024"}));
        const QList<QStringList> expected{{"10000", "", "1", "1000", "250", "-100,5", "0", "0,1234"},
            {"11000", "", "2", "1000", "250", "-100,5", "0", "0"},
            {"11100", "", "3", "1000", "250", "-100,5", "0", "0"},
            {"11100", "10", "", "1000", "250", "0", "0", "0"},
            {"11100", "20", "", "0", "0", "-100,5", "0", "0"}, {"11200", "", "3", "0", "0", "0", "0", "0"},
            {"12000", "", "2", "0", "0", "0", "0", "0,1234"},
            {"12000", "10", "", "0", "0", "0", "0", "0,1234"},
            {"30000", "", "1", "-1000", "0", "0", "0", "0"}, {"38000", "", "2", "-1000", "0", "0", "0", "0"},
            {"40000", "", "1", "0", "-250", "100,5", "0", "-0,1234"},
            {"41000", "", "2", "0", "-250", "100,5", "0", "-0,1234"},
            {"41000", "10", "", "0", "-250", "100,5", "0", "-0,1234"}};
        for (int r = 1; r < g.rowCount(); ++r)
            QCOMPARE(keyCells(g, r), expected[r - 1]);
        // After the last period nothing shows; every later column of an account is "0".
        QCOMPARE(g.cell(g.columnCount() - 1, 8), QStringLiteral("0"));
        // Object rows carry only the object's texts; account rows add company and cost centre.
        QCOMPARE(snapshot(g)[3].mid(0, 10),
            (QStringList{"Balance Sheet", "A", "", "", "11100", "", "Cash", "", "3", "Yes"}));
        QCOMPARE(snapshot(g)[5].mid(0, 10),
            (QStringList{
                "Balance Sheet", "A", "Acme", "20", "11100", "Branch", "Cash", "Cash at branch", "", "Yes"}));
    }

    // The total row under the grid: each amount column's sum over the top-level objects, 0
    // in balanced books; a line written behind the program's back shows at once, in the
    // error colour. Its columns keep the grid's widths.
    void totalRowChecksTheBalance()
    {
        SmallBooks books;
        MessageLog log;
        TfrmMain w;
        w.resize(1046, 531);
        w.show();
        w.Login(books.user);
        showTrialBalance(w);
        const StringGrid& totals = *w.findChild<StringGrid*>("sgTBTotals");
        QCOMPARE(totals.columnCount(), w.sgTB->columnCount());
        QCOMPARE(totals.cell(TB.ObjectDescription, 1), QStringLiteral("Total"));
        for (int c = TB.OpeningBalance; c < totals.columnCount(); ++c)
            QCOMPARE(totals.cell(c, 1), QStringLiteral("0"));
        w.sgTB->setColumnWidth(TB.OpeningBalance, 133);
        QCOMPARE(totals.columnWidth(TB.OpeningBalance), 133);

        const int entry
            = books.db.scalar("SELECT id FROM transactions WHERE `transaction number` = 2").toInt();
        books.db.exec(
            QStringLiteral("INSERT INTO `transaction details` (`transaction id`, `line nr`, `account id`, "
                           "`line description`, amount, deleted) VALUES (%1, 9, %2, 'Stray', 5, 'No')")
                .arg(entry)
                .arg(books.cash10));
        w.RefreshFilters();
        QCOMPARE(totals.cell(TB.OpeningBalance + 2, 1), QStringLiteral("5"));
        QCOMPARE(totals.cell(TB.OpeningBalance + 1, 1), QStringLiteral("0"));
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Scrolled into sight in the grid, the total under it scrolls along.
        w.sgTB->scrollTo(w.sgTB->model()->index(0, TB.OpeningBalance + 2));
        QCoreApplication::processEvents();
        const QRect cell = totals.visualRect(totals.model()->index(0, TB.OpeningBalance + 2));
        const QImage shot = totals.viewport()->grab().toImage();
        bool red = false;
        for (int x = cell.left(); x <= cell.right() && !red; ++x)
            for (int y = cell.top(); y <= cell.bottom() && !red; ++y) {
                const QColor p = shot.pixelColor(x, y);
                red = p.red() > 150 && p.green() < 80 && p.blue() < 80;
            }
        QVERIFY2(red, "a non-zero total is drawn in the error colour");
    }

    // The grid's own widths never cut a heading; a width the user chose stays as chosen.
    void headingsAreWhole()
    {
        SmallBooks books;
        MessageLog log;
        TfrmMain w;
        w.Login(books.user);
        showTrialBalance(w);
        StringGrid& g = *w.sgTB;
        const QHeaderView* h = g.horizontalHeader();
        for (int c = 0; c < g.columnCount(); ++c) {
            const QString heading = g.cell(c, 0);
            QVERIFY2(g.columnWidth(c) >= h->sectionSizeHint(c), qPrintable(heading));
            QVERIFY2(g.columnWidth(c) > h->fontMetrics().horizontalAdvance(heading), qPrintable(heading));
            QVERIFY(g.columnWidth(c) >= 90);
        }
        QCOMPARE(g.columnWidth(TB.Level), 90); // a short heading keeps the default width
        g.setColumnWidth(TB.ObjectDescription, 60);
        w.RefreshFilters();
        QCOMPARE(g.columnWidth(TB.ObjectDescription), 60);
        QVERIFY(g.columnWidth(TB.CostCentreDescription) > 90);
    }

    // A year without periods: the ten columns, object and account rows, no amounts.
    void noPeriodSelected()
    {
        SmallBooks books;
        books.db.exec(QStringLiteral("UPDATE `financial periods` SET `period deleted` = 'Yes'"));
        MessageLog log;
        TfrmMain w;
        w.Login(books.user);
        showTrialBalance(w);
        QCOMPARE(w.cbFinancialPeriod->currentIndex(), -1);
        const QList<QStringList> rows = snapshot(*w.sgTB);
        QCOMPARE(rows.first().size(), 10);
        QVERIFY(!rows.first().contains("Opening balance"));
        QCOMPARE(rows.size(), 14);
        QCOMPARE(rows[4],
            (QStringList{"Balance Sheet", "A", "Acme", "10", "11100", "Head office", "Cash",
                "Cash at head office", "", "Yes"}));
        // A period picked a moment before all of the year's periods were deleted: there is
        // no first period to open the year with, so the grid is the same.
        TrialBalanceRequest request{{books.company}, books.year, true};
        const TrialBalanceTable table = buildTrialBalanceTable(readTrialBalance(request));
        QCOMPARE(table.columnCount(), 10);
        QCOMPARE(table.rowCount(), 14);
    }

    // The selected row survives a refresh: an account row by object and cost centre, an
    // object row by object; a vanished object selects row 1, a vanished account its object.
    void selectionIsRestored()
    {
        SmallBooks books;
        MessageLog log;
        TfrmMain w;
        w.Login(books.user);
        showTrialBalance(w);
        StringGrid& g = *w.sgTB;
        struct Case {
            QString object, costCentre, change, expectedObject, expectedCostCentre;
        };
        const QList<Case> cases{
            {"11100", "20", "", "11100", "20"},
            {"41000", "", "", "41000", ""},
            {"12000", "10", "", "12000", "10"},
            // another workstation removes what was selected
            {"11200", "", "DELETE FROM objects WHERE `object number` = 11200", "10000", ""},
            {"11100", "20",
                "DELETE FROM `transaction details` WHERE `account id` = %1; "
                "DELETE FROM accounts WHERE id = %1",
                "11100", ""},
        };
        for (const Case& c : cases) {
            selectRow(g, c.object, c.costCentre);
            for (QString sql : c.change.split("; ", Qt::SkipEmptyParts))
                books.db.exec(sql.replace("%1", QString::number(books.cash20)));
            w.RefreshFilters();
            QVERIFY(g.currentRow() >= 1);
            QCOMPARE(g.cell(TB.ObjectNumber, g.currentRow()), c.expectedObject);
            QCOMPARE(g.cell(TB.CostCentreNumber, g.currentRow()), c.expectedCostCentre);
        }
        QVERIFY(log.errors.isEmpty());
    }

    // Object rows are painted by level, darkest first; level 6 and account rows keep the
    // grid's background; the selected row shows the selection colour instead of its grey.
    void objectRowsAreShadedByLevel()
    {
        TestDatabase db;
        const int user = db.addUser("ann", "ann@example.com", "secret");
        const int company = db.addCompany("Acme");
        db.addAccess(user, company);
        const int cc = db.addCostCentre(company, 10, "Head office");
        int level5 = 0;
        for (int level = 1; level <= 6; ++level) {
            const int id = db.addObject(10000 + 1000 * level, "Object", "Balance Sheet", level);
            if (level == 5)
                level5 = id;
        }
        db.addAccount(cc, level5, "Account");
        db.addYear(company, "2024", QDate(2024, 3, 1));
        MessageLog log;
        TfrmMain w;
        w.resize(1200, 600);
        w.show();
        w.Login(user);
        showTrialBalance(w);
        StringGrid& g = *w.sgTB;
        QCOMPARE(g.rowCount(), 8); // levels 1 to 5, the account, level 6
        g.setCurrentCell(0, 2);
        const QColor base = g.palette().color(QPalette::Base);
        const QList<QColor> expected{
            TBLevelShade(1), QColor(), TBLevelShade(3), TBLevelShade(4), TBLevelShade(5), base, base};
        QCOMPARE(TBLevelShade(1), QColor(155, 155, 155));
        QCOMPARE(TBLevelShade(5), QColor(230, 230, 230));
        for (int r = 1; r <= 7; ++r) {
            const QColor seen = pixelOfRow(g, r);
            if (r == 2) {
                QVERIFY2(seen == g.palette().color(QPalette::Active, QPalette::Highlight)
                        || seen == g.palette().color(QPalette::Inactive, QPalette::Highlight),
                    qPrintable(seen.name()));
                continue;
            }
            QCOMPARE(seen.name(), expected[r - 1].name());
        }
    }

    // Without the view right the Welcome tab comes back with the message, and the grid
    // stays as it was.
    void withoutViewRightWelcomeIsShown()
    {
        SmallBooks books;
        books.db.exec(
            QStringLiteral("UPDATE access SET administrator = 'No', `trial balance` = 'No access'"));
        MessageLog log;
        TfrmMain w;
        w.Login(books.user);
        const QList<QStringList> before = snapshot(*w.sgTB);
        w.pcMain->setCurrentWidget(w.tsTrialBalance);
        QCOMPARE(log.messages,
            QStringList{
                "The selected company/companies does not all have view access to the trial balance."});
        QCOMPARE(w.pcMain->currentWidget(), w.tsWelcome);
        QCOMPARE(snapshot(*w.sgTB), before);
    }

    // A failed read is shown as a database error and leaves the grid whole.
    void failedReadLeavesTheGrid()
    {
        SmallBooks books;
        MessageLog log;
        TfrmMain w;
        w.Login(books.user);
        showTrialBalance(w);
        const QList<QStringList> before = snapshot(*w.sgTB);
        books.db.exec(QStringLiteral("RENAME TABLE `account month totals` TO `totals away`"));
        guarded([&] { w.RefreshFilters(); }); // as the filter boxes' handlers run it
        QCOMPARE(log.errors.size(), 1);
        QVERIFY2(log.errors.first().contains("account month totals"), qPrintable(log.errors.first()));
        QCOMPARE(snapshot(*w.sgTB), before);
        books.db.exec(QStringLiteral("RENAME TABLE `totals away` TO `account month totals`"));
    }

    // With "All", accounts of two companies that share cost centre and object number
    // keep a row each, with their own company's name and amounts.
    void allKeepsEachCompanysAccount()
    {
        TestDatabase db;
        const int user = db.addUser("ann", "ann@example.com", "secret");
        const int acme = db.addCompany("Acme"), beta = db.addCompany("Beta");
        db.addAccess(user, acme);
        db.addAccess(user, beta);
        const int cash = db.addObject(11100, "Cash", "Balance Sheet", 1);
        const int a = db.addAccount(db.addCostCentre(acme, 10, "Acme office"), cash, "Acme cash");
        const int b = db.addAccount(db.addCostCentre(beta, 10, "Beta office"), cash, "Beta cash");
        db.addYear(acme, "Acme 2024", QDate(2024, 3, 1));
        db.addYear(beta, "Beta 2024", QDate(2024, 3, 1));
        db.addEntry(acme, 1, QDate(2024, 3, 5), {{a, "40"}});
        db.addEntry(beta, 1, QDate(2024, 3, 6), {{b, "2"}});
        MessageLog log;
        TfrmMain w;
        w.Login(user);
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("All"));
        showTrialBalance(w);
        const StringGrid& g = *w.sgTB;
        QCOMPARE(g.rowCount(), 4);
        const int march = TB.OpeningBalance + 1;
        QCOMPARE((QStringList{g.cell(TB.CompanyName, 2), g.cell(TB.AccountDescription, 2), g.cell(march, 2)}),
            (QStringList{"Acme", "Acme cash", "40"}));
        QCOMPARE((QStringList{g.cell(TB.CompanyName, 3), g.cell(TB.AccountDescription, 3), g.cell(march, 3)}),
            (QStringList{"Beta", "Beta cash", "2"}));
        QCOMPARE(g.cell(march, 1), QStringLiteral("42"));
    }

    // The literal walk of the main window, on the grid: the worked example, a walk that
    // starts on an object row, and levels that skip, repeat and restart.
    void maakTotaleOpNaBoWalksTheGrid()
    {
        TestDatabase db;
        TfrmMain w;
        StringGrid& g = *w.sgTB;
        // Level cells of rows 1..N ("" an account row); column OpeningBalance holds "0".
        const QStringList levels{"1", "2", "3", "2", "3", "", "4", "3", "", ""};
        g.setColumnCount(TB.OpeningBalance + 1);
        g.setRowCount(int(levels.size()) + 1);
        for (int r = 1; r <= levels.size(); ++r) {
            g.setCell(TB.Level, r, levels[r - 1]);
            g.setCell(TB.OpeningBalance, r, "0");
        }
        auto column = [&] {
            QStringList out;
            for (int r = 1; r <= levels.size(); ++r)
                out << g.cell(TB.OpeningBalance, r);
            return out;
        };
        w.MaakTotaleOpNaBo(6, TB.OpeningBalance, Money::fromInt(250)); // account of row 5
        QCOMPARE(column(), (QStringList{"250", "0", "0", "250", "250", "0", "0", "0", "0", "0"}));
        w.MaakTotaleOpNaBo(7, TB.OpeningBalance, Money::fromInt(-50)); // object row of level 4
        QCOMPARE(column(), (QStringList{"200", "0", "0", "200", "200", "0", "0", "0", "0", "0"}));
        // An account of a level 3 that follows a level 4: its parent is the level 2 further up.
        w.MaakTotaleOpNaBo(10, TB.OpeningBalance, *Money::parse("0.5"));
        QCOMPARE(column(), (QStringList{"200.5", "0", "0", "200.5", "200", "0", "0", "0.5", "0", "0"}));
        w.MaakTotaleOpNaBo(1, TB.OpeningBalance, Money::fromInt(9)); // nothing above row 1
        QCOMPARE(column().first(), QStringLiteral("200.5"));
        // The one-pass roll-up of the program agrees with these walks.
        std::vector<std::optional<qint64>> lv{std::nullopt};
        for (const QString& l : levels)
            lv.push_back(l.isEmpty() ? std::nullopt : std::optional<qint64>(l.toLongLong()));
        std::vector<Money> amounts(lv.size());
        amounts[6] = Money::fromInt(250);
        amounts[7] = Money::fromInt(-50);
        amounts[10] = *Money::parse("0.5");
        rollUp(lv, amounts, 1);
        QStringList fast;
        for (size_t r = 1; r < amounts.size(); ++r)
            fast << (r == 6 || r == 7 || r == 10 ? QString("0") : amounts[r].toString());
        QStringList walked = column();
        QCOMPARE(fast, walked);
    }
};

QTEST_MAIN(TestTrialBalance)
#include "tst_trialbalance.moc"
