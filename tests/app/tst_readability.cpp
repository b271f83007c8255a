// Finding a row, the keyboard's shortcuts, the selection kept between logins and the
// status bar's account of a refresh.
#include "../journal/JournalTesting.h"
#include "SetupTestHelpers.h"
#include "TestSupport.h"
#include "context/BookSelection.h"
#include "TrialBalanceTesting.h"

#include "standard/DataGrid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {
// What a click on `title` in the grid's heading menu does.
void toggleColumnFromMenu(QTableView* grid, const QString& title)
{
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction* a : menu->actions())
            if (a->text() == title) {
                a->trigger();
                clicked = true;
            }
        menu->close();
    });
    emit grid->horizontalHeader()->customContextMenuRequested(QPoint(5, 5));
    QVERIFY2(clicked, qPrintable(title));
}

QString currentTrialBalanceRow(TfrmMain& w)
{
    const int r = w.sgTB->currentRow();
    return w.sgTB->cell(TB.ObjectNumber, r) + "/" + w.sgTB->cell(TB.CostCentreNumber, r);
}

int periodStarting(const JournalBooks& b, const QString& date)
{
    return b.db
        .scalar(QStringLiteral("SELECT id FROM `financial periods` WHERE `start date` = '%1'").arg(date))
        .toInt();
}
}

class TestReadability : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }
    void init() { SetClockForTesting(QDateTime(JournalToday, QTime(9, 0))); }
    void cleanup() { SetClockForTesting({}); }

    // Ctrl+F opens the find bar; typing selects the first row holding the text in its
    // number or descriptions, F3 and Shift+F3 go on and back round the rows, and a text
    // found nowhere says so. The journal list is searched the same way.
    void findSelectsMatchingRows()
    {
        JournalBooks b;
        b.db.addEntry(b.company, 1001, QDate(2026, 12, 2), {{b.bank, "1"}, {b.sales, "-1"}}, "Rent");
        b.db.addEntry(b.company, 1002, QDate(2026, 12, 3), {{b.bank, "2"}, {b.sales, "-2"}}, "Sale of goods");
        b.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.w));
        showTrialBalance(b.w);
        QTest::keyClick(&b.w, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(b.w.tbFind->isVisible());
        QCOMPARE(QApplication::focusWidget(), b.w.edtFind);
        QTest::keyClicks(b.w.edtFind, "sale");
        QCOMPARE(currentTrialBalanceRow(b.w), QStringLiteral("300/"));
        QTest::keyClicks(b.w.edtFind, "s acc"); // "sales acc": the account row
        QCOMPARE(currentTrialBalanceRow(b.w), QStringLiteral("300/1000"));
        // A new text that the selected row holds keeps it; F3 goes on, round past the end.
        b.w.edtFind->clear();
        QTest::keyClicks(b.w.edtFind, "account");
        QCOMPARE(currentTrialBalanceRow(b.w), QStringLiteral("300/1000"));
        QTest::keyClick(&b.w, Qt::Key_F3);
        QCOMPARE(currentTrialBalanceRow(b.w), QStringLiteral("200/1000"));
        QTest::keyClick(&b.w, Qt::Key_F3);
        QCOMPARE(currentTrialBalanceRow(b.w), QStringLiteral("300/1000"));
        QTest::keyClick(&b.w, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(currentTrialBalanceRow(b.w), QStringLiteral("200/1000"));
        QTest::keyClick(&b.w, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(currentTrialBalanceRow(b.w), QStringLiteral("300/1000"));
        QVERIFY(b.w.lblFindResult->text().isEmpty());
        b.w.edtFind->clear();
        QTest::keyClicks(b.w.edtFind, "no such thing");
        QCOMPARE(currentTrialBalanceRow(b.w), QStringLiteral("300/1000"));
        QCOMPARE(b.w.lblFindResult->text().trimmed(), QStringLiteral("Not found"));

        showJournalEntries(b.w);
        b.w.edtFind->clear();
        QTest::keyClicks(b.w.edtFind, "goods");
        QCOMPARE(b.w.qrTransactions->asString("transaction number"), QStringLiteral("JE 1002"));
        b.w.edtFind->clear();
        QTest::keyClicks(b.w.edtFind, "je 1001");
        QCOMPARE(b.w.qrTransactions->asString("transaction number"), QStringLiteral("JE 1001"));
    }

    // F5 reads the shown tab afresh; Ctrl+N opens a new entry; both are in the menus.
    void shortcuts()
    {
        JournalBooks b;
        b.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.w));
        showTrialBalance(b.w);
        b.db.addObject(400, "Wages", "Income Statement", 1);
        QTest::keyClick(&b.w, Qt::Key_F5);
        bool found = false;
        for (int r = 1; r < b.w.sgTB->rowCount(); ++r)
            found = found || b.w.sgTB->cell(TB.ObjectNumber, r) == "400";
        QVERIFY(found);
        QCOMPARE(b.w.acRefresh->shortcut(), QKeySequence(Qt::Key_F5));
        auto modal = onNextModal();
        QTest::keyClick(&b.w, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(modal->ran);
        QCOMPARE(modal->title, QStringLiteral("New Journal Entry"));
        QCOMPARE(b.w.pcMain->currentWidget(), b.w.tsJournalEntries);
        QVERIFY(b.w.acExportTrialBalance->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_E));
    }

    // The company, year and period chosen last are chosen again at the next login, as
    // long as they are still there; otherwise the login chooses as it always does.
    void selectionKeptBetweenLogins()
    {
        JournalBooks b;
        const int november = periodStarting(b, "2026-11-01");
        QVERIFY(selectId(b.w.cbFinancialPeriod, november));
        b.w.RefreshFilters(b.w.cbFinancialPeriod);
        b.w.Logout();
        {
            TfrmMain next; // the program started again
            next.Login(b.user);
            QCOMPARE(selectedId(next.cbFinancialPeriod), november);
            QCOMPARE(next.lblPeriodStartDate->text(), QStringLiteral("Start Date: 01/11/2026"));
            next.Logout();
        }
        b.db.exec(QStringLiteral("UPDATE `financial periods` SET `period deleted` = 'Yes' WHERE id = %1")
                      .arg(november));
        TfrmMain later;
        later.Login(b.user);
        QCOMPARE(selectedId(later.cbFinancialPeriod), periodStarting(b, "2026-12-01"));
    }

    // The heading's menu hides a column and shows it again; the choice outlives a refresh
    // and the program's next start.
    void columnsHiddenFromTheHeading()
    {
        JournalBooks b;
        b.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.w));
        showTrialBalance(b.w);
        toggleColumnFromMenu(b.w.sgTB, "Classification");
        QVERIFY(b.w.sgTB->isColumnHidden(TB.Classification));
        b.w.RefreshFilters();
        QVERIFY(b.w.sgTB->isColumnHidden(TB.Classification));
        showJournalEntries(b.w);
        toggleColumnFromMenu(b.w.dbgJournalEntries, "Posted By");
        const int postedBy = b.w.qrTransactions->fieldIndex("posted by");
        QVERIFY(b.w.dbgJournalEntries->isColumnHidden(postedBy));
        b.w.RefreshFilters();
        QVERIFY(b.w.dbgJournalEntries->isColumnHidden(postedBy));
        b.w.Logout();
        {
            TfrmMain next;
            next.Login(b.user);
            showTrialBalance(next);
            QVERIFY(next.sgTB->isColumnHidden(TB.Classification));
            QVERIFY(!next.sgTB->isColumnHidden(TB.PostingType));
            toggleColumnFromMenu(next.sgTB, "Classification");
            QVERIFY(!next.sgTB->isColumnHidden(TB.Classification));
            showJournalEntries(next);
            toggleColumnFromMenu(next.dbgJournalEntries, "Posted By");
            QVERIFY(!next.dbgJournalEntries->isColumnHidden(postedBy));
        }
    }

    // With the descriptive columns the user keeps few enough to leave room, they stay at
    // the left while the amounts scroll under them, in the grid and its total row.
    void descriptiveColumnsStayInSight()
    {
        JournalBooks b;
        b.w.resize(1046, 531);
        b.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.w));
        showTrialBalance(b.w);
        auto* frozen = b.w.sgTB->findChild<QTableView*>("sgTBFrozen");
        QVERIFY(frozen);
        QVERIFY2(!frozen->isVisible(), "all ten descriptive columns would fill the grid");
        QSettings().setValue("layout/sgTB/hidden",
            QStringList{"Posting Type", "Classification", "Company Name", "Cost Centre Description", "Level",
                "Use For Account", "Account Description"});
        b.w.RefreshFilters();
        QCoreApplication::processEvents();
        QVERIFY(frozen->isVisible());
        QList<int> kept;
        for (int c = 0; c < b.w.sgTB->columnCount(); ++c)
            if (!frozen->isColumnHidden(c))
                kept << c;
        QCOMPARE(kept, (QList<int>{TB.CostCentreNumber, TB.ObjectNumber, TB.ObjectDescription}));
        QCOMPARE(frozen->columnWidth(TB.ObjectDescription), b.w.sgTB->columnWidth(TB.ObjectDescription));
        b.w.sgTB->horizontalScrollBar()->setValue(b.w.sgTB->horizontalScrollBar()->maximum());
        QVERIFY(b.w.sgTB->horizontalScrollBar()->value() > 0);
        QVERIFY(frozen->isVisible());
        QCOMPARE(frozen->x(), b.w.sgTB->frameWidth());
        // The row chosen in the fixed part is the grid's row.
        const QModelIndex sales = frozen->model()->index(3, TB.ObjectNumber);
        QTest::mouseClick(frozen->viewport(), Qt::LeftButton, {}, frozen->visualRect(sales).center());
        QCOMPARE(b.w.sgTB->currentRow(), 4);
        auto* totalsFrozen = b.w.findChild<QTableView*>("sgTBTotalsFrozen");
        QVERIFY(totalsFrozen && totalsFrozen->isVisible());
        QSettings().remove("layout/sgTB/hidden");

        // The journal list keeps its entry's company, number, date and description.
        const QDate day = b.w.books().selection.period()->start;
        b.db.addEntry(b.company, 1, day, {{b.bank, "10"}, {b.sales, "-10"}});
        b.db.addEntry(b.company, 2, day, {{b.bank, "20"}, {b.sales, "-20"}});
        b.w.pcMain->setCurrentWidget(b.w.tsJournalEntries);
        QCoreApplication::processEvents();
        auto* listFrozen = b.w.dbgJournalEntries->findChild<QTableView*>("dbgJournalEntriesFrozen");
        QVERIFY(listFrozen && listFrozen->isVisible());
        QStringList fixed;
        for (int c = 0; c < listFrozen->model()->columnCount(); ++c)
            if (!listFrozen->isColumnHidden(c))
                fixed << listFrozen->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(fixed,
            (QStringList{
                "Company Name", "Journal Entry Number", "Journal Entry Date", "Journal Entry Description"}));
        const QModelIndex second = listFrozen->model()->index(1, 1);
        QTest::mouseClick(
            listFrozen->viewport(), Qt::LeftButton, {}, listFrozen->visualRect(second).center());
        QCOMPARE(b.w.qrTransactions->currentRow(), 1);
    }

    // The status bar names the user and the server, and after a refresh how many rows it
    // read and how long it took.
    void statusBarTellsTheRefresh()
    {
        JournalBooks b;
        showTrialBalance(b.w);
        QCOMPARE(b.w.lblStatusUser->text(), QStringLiteral("User: ann"));
        QVERIFY(b.w.lblStatusServer->text().startsWith(QStringLiteral("Server: ")));
        QVERIFY(b.w.lblStatusServer->text().endsWith(QStringLiteral(":%1").arg(testServerSettings().port)));
        const QRegularExpression refresh(
            QStringLiteral("^%1 rows in \\d+\\.\\d\\d s$").arg(b.w.sgTB->rowCount() - 1));
        QVERIFY2(
            refresh.match(b.w.lblStatusRefresh->text()).hasMatch(), qPrintable(b.w.lblStatusRefresh->text()));
        b.w.Logout();
        QCOMPARE(b.w.lblStatusUser->text(), QStringLiteral("Not logged in"));
    }
};

QTEST_MAIN(TestReadability)
#include "tst_readability.moc"
