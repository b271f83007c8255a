#include "JournalTesting.h"
#include "TestSupport.h"

#include "db/Query.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>

namespace {
// The main window logged in on the books.
using Desk = JournalBooks;

// Another workstation on a thread of its own: it runs `hold` in an open transaction, then
// waits until a statement of someone else waits for one of its locks (or until told to
// release), and runs `finish`. So the program's save meets the lock for certain.
class OtherWorkstation : public QThread {
public:
    OtherWorkstation(const TestDatabase& db, QStringList hold, QStringList finish, bool releaseOnWaiter)
        : m_settings(db.settings()), m_watcherSettings(db.adminSettings()), m_hold(std::move(hold)),
          m_finish(std::move(finish)), m_onWaiter(releaseOnWaiter)
    {
    }
    ~OtherWorkstation() override
    {
        release = true;
        wait();
    }
    std::atomic<bool> holding{false}, sawWaiter{false}, release{false}, failed{false};
    QString error;
    // Run before `finish` from a session outside the held transaction: a KILL sent inside
    // it would, on a cluster node, commit that transaction first.
    QStringList outside;

    // Starts and returns once the locks are held.
    bool startHolding()
    {
        start();
        QElapsedTimer t;
        t.start();
        while (!holding && !failed && t.elapsed() < 10000)
            QThread::msleep(5);
        return holding;
    }

protected:
    void run() override
    {
        const QString holder = QStringLiteral("other_workstation"), watcher = QStringLiteral("other_watcher");
        {
            // The locks are watched from a connection of their own: a session inside its
            // transaction is not shown the others' lock waits.
            // The watcher sees every session's locks, which takes the administrator.
            auto open = [&](const QString& name) {
                QSqlDatabase db = addTestConnection(name, name == holder ? m_settings : m_watcherSettings);
                if (!db.open() && !failed) {
                    error = db.lastError().text();
                    failed = true;
                }
                return db;
            };
            QSqlDatabase db = open(holder);
            QSqlDatabase watch = open(watcher);
            QSqlQuery q(db), w(watch);
            auto exec = [&](const QString& sql) {
                if (!failed && !q.exec(sql)) {
                    error = q.lastError().text() + " in " + sql;
                    failed = true;
                }
            };
            for (const QString& sql : m_hold)
                exec(sql);
            holding = !failed;
            // A locking read or an update that meets a lock while its row is looked up shows
            // as a statement (plain or prepared) still running after a good while, before its
            // transaction is listed as waiting; both count.
            const QString waitingStatements = QStringLiteral(
                "SELECT (SELECT COUNT(*) FROM information_schema.INNODB_TRX WHERE trx_state = 'LOCK WAIT') + "
                "(SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID <> CONNECTION_ID() AND "
                "COMMAND IN ('Query', 'Execute') AND (INFO LIKE '%FOR UPDATE%' OR INFO LIKE 'UPDATE %') "
                "AND TIME_MS > 200)");
            QElapsedTimer t;
            t.start();
            while (!failed && !release && t.elapsed() < 20000) {
                if (w.exec(waitingStatements) && w.next() && w.value(0).toInt() > 0) {
                    sawWaiter = true;
                    if (m_onWaiter)
                        break;
                }
                QThread::msleep(10);
            }
            for (const QString& sql : outside)
                if (!failed && !w.exec(sql)) {
                    error = w.lastError().text() + " in " + sql;
                    failed = true;
                }
            for (const QString& sql : m_finish)
                exec(sql);
        }
        QSqlDatabase::removeDatabase(holder);
        QSqlDatabase::removeDatabase(watcher);
    }

private:
    ConnectionSettings m_settings, m_watcherSettings;
    QStringList m_hold, m_finish;
    bool m_onWaiter;
};

// The statements of another workstation's entry numbered `number`, as this program writes
// one (taking the company's row first) or without that lock.
QStringList otherEntry(const JournalBooks& b, int number, bool lockCompany)
{
    QStringList sql{"START TRANSACTION"};
    if (lockCompany)
        sql << QStringLiteral("SELECT id FROM companies WHERE id = %1 FOR UPDATE").arg(b.company);
    sql << QStringLiteral("INSERT INTO transactions (`company id`, `transaction number`, `transaction type`, "
                          "`transaction date`, `transaction description`, posted) "
                          "VALUES (%1, %2, 'JE', '2026-12-09', 'Other desk', 'No')")
               .arg(b.company)
               .arg(number);
    sql << QStringLiteral(
        "INSERT INTO `transaction details` (`transaction id`, `line nr`, `account id`, "
        "`line description`, amount, deleted) VALUES "
        "(LAST_INSERT_ID(), 1, %1, 'In', 5, 'No'), (LAST_INSERT_ID(), 2, %2, 'Out', -5, 'No')")
               .arg(b.bank)
               .arg(b.sales);
    return sql;
}

QList<QVariantList> entries(const JournalBooks& b)
{
    return b.db.rows(
        QStringLiteral("SELECT `transaction number`, `transaction description`, "
                       "(SELECT COUNT(*) FROM `transaction details` d WHERE d.`transaction id` = t.id) "
                       "FROM transactions t WHERE `company id` = %1 ORDER BY `transaction number`")
            .arg(b.company));
}

QStringList typedCells(const TfrmJournalEntry& f, int rows)
{
    QStringList cells{f.edtJournalEntryDescription->text()};
    for (int r = 1; r <= rows; ++r)
        for (int c : {JE.AccountNumber, JE.LineDescription, JE.Amount})
            cells << f.sg->cell(c, r);
    return cells;
}
}

class TestJournalEntry : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }
    void init() { SetClockForTesting(QDateTime(JournalToday, QTime(9, 0))); }
    void cleanup()
    {
        SetClockForTesting({});
        QLocale::setDefault(QLocale::c());
    }

    void windowOpensEmptyOnTodayWithTheCursorOnTheDate()
    {
        Desk d;
        TfrmJournalEntry f(d.w.books(), &d.w);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.objectName(), QStringLiteral("frmJournalEntry"));
        QCOMPARE(f.windowTitle(), QStringLiteral("New Journal Entry"));
        QCOMPARE(f.size(), QSize(874, 534));
        QCOMPARE(f.gbJournalEntryDetails->title(), QStringLiteral("Journal Entry Details"));
        QCOMPARE(f.gbJournalEntryLines->title(), QStringLiteral("Journal Entry Lines"));
        QCOMPARE(f.lblJE->text(), QStringLiteral("[To be assigned]"));
        QCOMPARE(f.lblJournalTotal->text(), QStringLiteral("Journal Total: 0"));
        QCOMPARE(f.dtpJournalEntryDate->date(), JournalToday);
        QCOMPARE(f.edtJournalEntryDescription->maxLength(), 50);
        QCOMPARE(
            f.edtJournalEntryDescription->editLabel()->text(), QStringLiteral("Journal Entry Description"));
        QVERIFY(f.btnOK->isDefault());
        QCOMPARE(f.btnOK->text(), QStringLiteral("OK"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.dtpJournalEntryDate));
        QCOMPARE(f.sg->columnCount(), 6);
        QCOMPARE(f.sg->rowCount(), 101);
        QStringList headings;
        for (int c = 0; c < 6; ++c)
            headings << f.sg->cell(c, 0);
        QCOMPARE(headings,
            (QStringList{"Line nr", "Cost Centre Description", "Account Description", "Account number",
                "Line Description", "Amount"}));
        QCOMPARE(f.sg->cell(JE.LineNr, 1), QStringLiteral("1"));
        QCOMPARE(f.sg->cell(JE.LineNr, 100), QStringLiteral("100"));
        QCOMPARE(f.sg->columnWidth(JE.LineNr), 50);
        QCOMPARE(f.sg->columnWidth(JE.Amount), 150);
        // The three fixed columns are not the user's to type in, and the cursor skips them.
        const auto flags = [&](int col) { return f.sg->model()->flags(f.sg->model()->index(0, col)); };
        for (int c : {JE.LineNr, JE.CostCentreDescription, JE.AccountDescription})
            QVERIFY(!(flags(c) & Qt::ItemIsEditable));
        for (int c : {JE.AccountNumber, JE.LineDescription, JE.Amount})
            QVERIFY(flags(c) & Qt::ItemIsEditable);
        f.sg->setCurrentCell(JE.CostCentreDescription, 4);
        QCOMPARE(f.sg->currentColumn(), JE.AccountNumber);
        QCOMPARE(f.sg->currentRow(), 4);
        // Tab follows the reading order and ends on OK.
        const QList<QWidget*> stops{f.dtpJournalEntryDate, f.edtJournalEntryDescription, f.sg, f.btnOK};
        QList<QWidget*> order;
        QWidget* at = f.dtpJournalEntryDate;
        for (int i = 0; i < 100 && order.size() < stops.size(); ++i, at = at->nextInFocusChain())
            if (stops.contains(at) && !order.contains(at))
                order << at;
        QCOMPARE(order, stops);
        QCOMPARE(f.accounts().size(), 2);
    }

    // Escape or the window's close throws a typed entry away only when the user says so; an
    // untouched window closes at once. Anything typed counts, in any box.
    void closingAsksBeforeThrowingTypingAway_data()
    {
        QTest::addColumn<QString>("typed"); // "", "line", "description", "date"
        QTest::addColumn<bool>("escape"); // else the window's close
        QTest::addColumn<bool>("answer");
        QTest::newRow("untouched, Escape") << "" << true << false;
        QTest::newRow("a line, Escape, No") << "line" << true << false;
        QTest::newRow("a line, Escape, Yes") << "line" << true << true;
        QTest::newRow("only a description, close, No") << "description" << false << false;
        QTest::newRow("only the date, close, Yes") << "date" << false << true;
    }
    void closingAsksBeforeThrowingTypingAway()
    {
        QFETCH(QString, typed);
        QFETCH(bool, escape);
        QFETCH(bool, answer);
        Desk d;
        TfrmJournalEntry f(d.w.books(), &d.w);
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        if (typed == "line")
            typeLine(f, 3, "", "", "5");
        else if (typed == "description")
            f.edtJournalEntryDescription->setText("Rent");
        else if (typed == "date")
            f.dtpJournalEntryDate->setDate(JournalToday.addDays(-1));
        d.log.answer = answer;
        if (escape)
            QTest::keyClick(&f, Qt::Key_Escape);
        else
            f.close();
        const bool asked = !typed.isEmpty();
        QCOMPARE(d.log.messages, asked ? QStringList{"Discard this journal entry?"} : QStringList{});
        QCOMPARE(f.isVisible(), asked && !answer);
        if (f.isVisible()) {
            QCOMPARE(f.sg->cell(JE.Amount, 3) + f.edtJournalEntryDescription->text(),
                typed == "line" ? QStringLiteral("5") : QStringLiteral("Rent"));
            d.log.answer = true;
            f.close();
            QVERIFY(!f.isVisible());
        }
        QCOMPARE(d.books.count("transactions"), 0);
    }

    // Another user closes the period while the window is open: OK refuses with the "not
    // open" message and stores nothing. Also when the close is still being saved as OK is
    // pressed: the save waits for it and then sees it.
    void periodClosedMeanwhileRefuses_data()
    {
        QTest::addColumn<bool>("stillSaving");
        QTest::newRow("closed") << false;
        QTest::newRow("close still being saved") << true;
    }
    void periodClosedMeanwhileRefuses()
    {
        QFETCH(bool, stillSaving);
        Desk d;
        TfrmJournalEntry f(d.w.books(), &d.w);
        f.show();
        typeBalancedEntry(f);
        const QString close
            = QStringLiteral("UPDATE `financial periods` SET `period open` = 'No' WHERE "
                             "`financial year id` = %1 AND `start date` <= '%2' AND `end date` >= '%2'")
                  .arg(d.books.year)
                  .arg(JournalToday.toString(Qt::ISODate));
        std::unique_ptr<LockHolder> other;
        if (stillSaving)
            other = std::make_unique<LockHolder>(d.books.db, QStringList{close});
        else
            d.books.db.exec(close);
        f.btnOK->click();
        if (other) {
            other->join();
            QVERIFY(other->sawWaiter());
        }
        QCOMPARE(d.log.messages, QStringList{TfrmJournalEntry::PeriodNotOpen});
        QVERIFY(f.isVisible());
        QCOMPARE(d.books.count("transactions"), 0);
    }

    // Typed keystroke by keystroke into the editor: the lookup and the total follow each one.
    void lookupAndTotalFollowEveryKeystroke()
    {
        Desk d;
        // Another company's account with the same numbers is not this window's.
        const int other = d.books.db.addCompany("Other Ltd");
        const int otherCentre = d.books.db.addCostCentre(other, 1000, "Elsewhere");
        d.books.db.addAccount(
            otherCentre, d.books.db.addObject(400, "Stock", "Balance Sheet", 1), "Their stock");
        TfrmJournalEntry f(d.w.books(), &d.w);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.sg->setFocus();
        f.sg->setCurrentCell(JE.AccountNumber, 1);
        f.sg->edit(f.sg->currentIndex());
        auto* editor = f.sg->findChild<QLineEdit*>();
        QVERIFY(editor);
        QStringList seen;
        for (QChar ch : QStringLiteral("1000.200")) {
            QTest::keyClick(editor, ch.toLatin1());
            seen << f.sg->cell(JE.CostCentreDescription, 1) + "|" + f.sg->cell(JE.AccountDescription, 1);
        }
        QCOMPARE(seen,
            (QStringList{"Account Number invalid|", "Account Number invalid|", "Account Number invalid|",
                "Account Number invalid|", "Account Number invalid|", "Account Not Found|",
                "Account Not Found|", "Head Office|Bank account"}));
        typeCell(f.sg, JE.AccountNumber, 2, "1000.400");
        QCOMPARE(f.sg->cell(JE.CostCentreDescription, 2), QStringLiteral("Account Not Found"));
        typeCell(f.sg, JE.AccountNumber, 1, "");
        QCOMPARE(f.sg->cell(JE.CostCentreDescription, 1), QString());
        QCOMPARE(f.sg->cell(JE.AccountDescription, 1), QString());

        typeCell(f.sg, JE.Amount, 1, "100");
        typeCell(f.sg, JE.Amount, 2, "-100");
        QCOMPARE(f.lblJournalTotal->text(), QStringLiteral("Journal Total: 0"));
        typeCell(f.sg, JE.Amount, 3, "abc");
        QCOMPARE(f.lblJournalTotal->text(), QStringLiteral("Journal Total: [Amounts not correct]"));
        // Typing a description changes neither the total nor the descriptions.
        typeCell(f.sg, JE.LineDescription, 2, "1000.200");
        QCOMPARE(f.lblJournalTotal->text(), QStringLiteral("Journal Total: [Amounts not correct]"));
        QCOMPARE(f.sg->cell(JE.CostCentreDescription, 2), QStringLiteral("Account Not Found"));
        typeCell(f.sg, JE.Amount, 3, "");
        QCOMPARE(f.lblJournalTotal->text(), QStringLiteral("Journal Total: 0"));
        typeCell(f.sg, JE.Amount, 3, "0.0005");
        QCOMPARE(f.lblJournalTotal->text(), QStringLiteral("Journal Total: 0.0005"));
    }

    // OK's checks in order: the message, where the cursor goes, and nothing stored.
    void okRefusesWithTheFirstFault_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("case_");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        const QString period = "The journal entry date is not within the selected financial period.";
        for (const char* locale : {"C", "de_DE"}) {
            auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(locale, name)))
                    << QString(locale) << QString(name);
            };
            row("day before the period") << period << "dtpJournalEntryDate" << 0 << 0;
            row("day after the period") << period << "dtpJournalEntryDate" << 0 << 0;
            row("no period selected") << period << "dtpJournalEntryDate" << 0 << 0;
            row("short description")
                << "The value you supplied for Journal Entry Description is not valid.\r -  The value must contain at "
                   "least 3 characters and not any leading zeros or spaces."
                << "edtJournalEntryDescription" << 0 << 0;
            row("no lines") << "Account number not specified on line nr 1."
                            << "sg" << JE.AccountNumber << 1;
            row("gap") << "Account number not specified on line nr 2."
                       << "sg" << JE.AccountNumber << 2;
            row("no point") << "Account number format not correct on line nr 2."
                            << "sg" << JE.AccountNumber << 2;
            row("unknown account") << "Account not found on line nr 1."
                                   << "sg" << JE.AccountNumber << 1;
            row("short line description") << "Line description not specified on line nr 2."
                                          << "sg" << JE.LineDescription << 2;
            row("three decimals") << "Amount not correct on line nr 2."
                                  << "sg" << JE.Amount << 2;
            row("other separator") << "Amount not correct on line nr 1."
                                   << "sg" << JE.Amount << 1;
            row("not balanced") << "Journal total not 0."
                                << "" << 0 << 0;
        }
    }
    void okRefusesWithTheFirstFault()
    {
        QFETCH(QString, locale);
        QFETCH(QString, case_);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(int, column);
        QFETCH(int, row);
        QLocale::setDefault(QLocale(locale));
        const QString sep = QLocale().decimalPoint();
        const QString other = sep == "." ? "," : ".";
        Desk d;
        TfrmJournalEntry f(d.w.books(), &d.w);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.edtJournalEntryDescription->setText("Month end");
        if (case_ == "day before the period")
            f.dtpJournalEntryDate->setDate(QDate(2026, 11, 30));
        else if (case_ == "day after the period")
            f.dtpJournalEntryDate->setDate(QDate(2027, 1, 1));
        else if (case_ == "no period selected")
            d.w.cbFinancialPeriod->setCurrentIndex(-1);
        else if (case_ == "short description")
            f.edtJournalEntryDescription->setText("ab");
        else if (case_ == "gap") {
            typeLine(f, 1, "1000.200", "Deposit", "10");
            typeLine(f, 3, "1000.300", "Sale", "-10");
        } else if (case_ == "no point") {
            typeLine(f, 1, "1000.200", "Deposit", "10");
            typeLine(f, 2, "1000", "Sale", "-10");
        } else if (case_ == "unknown account")
            typeLine(f, 1, "1000.2", "Deposit", "10");
        else if (case_ == "short line description") {
            typeLine(f, 1, "1000.200", "Deposit", "10");
            typeLine(f, 2, "1000.300", "ab", "-10");
        } else if (case_ == "three decimals") {
            typeLine(f, 1, "1000.200", "Deposit", "12" + sep + "34");
            typeLine(f, 2, "1000.300", "Sale", "-12" + sep + "345");
        } else if (case_ == "other separator")
            typeLine(f, 1, "1000.200", "Deposit", "12" + other + "30");
        else if (case_ == "not balanced") {
            typeLine(f, 1, "1000.200", "Deposit", "100");
            typeLine(f, 2, "1000.300", "Sale", "-99" + sep + "99");
        }
        // Every case but the period's has lines that would pass, so only its own check speaks.
        if (case_.contains("period") || case_ == "short description") {
            typeLine(f, 1, "1000.200", "Deposit", "10");
            typeLine(f, 2, "1000.300", "Sale", "-10");
        }
        const QStringList before = typedCells(f, 3);
        f.sg->setCurrentCell(JE.Amount, 50);
        f.btnOK->setFocus();
        f.btnOK->click();
        QCOMPARE(d.log.messages, QStringList{message});
        QVERIFY(f.isVisible());
        QCOMPARE(typedCells(f, 3), before);
        QCOMPARE(d.books.count("transactions"), 0);
        if (!focus.isEmpty())
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        else
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.btnOK));
        if (column > 0) {
            QCOMPARE(f.sg->currentColumn(), column);
            QCOMPARE(f.sg->currentRow(), row);
        }
    }

    // A balanced entry is stored whole: its row, its lines, the number after the newest
    // cost centre's, and the window closes; the next entry takes the next number. Both
    // ends of the period are in it.
    void saveStoresTheEntryAndNumbersOn()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Desk d;
        for (const QDate date : {QDate(2026, 12, 1), QDate(2026, 12, 31)}) {
            TfrmJournalEntry f(d.w.books(), &d.w);
            f.show();
            f.dtpJournalEntryDate->setDate(date);
            f.edtJournalEntryDescription->setText("Cash sale");
            typeLine(f, 1, "1000.200", "Deposit", "150,25");
            typeLine(f, 2, "01000.0300", "Sale", "-150,25");
            f.btnOK->click();
            QCOMPARE(d.log.messages, QStringList{});
            QCOMPARE(f.result(), int(QDialog::Accepted));
            QVERIFY(!f.isVisible());
        }
        const auto t
            = d.books.db.rows("SELECT id, `transaction number`, `company id`, `transaction type`, posted, "
                              "`created by`, `transaction date`, `transaction description`, `edited by`, "
                              "`posted by` FROM transactions ORDER BY id");
        QCOMPARE(t.size(), 2);
        QCOMPARE(t[0][1].toInt(), 1001);
        QCOMPARE(t[1][1].toInt(), 1002);
        QCOMPARE(t[0][2].toInt(), d.books.company);
        QCOMPARE(t[0][3].toString(), QStringLiteral("JE"));
        QCOMPARE(t[0][4].toString(), QStringLiteral("No"));
        QCOMPARE(t[0][5].toInt(), d.books.user);
        QCOMPARE(t[0][6].toDate(), QDate(2026, 12, 1));
        QCOMPARE(t[1][6].toDate(), QDate(2026, 12, 31));
        QCOMPARE(t[0][7].toString(), QStringLiteral("Cash sale"));
        QVERIFY(t[0][8].isNull() && t[0][9].isNull());
        const auto lines
            = d.books.db.rows(QStringLiteral("SELECT `line nr`, `account id`, `line description`, "
                                             "CAST(amount AS CHAR), deleted FROM `transaction details` "
                                             "WHERE `transaction id` = %1 ORDER BY `line nr`")
                                  .arg(t[0][0].toInt()));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], (QVariantList{1, d.books.bank, "Deposit", "150.2500", "No"}));
        QCOMPARE(lines[1], (QVariantList{2, d.books.sales, "Sale", "-150.2500", "No"}));
    }

    // The number: the company's highest + 1; for its first entry the newest cost centre's
    // number + 1 (newest by id, not the highest number); other companies play no part.
    void numbering()
    {
        Desk d;
        auto save = [&] {
            TfrmJournalEntry f(d.w.books(), &d.w);
            typeBalancedEntry(f);
            f.btnOK->click();
            QCOMPARE(f.result(), int(QDialog::Accepted));
        };
        const int other = d.books.db.addCompany("Other Ltd");
        const int otherCentre = d.books.db.addCostCentre(other, 7000, "Theirs");
        const int theirs = d.books.db.addAccount(otherCentre, d.books.bankObject, "Their bank");
        d.books.db.addEntry(other, 5000, JournalToday, {{theirs, "1"}, {theirs, "-1"}});
        d.books.db.addCostCentre(d.books.company, 500, "Branch"); // newer than 1000
        save();
        save();
        QCOMPARE(d.books.db.rows(
                     QStringLiteral("SELECT `transaction number` FROM transactions WHERE `company id` = %1 "
                                    "ORDER BY id")
                         .arg(d.books.company)),
            (QList<QVariantList>{{501}, {502}}));
        // A number typed in by hand elsewhere is followed, gaps and all.
        d.books.db.addEntry(d.books.company, 900, JournalToday, {{d.books.bank, "1"}, {d.books.sales, "-1"}});
        save();
        QCOMPARE(d.books.db
                     .scalar(QStringLiteral("SELECT MAX(`transaction number`) FROM transactions WHERE "
                                            "`company id` = %1")
                                 .arg(d.books.company))
                     .toInt(),
            901);
        QCOMPARE(d.books.db
                     .scalar(QStringLiteral("SELECT MAX(`transaction number`) FROM transactions WHERE "
                                            "`company id` = %1")
                                 .arg(other))
                     .toInt(),
            5000);
        // The number column's last number taken: the next save is refused, nothing stored.
        d.books.db.addEntry(
            d.books.company, 2147483647, JournalToday, {{d.books.bank, "1"}, {d.books.sales, "-1"}});
        TfrmJournalEntry f(d.w.books(), &d.w);
        typeBalancedEntry(f);
        f.btnOK->click();
        QCOMPARE(d.log.messages,
            QStringList{
                "The journal entry numbers of this company have reached 2147483647, the highest number "
                "that can be stored.  No further journal entry can be numbered."});
        QVERIFY(f.result() != QDialog::Accepted);
        QCOMPARE(d.books.count("transactions"), 6);
    }

    // All 100 rows filled: the checks end at row 100 and 100 lines are stored in order.
    void hundredLineEntry()
    {
        Desk d;
        TfrmJournalEntry f(d.w.books(), &d.w);
        f.edtJournalEntryDescription->setText("Payroll");
        for (int r = 1; r <= 100; ++r)
            typeLine(f, r, r % 2 ? "1000.200" : "1000.300", QStringLiteral("Line %1").arg(r),
                r % 2 ? QStringLiteral("%1.01").arg(r) : QStringLiteral("-%1.01").arg(r - 1));
        QCOMPARE(f.lblJournalTotal->text(), QStringLiteral("Journal Total: 0"));
        f.btnOK->click();
        QCOMPARE(d.log.messages, QStringList{});
        QCOMPARE(f.result(), int(QDialog::Accepted));
        const auto lines = d.books.db.rows("SELECT `line nr`, `line description`, CAST(amount AS CHAR) FROM "
                                           "`transaction details` ORDER BY `line nr`");
        QCOMPARE(lines.size(), 100);
        for (int r = 1; r <= 100; ++r)
            QCOMPARE(lines[r - 1][0].toInt(), r);
        QCOMPARE(lines[99], (QVariantList{100, "Line 100", "-99.0100"}));
    }

    // A statement refused in the middle of the save: nothing of the entry stays, the user
    // is told, the window keeps everything typed, and OK again works the number out afresh.
    void failedSaveLeavesNothingAndKeepsTheWindow()
    {
        Desk d;
        d.books.db.exec(
            "CREATE TRIGGER refuse_line BEFORE INSERT ON `transaction details` FOR EACH ROW "
            "BEGIN IF NEW.`line nr` = 2 THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused'; "
            "END IF; END");
        TfrmJournalEntry f(d.w.books(), &d.w);
        f.show();
        typeBalancedEntry(f);
        const QStringList typed = typedCells(f, 2);
        f.btnOK->click();
        QCOMPARE(d.log.messages, QStringList{"Journal entry could not be saved.  Please try again."});
        QVERIFY(d.log.errors.isEmpty());
        QVERIFY(f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Rejected));
        QCOMPARE(typedCells(f, 2), typed);
        QCOMPARE(d.books.count("transactions"), 0);
        QCOMPARE(d.books.count("transaction details"), 0);
        QVERIFY(!d.w.fdcMain->inTransaction());

        d.books.db.exec("DROP TRIGGER refuse_line");
        d.books.db.addEntry(
            d.books.company, 1001, JournalToday, {{d.books.bank, "1"}, {d.books.sales, "-1"}});
        d.log.clear();
        f.btnOK->click();
        QCOMPARE(d.log.messages, QStringList{});
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(entries(d.books), (QList<QVariantList>{{1001, "Entry", 2}, {1002, "Cash sale", 2}}));
    }

    // Another workstation holds the lock past this save's patience (a lock wait timeout),
    // or the connection dies while the save waits: the save fails whole, and succeeds when
    // OK is pressed again.
    void saveThatWaitsInVainLeavesNothing_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::newRow("lock wait timeout") << false;
        QTest::newRow("connection lost") << true;
    }
    void saveThatWaitsInVainLeavesNothing()
    {
        QFETCH(bool, killed);
        Desk d;
        Query::execute("SET SESSION innodb_lock_wait_timeout = 1");
        const int connectionId = [] {
            Query q;
            q.open({"SELECT CONNECTION_ID() AS id"});
            return q.asInteger("id");
        }();
        OtherWorkstation other(d.books.db, otherEntry(d.books, 1001, true), {"ROLLBACK"}, killed);
        if (killed)
            other.outside << QStringLiteral("KILL %1").arg(connectionId);
        QVERIFY2(other.startHolding(), qPrintable(other.error));
        TfrmJournalEntry f(d.w.books(), &d.w);
        f.show();
        typeBalancedEntry(f);
        f.btnOK->click();
        other.release = true;
        other.wait();
        QVERIFY2(!other.failed, qPrintable(other.error));
        QVERIFY(other.sawWaiter);
        QCOMPARE(d.log.messages, QStringList{"Journal entry could not be saved.  Please try again."});
        QVERIFY(f.isVisible());
        QCOMPARE(d.books.count("transactions"), 0);

        d.log.clear();
        f.btnOK->click();
        QCOMPARE(d.log.messages, QStringList{});
        QCOMPARE(entries(d.books), (QList<QVariantList>{{1001, "Cash sale", 2}}));
    }

    // Two workstations save at the same moment: the other one's transaction holds its new
    // entry open while this save runs; this save waits for its commit and takes the next
    // number, and both entries are whole. Whether or not the other takes the company's
    // lock, the highest number is read under a lock and so cannot be read stale.
    void concurrentSavesGetConsecutiveNumbers_data()
    {
        QTest::addColumn<bool>("lockCompany");
        QTest::newRow("other locks the company") << true;
        QTest::newRow("other only inserts") << false;
    }
    void concurrentSavesGetConsecutiveNumbers()
    {
        QFETCH(bool, lockCompany);
        Desk d;
        d.books.db.addEntry(
            d.books.company, 1001, JournalToday, {{d.books.bank, "1"}, {d.books.sales, "-1"}});
        OtherWorkstation other(d.books.db, otherEntry(d.books, 1002, lockCompany), {"COMMIT"}, true);
        QVERIFY2(other.startHolding(), qPrintable(other.error));
        TfrmJournalEntry f(d.w.books(), &d.w);
        f.show();
        typeBalancedEntry(f);
        f.btnOK->click();
        other.wait();
        QVERIFY2(!other.failed, qPrintable(other.error));
        QVERIFY(other.sawWaiter); // this save did wait for the other's commit
        QCOMPARE(d.log.messages, QStringList{});
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(entries(d.books),
            (QList<QVariantList>{{1001, "Entry", 2}, {1002, "Other desk", 2}, {1003, "Cash sale", 2}}));
    }
};

QTEST_MAIN(TestJournalEntry)
#include "tst_journalentry.moc"
