// Correcting by reversal, repeating by copy, and picking accounts by name in the entry
// window.
#include "JournalTesting.h"
#include "SetupTestHelpers.h"
#include "TestSupport.h"
#include "TrialBalanceTesting.h"

#include "db/Query.h"
#include "journal/AccountPicker.h"
#include "standard/DataGrid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
// Every cell of the trial balance as the grid shows it.
QList<QStringList> trialBalanceCells(TfrmMain& w)
{
    showTrialBalance(w);
    QList<QStringList> cells;
    for (int r = 1; r < w.sgTB->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < w.sgTB->columnCount(); ++c)
            row << w.sgTB->cell(c, r);
        cells << row;
    }
    return cells;
}

// The stored lines of entry `number`: account id, line description, amount.
QList<QVariantList> storedLines(const JournalBooks& b, int number)
{
    return b.db.rows(
        QStringLiteral("SELECT d.`account id`, d.`line description`, d.amount FROM `transaction details` d "
                       "JOIN transactions t ON t.id = d.`transaction id` WHERE t.`transaction number` = %1 "
                       "ORDER BY d.`line nr`")
            .arg(number));
}

void selectListedEntry(TfrmMain& w, const QString& number)
{
    showJournalEntries(w);
    QVERIFY(w.qrTransactions->locate("transaction number", number));
    w.dbgJournalEntries->setCurrentIndex(w.qrTransactions->index(w.qrTransactions->currentRow(), 1));
}

// The account number cell of `row` opened for typing, and its editor.
QLineEdit* openAccountCell(TfrmJournalEntry& f, int row)
{
    f.sg->setCurrentCell(JE.AccountNumber, row);
    // Moving onto a cell of the lines may already have opened its editor.
    if (!f.sg->isEditing())
        f.sg->edit(f.sg->currentIndex());
    return f.sg->findChild<QLineEdit*>();
}
}

class TestReversal : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }
    void init() { SetClockForTesting(QDateTime(JournalToday, QTime(9, 0))); }
    void cleanup() { SetClockForTesting({}); }

    // A wrong 13-line entry, reversed through the list's button: a new numbered entry
    // whose lines are the original's negated line by line, and the trial balance is back
    // to what it was before the wrong entry. The original is untouched.
    void reversalCancelsTheEntryLineByLine()
    {
        JournalBooks b;
        b.db.addEntry(
            b.company, 1001, QDate(2026, 12, 2), {{b.bank, "10"}, {b.sales, "-10"}}, "Opening sale");
        const QList<QStringList> before = trialBalanceCells(b.w);
        QList<QPair<int, QString>> wrong;
        for (int i = 1; i <= 12; ++i)
            wrong << qMakePair(i % 2 ? b.bank : b.sales, QStringLiteral("%1.25").arg(i));
        wrong << qMakePair(b.sales, QStringLiteral("-%1").arg(Money::fromInt(78 + 3).toString()));
        b.db.addEntry(
            b.company, 1002, QDate(2026, 12, 3), wrong, "A long description that goes well past the limit");
        b.db.exec("UPDATE `transaction details` SET `line description` = CONCAT('Line ', `line nr`)");
        QVERIFY(trialBalanceCells(b.w) != before);
        const QList<QVariantList> original = storedLines(b, 1002);
        QCOMPARE(original.size(), 13);

        selectListedEntry(b.w, "JE 1002");
        QString description;
        QDate date;
        auto modal = onNextModal([&](QDialog* d) {
            auto* f = qobject_cast<TfrmJournalEntry*>(d);
            QVERIFY(f);
            description = f->edtJournalEntryDescription->text();
            date = f->dtpJournalEntryDate->date();
            QCOMPARE(f->sg->cell(JE.AccountDescription, 13), QStringLiteral("Sales account"));
            f->btnOK->click();
            QVERIFY(!f->isVisible());
        });
        b.w.findChild<QPushButton*>("btnReverseJournalEntry")->click();
        QVERIFY(modal->ran);
        QCOMPARE(modal->title, QStringLiteral("New Journal Entry"));
        QVERIFY2(b.log.messages.isEmpty(), qPrintable(b.log.messages.join('\n')));
        // The box holds 50 characters.
        QCOMPARE(description, QStringLiteral("Reversal of JE 1002: A long description that goes"));
        QCOMPARE(date, JournalToday);

        const QList<QVariantList> reversal = storedLines(b, 1003);
        QCOMPARE(reversal.size(), original.size());
        for (int i = 0; i < original.size(); ++i) {
            QCOMPARE(reversal[i][0], original[i][0]);
            QCOMPARE(reversal[i][1], original[i][1]);
            QCOMPARE(*Money::parseDb(reversal[i][2].toString()), -*Money::parseDb(original[i][2].toString()));
        }
        QCOMPARE(storedLines(b, 1002), original);
        QCOMPARE(
            b.db.scalar(
                    "SELECT `transaction description` FROM transactions WHERE `transaction number` = 1003")
                .toString(),
            description);
        QCOMPARE(trialBalanceCells(b.w), before);
    }

    // A copy for a recurring entry, in a period that does not hold today: the lines and
    // description as they are, dated on the period's first day, saved under the next number.
    void copyRepeatsTheEntryInTheSelectedPeriod()
    {
        JournalBooks b;
        b.db.addEntry(b.company, 7, QDate(2026, 11, 15), {{b.bank, "-12.5"}, {b.sales, "12.5"}}, "Rent");
        b.db.exec("UPDATE `transaction details` SET `line description` = 'Monthly'");
        QVERIFY(selectId(b.w.cbFinancialPeriod,
            b.db.scalar("SELECT id FROM `financial periods` WHERE `start date` = '2026-11-01'").toInt()));
        b.w.RefreshFilters();
        selectListedEntry(b.w, "JE 7");
        QDate date;
        auto modal = onNextModal([&](QDialog* d) {
            auto* f = qobject_cast<TfrmJournalEntry*>(d);
            date = f->dtpJournalEntryDate->date();
            QCOMPARE(f->edtJournalEntryDescription->text(), QStringLiteral("Rent"));
            QCOMPARE(f->sg->cell(JE.Amount, 1), QStringLiteral("-12.5"));
            f->btnOK->click();
        });
        b.w.findChild<QPushButton*>("btnCopyJournalEntry")->click();
        QVERIFY(modal->ran);
        QVERIFY2(b.log.messages.isEmpty(), qPrintable(b.log.messages.join('\n')));
        QCOMPARE(date, QDate(2026, 11, 1));
        QCOMPARE(storedLines(b, 8), storedLines(b, 7));
        QCOMPARE(b.db.scalar("SELECT `transaction date` FROM transactions WHERE `transaction number` = 8")
                     .toDate(),
            QDate(2026, 11, 1));
    }

    // Each refusal says why and opens no window.
    void refusals_data()
    {
        QTest::addColumn<QString>("case_");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing selected") << "empty"
                                          << "Please select a journal entry first.";
        QTest::newRow("All companies") << "all"
                                       << "Please select/create a spesific company first.";
        QTest::newRow("period closed") << "closed" << TfrmJournalEntry::PeriodNotOpen;
        QTest::newRow("no create right")
            << "view"
            << "You must have \"create\" access to journal entries on this company to "
               "access this function.";
        QTest::newRow("row of another company")
            << "other"
            << "The selected journal entry belongs to another company.  Please select its company first.";
        QTest::newRow("more lines than the window")
            << "long"
            << "This journal entry has 101 lines; the journal entry window "
               "holds at most 100.";
    }
    void refusals()
    {
        QFETCH(QString, case_);
        QFETCH(QString, message);
        JournalBooks b(case_ == "view" ? "View" : "Create");
        QList<QPair<int, QString>> lines{{b.bank, "1"}, {b.sales, "-1"}};
        if (case_ == "long") {
            lines.clear();
            for (int i = 0; i < 100; ++i)
                lines << qMakePair(b.bank, QStringLiteral("1"));
            lines << qMakePair(b.sales, QStringLiteral("-100"));
        }
        if (case_ != "empty")
            b.db.addEntry(b.company, 1001, QDate(2026, 12, 2), lines);
        if (case_ == "all" || case_ == "other") {
            const int beta = b.db.addCompany("Beta");
            b.db.addAccess(b.user, beta, "Yes", "No", "View", "Create");
            b.db.addCostCentre(beta, 1, "Main");
            b.db.addAccount(
                b.db.scalar("SELECT MAX(id) FROM `cost centres`").toInt(), b.bankObject, "Beta bank");
            b.db.addYear(beta, "2026", QDate(2026, 3, 1));
            b.w.RefreshFilters();
            selectId(b.w.cbCompany, 0);
            b.w.RefreshFilters();
        }
        if (case_ == "closed")
            b.db.exec("UPDATE `financial periods` SET `period open` = 'No'");
        b.w.RefreshFilters();
        showJournalEntries(b.w);
        if (case_ != "empty") {
            QVERIFY(b.w.qrTransactions->locate("transaction number", "JE 1001"));
            b.w.dbgJournalEntries->setCurrentIndex(
                b.w.qrTransactions->index(b.w.qrTransactions->currentRow(), 1));
        }
        // The list loaded under "All", then another company chosen in the box without a refresh.
        if (case_ == "other")
            selectId(
                b.w.cbCompany, b.db.scalar("SELECT id FROM companies WHERE `company name` = 'Beta'").toInt());
        b.log.clear();
        for (const char* button : {"btnReverseJournalEntry", "btnCopyJournalEntry"}) {
            auto modal = onNextModal();
            b.w.findChild<QPushButton*>(button)->click();
            QCoreApplication::processEvents();
            QVERIFY2(!modal->ran, button);
        }
        QCOMPARE(b.log.messages, (QStringList{message, message}));
    }

    // A new entry starts on today when the period holds it, else on the period's first day.
    void newEntryDate_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("first day") << QDate(2026, 12, 1) << QDate(2026, 12, 1);
        QTest::newRow("last day") << QDate(2026, 12, 31) << QDate(2026, 12, 31);
        QTest::newRow("day before") << QDate(2026, 11, 30) << QDate(2026, 12, 1);
        QTest::newRow("day after") << QDate(2027, 1, 1) << QDate(2026, 12, 1);
    }
    void newEntryDate()
    {
        QFETCH(QDate, today);
        QFETCH(QDate, expected);
        JournalBooks b;
        QVERIFY(selectId(b.w.cbFinancialPeriod,
            b.db.scalar("SELECT id FROM `financial periods` WHERE `start date` = '2026-12-01'").toInt()));
        b.w.RefreshFilters();
        SetClockForTesting(QDateTime(today, QTime(9, 0)));
        TfrmJournalEntry f(b.w.books(), &b.w);
        QCOMPARE(f.dtpJournalEntryDate->date(), expected);
    }

    // The picker finds accounts by their description and by their cost centre's, from the
    // loaded accounts, and numbers never open it.
    void pickerMatches()
    {
        AccountPicker picker;
        picker.setAccounts({{"2000.300", "Branch", "Sales account"},
            {"1000.300", "Head Office", "Sales account"}, {"1000.200", "Head Office", "Bank account"}});
        QCOMPARE(picker.matches("bank"), QStringList{"1000.200  Head Office / Bank account"});
        QCOMPARE(picker.matches("SALES"),
            (QStringList{"1000.300  Head Office / Sales account", "2000.300  Branch / Sales account"}));
        QCOMPARE(picker.matches("branch"), QStringList{"2000.300  Branch / Sales account"});
        QCOMPARE(picker.matches("1000.2"), QStringList{"1000.200  Head Office / Bank account"});
        QCOMPARE(picker.matches("").size(), 3);
        QVERIFY(picker.matches("nothing").isEmpty());
        for (const char* number : {"", "1000", "1000.200", "-1.5", " 12"})
            QVERIFY2(!AccountPicker::asksForPicker(number), number);
        for (const char* name : {"b", "Head", "1000.2x"})
            QVERIFY2(AccountPicker::asksForPicker(name), name);
    }

    // In the window: typing a name offers the matching accounts under the cell; choosing
    // one puts its number in the cell and the descriptions follow. F4 offers them all.
    void pickerInTheWindow()
    {
        JournalBooks b;
        TfrmJournalEntry f(b.w.books(), &b.w);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QLineEdit* editor = openAccountCell(f, 2);
        QVERIFY(editor);
        QTest::keyClicks(editor, "head office / sal");
        QVERIFY(f.accountPicker()->isShown());
        QCOMPARE(f.accountPicker()->offered(), QStringList{"1000.300  Head Office / Sales account"});
        f.accountPicker()->choose(0);
        QVERIFY(!f.accountPicker()->isShown());
        QCOMPARE(editor->text(), QStringLiteral("1000.300"));
        QCOMPARE(f.sg->cell(JE.AccountNumber, 2), QStringLiteral("1000.300"));
        QCOMPARE(f.sg->cell(JE.CostCentreDescription, 2), QStringLiteral("Head Office"));
        QCOMPARE(f.sg->cell(JE.AccountDescription, 2), QStringLiteral("Sales account"));

        // Numbers typed as before: no list.
        editor->selectAll();
        QTest::keyClicks(editor, "1000.200");
        QVERIFY(!f.accountPicker()->isShown());
        QCOMPARE(f.sg->cell(JE.AccountDescription, 2), QStringLiteral("Bank account"));

        QTest::keyClick(editor, Qt::Key_F4);
        QCOMPARE(f.accountPicker()->offered(), QStringList{"1000.200  Head Office / Bank account"});
        editor->clear();
        QTest::keyClick(editor, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(f.accountPicker()->offered().size(), 2);
        f.accountPicker()->hide();
    }

    // Made larger, the window shows more lines (its grid grows with it, OK stays in the
    // corner) and opens at that size the next time.
    void windowGrowsAndKeepsItsSize()
    {
        JournalBooks b;
        QSize designed, grid;
        {
            TfrmJournalEntry f(b.w.books(), &b.w);
            f.show();
            designed = f.size();
            grid = f.sg->size();
            f.resize(designed + QSize(200, 150));
            QCOMPARE(f.sg->size(), grid + QSize(200, 150));
            QCOMPARE(f.btnOK->geometry().bottomRight(), QPoint(f.width(), f.height()) - QPoint(18, 7));
            f.reject();
        }
        TfrmJournalEntry again(b.w.books(), &b.w);
        again.show();
        QCOMPARE(again.size(), designed + QSize(200, 150));
        QCOMPARE(again.sg->size(), grid + QSize(200, 150));
        again.resize(designed);
        again.reject();
    }
};

QTEST_MAIN(TestReversal)
#include "tst_reversal.moc"
