#include "JournalTesting.h"
#include "SetupTestHelpers.h"
#include "TestSupport.h"

#include "db/Query.h"
#include "standard/DataGrid.h"
#include "trialbalance/TrialBalanceColumns.h"

#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {
void setCreatedBy(const JournalBooks& b, int number, int user)
{
    b.db.exec(QStringLiteral("UPDATE transactions SET `created by` = %1 WHERE `transaction number` = %2")
                  .arg(user)
                  .arg(number));
}

QString layoutFile() { return layoutDir() + QStringLiteral("dbgJournalEntries.txt"); }
}

class TestJournalEntries : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initTestApplication();
        QFile::remove(layoutFile());
    }
    void cleanupTestCase() { QFile::remove(layoutFile()); }
    void init() { SetClockForTesting(QDateTime(JournalToday, QTime(9, 0))); }
    void cleanup() { SetClockForTesting({}); }

    // The period's entries, both ends included, one row each with its sums, in the order
    // of the shown text; the titles and widths of the list.
    void listShowsThePeriodsEntries()
    {
        JournalBooks b;
        const int bob = b.db.addUser("bob", "bob@example.com", "secret");
        b.db.addEntry(b.company, 2, QDate(2026, 12, 1),
            {{b.bank, "150.25"}, {b.sales, "-100"}, {b.sales, "-50.25"}}, "First day");
        b.db.addEntry(b.company, 10, QDate(2026, 12, 31), {{b.bank, "-7"}, {b.sales, "7"}}, "Last day");
        b.db.addEntry(b.company, 3, QDate(2026, 11, 30), {{b.bank, "1"}, {b.sales, "-1"}}, "Day before");
        b.db.addEntry(b.company, 4, QDate(2027, 1, 1), {{b.bank, "1"}, {b.sales, "-1"}}, "Day after");
        b.db.addEntry(b.company, 5, QDate(2026, 12, 5), {}, "No lines");
        setCreatedBy(b, 2, b.user);
        setCreatedBy(b, 10, bob);
        b.db.exec(QStringLiteral("UPDATE transactions SET `edited by` = %1, `posted by` = %2, posted = 'Yes' "
                                 "WHERE `transaction number` = 10")
                      .arg(b.user)
                      .arg(bob));
        MessageLog& log = b.log;
        TfrmMain& w = b.w;
        showJournalEntries(w);
        QVERIFY2(log.messages.isEmpty() && log.errors.isEmpty(),
            qPrintable((log.messages + log.errors).join('\n')));
        QVERIFY(w.dbgJournalEntries->isVisibleTo(&w));
        QCOMPARE(shownTitles(w.dbgJournalEntries),
            (QStringList{"Company Name", "Journal Entry Number", "Journal Entry Date",
                "Journal Entry Description", "Posted", "Created By", "Edited By", "Posted By", "Debit Amount",
                "Credit Amount"}));
        // The designed widths, widened only where this font needs it for the whole title.
        const QList<int> designed{95, 117, 108, 129, 50, 63, 58, 68, 78, 77};
        const QFontMetrics header(w.dbgJournalEntries->horizontalHeader()->font());
        for (int i = 0; i < designed.size(); ++i) {
            const int width = w.dbgJournalEntries->gridColumnWidth(i);
            const int title = header.horizontalAdvance(shownTitles(w.dbgJournalEntries)[i]);
            QVERIFY2(width >= designed[i] && width > title, qPrintable(QString::number(i)));
            if (designed[i] > title + 20)
                QCOMPARE(width, designed[i]);
        }
        QCOMPARE(shownRows(w.dbgJournalEntries),
            (QList<QStringList>{
                {"Acme", "JE 10", "31/12/2026", "Last day", "Yes", "bob", "ann", "bob", "7", "-7"},
                {"Acme", "JE 2", "01/12/2026", "First day", "No", "ann", "", "", "150.25", "-150.25"}}));
    }

    // Nothing to show uncovers the label; without a period nothing is shown even though
    // the company has entries.
    void emptyListShowsItsLabel()
    {
        JournalBooks b;
        MessageLog& log = b.log;
        TfrmMain& w = b.w;
        showJournalEntries(w);
        QVERIFY(!w.dbgJournalEntries->isVisibleTo(&w));
        QVERIFY(w.lblJournalEntryInfo->isVisibleTo(&w));
        QCOMPARE(w.lblJournalEntryInfo->text(), QStringLiteral("~ No journal entries ~"));

        b.db.addEntry(b.company, 1, JournalToday, {{b.bank, "1"}, {b.sales, "-1"}});
        showJournalEntries(w);
        QVERIFY(w.dbgJournalEntries->isVisibleTo(&w));
        w.cbFinancialPeriod->setCurrentIndex(-1);
        w.RefreshFilterstsJournalEntries();
        QVERIFY(!w.dbgJournalEntries->isVisibleTo(&w));
        QVERIFY(log.messages.isEmpty());
    }

    // Under "All" two companies' entries with the same number are two rows, each with its
    // own sums.
    void allCompaniesListEachEntryOnItsOwn()
    {
        JournalBooks b("Create", false);
        const int beta = b.db.addCompany("Beta");
        b.db.addAccess(b.user, beta, "Yes", "Yes", "View", "View");
        const int centre = b.db.addCostCentre(beta, 10, "Main");
        const int betaBank = b.db.addAccount(centre, b.bankObject, "Beta bank");
        const int betaSales = b.db.addAccount(centre, b.salesObject, "Beta sales");
        b.db.addYear(beta, "2026", QDate(2026, 3, 1));
        b.db.addEntry(b.company, 1, JournalToday, {{b.bank, "100"}, {b.sales, "-100"}}, "Acme one");
        b.db.addEntry(beta, 1, JournalToday, {{betaBank, "7"}, {betaSales, "-7"}}, "Beta one");
        b.db.addEntry(beta, 2, JournalToday, {{betaBank, "3"}, {betaSales, "-3"}}, "Beta two");
        MessageLog& log = b.log;
        TfrmMain& w = b.w;
        w.Login(b.user);
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("All"));
        showJournalEntries(w);
        QVERIFY(log.messages.isEmpty());
        const auto rows = shownRows(w.dbgJournalEntries);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].mid(0, 4), (QStringList{"Acme", "JE 1", "10/12/2026", "Acme one"}));
        QCOMPARE(rows[0].mid(8), (QStringList{"100", "-100"}));
        QCOMPARE(rows[1].mid(0, 4), (QStringList{"Beta", "JE 1", "10/12/2026", "Beta one"}));
        QCOMPARE(rows[1].mid(8), (QStringList{"7", "-7"}));
        QCOMPARE(rows[2][1], QStringLiteral("JE 2"));

        // One company: only its own.
        w.cbCompany->setCurrentIndex(w.cbCompany->findText("Beta"));
        w.RefreshFilters();
        QCOMPARE(shownRows(w.dbgJournalEntries).size(), 2);
    }

    void withoutTheViewRightTheTabSendsBackToWelcome()
    {
        JournalBooks b("No access");
        MessageLog& log = b.log;
        TfrmMain& w = b.w;
        w.pcMain->setCurrentWidget(w.tsJournalEntries);
        QCOMPARE(w.pcMain->currentWidget(), w.tsWelcome);
        QCOMPARE(log.messages,
            QStringList{"The selected company/companies does not all have view access to journal entries."});
    }

    // The button's four checks in order; each shows its message, moves the focus where
    // the Part says and opens no window.
    void newEntryButtonChecks_data()
    {
        QTest::addColumn<QString>("case_");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("all companies") << "all"
                                       << "Please select/create a spesific company first."
                                       << "cbCompany";
        // A user who may only view: the closed period is reported first.
        QTest::newRow("period closed")
            << "closed"
            << "The current selected period is not open for transaction entry.  Please select an open financial period."
            << "cbFinancialPeriod";
        QTest::newRow("view right only")
            << "view"
            << "You must have \"create\" access to journal entries on this company to access this function."
            << "";
        QTest::newRow("no accounts")
            << "no accounts"
            << "No accounts exist for this company.  Please create accounts before you can create journal entries."
            << "";
    }
    void newEntryButtonChecks()
    {
        QFETCH(QString, case_);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        JournalBooks b(case_ == "view" || case_ == "closed" ? "View" : "Create", false);
        if (case_ == "all") {
            const int beta = b.db.addCompany("Beta");
            b.db.addAccess(b.user, beta);
        } else if (case_ == "closed") {
            b.db.exec("UPDATE `financial periods` SET `period open` = 'No'");
        } else if (case_ == "no accounts") {
            b.db.exec("DELETE FROM accounts");
        }
        MessageLog& log = b.log;
        TfrmMain& w = b.w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Login(b.user);
        showJournalEntries(w);
        log.clear();
        w.btnNewJournalEntry->setFocus();
        auto modal = onNextModal();
        w.btnNewJournalEntry->click();
        QCoreApplication::processEvents();
        QVERIFY(!modal->ran);
        QCOMPARE(log.messages, QStringList{message});
        QCOMPARE(QApplication::focusWidget()->objectName(),
            focus.isEmpty() ? QStringLiteral("btnNewJournalEntry") : focus);
    }

    // The user's road: the button opens the window, a balanced entry is saved, the list
    // shows it at once and the trial balance carries its amounts in the period's column.
    void enteredEntryShowsInTheListAndTheTrialBalance()
    {
        JournalBooks b;
        MessageLog& log = b.log;
        TfrmMain& w = b.w;
        showJournalEntries(w);
        QVERIFY(!w.dbgJournalEntries->isVisibleTo(&w));
        auto modal = onNextModal([](QDialog* d) {
            auto* f = qobject_cast<TfrmJournalEntry*>(d);
            QVERIFY(f);
            typeBalancedEntry(*f);
            f->btnOK->click();
            QVERIFY(!f->isVisible());
        });
        w.btnNewJournalEntry->click();
        QVERIFY(modal->ran);
        QCOMPARE(modal->title, QStringLiteral("New Journal Entry"));
        QVERIFY2(log.messages.isEmpty() && log.errors.isEmpty(),
            qPrintable((log.messages + log.errors).join('\n')));
        QCOMPARE(shownRows(w.dbgJournalEntries),
            (QList<QStringList>{
                {"Acme", "JE 1001", "10/12/2026", "Cash sale", "No", "ann", "", "", "150.25", "-150.25"}}));

        w.pcMain->setCurrentWidget(w.tsTrialBalance);
        const StringGrid& g = *w.sgTB;
        const int december = TB.OpeningBalance + 10;
        QCOMPARE(g.cell(december, 0), QStringLiteral("Dec 2026"));
        QStringList bankRow;
        for (int r = 1; r < g.rowCount(); ++r)
            if (g.cell(TB.ObjectNumber, r) == "200" && g.cell(TB.CostCentreNumber, r) == "1000")
                bankRow << g.cell(december, r);
        QCOMPARE(bankRow, QStringList{"150.25"});
    }

    // The list's column widths are kept with the main window's layout.
    void columnWidthsAreKept()
    {
        JournalBooks b("Create", false);
        {
            TfrmMain w;
            w.dbgJournalEntries->setGridColumnWidth(3, 211);
            w.close();
        }
        TfrmMain again;
        QCOMPARE(again.dbgJournalEntries->gridColumnWidth(3), 211);
        QCOMPARE(again.dbgJournalEntries->gridColumnWidth(0), 95);
    }
};

QTEST_MAIN(TestJournalEntries)
#include "tst_journalentries.moc"
