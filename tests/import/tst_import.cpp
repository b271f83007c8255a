#include "../journal/JournalTesting.h"
#include "FaultProxy.h"
#include "TestSupport.h"
#include "TrialBalanceTesting.h"

#include "db/Query.h"
#include "import/Import.h"
#include "journal/JournalEntriesTab.h"
#include "standard/DataGrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

// The import window on real books: what it writes, what it refuses, and what happens when
// the connection, another workstation or the user interrupts the save.
namespace {
// A file in a folder of its own for as long as the test runs.
struct CsvFixture {
    QTemporaryDir dir;
    QString write(const QByteArray& bytes, const QString& name = "entries.csv")
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
};

// Three entries of two lines each, in December 2026, with headings the window recognises.
const QByteArray ThreeEntries = "Entry,Date,Description,Account,Line Description,Amount\n"
                                "1,01/12/2026,Cash sale,1000.200,Deposit,150.25\n"
                                "1,01/12/2026,Cash sale,1000.300,Sale,-150.25\n"
                                "2,02/12/2026,\"Rent, December\",1000.300,Rent,-40\n"
                                "2,02/12/2026,\"Rent, December\",1000.200,\"Paid \"\"in full\"\"\",40\n"
                                "3,03/12/2026,Refund,1000.200,Refund,-10\n"
                                "3,03/12/2026,Refund,1000.300,Refund,10\n";

// Number, description, created by and line count of every entry, by number.
QStringList entries(const TestDatabase& db)
{
    return db.texts("SELECT `transaction number`, `transaction description`, `created by`, "
                    "(SELECT COUNT(*) FROM `transaction details` d WHERE d.`transaction id` = t.id) "
                    "FROM transactions t ORDER BY `transaction number`");
}

// The books and the import window, shown, with ThreeEntries read.
struct ShownImport {
    JournalBooks d;
    CsvFixture files;
    TfrmImport f{d.w.books(), &d.w};
    ShownImport()
    {
        f.show();
        if (!f.openFile(files.write(ThreeEntries)))
            qFatal("the file of three entries was refused");
    }
};

int programConnectionId()
{
    Query q;
    q.open({"SELECT CONNECTION_ID() AS id"});
    return q.asInteger("id");
}

// Books whose program connection runs through a proxy that can lose a COMMIT.
struct ProxyBooks {
    TestDatabase db;
    std::unique_ptr<FaultProxy> proxy = std::make_unique<FaultProxy>(db.settings());
    std::unique_ptr<TfrmMain> w;
    MessageLog log;
    int user = 0, company = 0;
    ProxyBooks()
    {
        SetConnectionSettings(proxy->settings());
        w = std::make_unique<TfrmMain>();
        user = db.addUser("ann", "ann@example.com", "secret");
        company = db.addCompany("Acme");
        db.addAccess(user, company, "Yes", "No", "View", "Create");
        const int centre = db.addCostCentre(company, 1000, "Head Office");
        db.addAccount(centre, db.addObject(200, "Bank", "Balance Sheet", 1), "Bank account");
        db.addAccount(centre, db.addObject(300, "Sales", "Income Statement", 1), "Sales account");
        db.addYear(company, "2026", QDate(2026, 3, 1));
        w->Login(user);
    }
    ~ProxyBooks()
    {
        w.reset();
        proxy.reset();
    }
};
}

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }
    void init() { SetClockForTesting(QDateTime(JournalToday, QTime(9, 0))); }
    void cleanup() { SetClockForTesting({}); }

    // File → Import Journal Entries… opens the window; the entries are numbered in file
    // order after what was there, created by the user, and the journal list and the trial
    // balance show them afterwards.
    void importThroughTheMenu()
    {
        JournalBooks d;
        CsvFixture files;
        d.db.addEntry(d.company, 1001, JournalToday, {{d.bank, "1"}, {d.sales, "-1"}});
        const QString path = files.write(ThreeEntries);
        auto* file = d.w.ammbMain->findChild<QMenu*>("mnuFile");
        QVERIFY(file);
        QCOMPARE(d.w.ammbMain->actions().first()->menu(), file);
        QAction* item = file->findChild<QAction*>("acImportJournalEntriesItem");
        QVERIFY(item);
        QCOMPARE(item->text(), QString("&Import Journal Entries…"));
        QCOMPARE(d.w.acImportJournalEntries->text(), QString("Import Journal Entries…"));
        QVERIFY(d.w.acImportJournalEntries->isEnabled());

        // What the window showed, read while it is open; the checks follow once it closed.
        QString name, delimiter, firstLine, quoted;
        QWidget* focus = nullptr;
        TfrmImport* shown = nullptr;
        bool headings = false;
        QTimer::singleShot(0, [&] {
            auto* f = qobject_cast<TfrmImport*>(QApplication::activeModalWidget());
            if (!f)
                return;
            shown = f;
            name = f->objectName();
            focus = f->focusWidget() == f->edtFile ? f->edtFile : nullptr;
            if (f->openFile(path)) {
                headings = f->cbHeadings->isChecked();
                delimiter = f->cbDelimiter->currentText();
                firstLine = f->sgPreview->cell(0, 1);
                quoted = f->sgPreview->cell(5, 4);
                f->btnImport->click();
            }
            if (f->isVisible())
                f->reject();
        });
        item->trigger();
        QVERIFY(shown);
        QCOMPARE(name, QString("frmImport"));
        QVERIFY2(focus, "the cursor starts in the file box");
        QVERIFY(headings);
        QCOMPARE(delimiter, QString("Comma"));
        QCOMPARE(firstLine, QString("2"));
        QCOMPARE(quoted, QString("Paid \"in full\""));
        QCOMPARE(d.log.messages,
            QStringList{"3 journal entries with 6 lines were imported as JE 1002 to JE 1004."});
        const QString ann = QString::number(d.user);
        QCOMPARE(entries(d.db),
            (QStringList{"1001 Entry 0 2", "1002 Cash sale " + ann + " 2",
                "1003 Rent, December " + ann + " 2", "1004 Refund " + ann + " 2"}));
        QCOMPARE(d.db.texts(
                     "SELECT `line description`, amount FROM `transaction details` d JOIN transactions t ON "
                     "t.id = d.`transaction id` WHERE `transaction number` = 1003 ORDER BY `line nr`"),
            (QStringList{"Rent -40.0000", "Paid \"in full\" 40.0000"}));
        QCOMPARE(d.db.texts(
                     "SELECT `file name`, `entry count`, `line count`, `imported by` FROM `imported files`"),
            QStringList{QString("entries.csv 3 6 %1").arg(d.user)});

        d.w.pcMain->setCurrentWidget(d.w.tsJournalEntries);
        QCOMPARE(d.w.tsJournalEntries->qrTransactions->recordCount(), 4);
        showTrialBalance(d.w);
        const QList<QStringList> tb = snapshot(*d.w.sgTB);
        bool bankShown = false;
        for (const QStringList& row : tb)
            if (row.value(TB.CostCentreNumber) == "1000" && row.value(TB.ObjectNumber) == "200")
                bankShown = row.contains("181.25"); // 1 + 150.25 + 40 - 10 in December
        QVERIFY2(bankShown, "the bank account's December column shows the imported amounts");
    }

    // Each format through the window: what was detected or chosen is how the file is read.
    void formats_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("commaDecimals");
        QTest::addColumn<bool>("debitCredit");
        QTest::addColumn<QString>("description");
        QTest::newRow("Windows-1252, semicolons, decimal comma")
            << QByteArray("Entry;Date;Description;Account;Line Description;Amount\n"
                          "1;01/12/2026;Caf\xE9 \x80;1000.200;Deposit;1.234,50\n"
                          "1;01/12/2026;Caf\xE9 \x80;1000.300;Sale;-1.234,50\n")
            << true << false << QString::fromUtf8("Café €");
        QTest::newRow("UTF-8 with mark, tabs, debit and credit")
            << QByteArray("\xEF\xBB\xBF"
                          "Date\tDescription\tAccount\tLine Description\tDebit\tCredit\n"
                          "01/12/2026\tCaf\xC3\xA9 \xE2\x82\xAC\t1000.200\tDeposit\t1234.50\t\n"
                          "01/12/2026\tCaf\xC3\xA9 \xE2\x82\xAC\t1000.300\tSale\t\t1234.50\n")
            << false << true << QString::fromUtf8("Café €");
    }
    void formats()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, commaDecimals);
        QFETCH(bool, debitCredit);
        QFETCH(QString, description);
        JournalBooks d;
        CsvFixture files;
        TfrmImport f(d.w.books(), &d.w);
        QVERIFY(f.openFile(files.write(bytes)));
        QCOMPARE(f.cbAmountKind->currentIndex(), debitCredit ? 1 : 0);
        if (commaDecimals) {
            choose(f.cbDecimalSeparator, "Comma");
            choose(f.cbThousandsSeparator, "Point");
        }
        f.btnImport->click();
        QCOMPARE(d.log.messages,
            QStringList{"1 journal entries with 2 lines were imported as JE 1001 to JE 1001."});
        QCOMPARE(d.db.texts("SELECT `transaction description` FROM transactions"), QStringList{description});
        QCOMPARE(d.db.texts("SELECT amount FROM `transaction details` ORDER BY `line nr`"),
            (QStringList{"1234.5000", "-1234.5000"}));
    }

    // An unbalanced entry in the middle of the file: every problem listed with its line,
    // copyable, and nothing written. A mapping without an account column is refused first.
    void problemsWriteNothing()
    {
        JournalBooks d;
        CsvFixture files;
        QByteArray bytes = ThreeEntries;
        bytes.replace("1000.200,\"Paid \"\"in full\"\"\",40", "1000.200,\"Paid \"\"in full\"\"\",39.99");
        bytes.replace("1000.300,Refund,10", "1000.999,Refund,10");
        TfrmImport f(d.w.books(), &d.w);
        f.show();
        QVERIFY(f.openFile(files.write(bytes)));
        choose(f.cbAccount, "(none)");
        f.btnImport->click();
        QCOMPARE(d.log.messages, QStringList{"Choose the column that holds the account number."});
        choose(f.cbAccount, "4: Account");
        d.log.clear();
        f.btnImport->click();
        QCOMPARE(d.log.messages,
            QStringList{
                "The file has 2 problem(s); nothing was imported.  Each is listed under Problems with its line "
                "in the file."});
        QCOMPARE(f.problemsText(),
            QString("Line\tColumn\tText Found\tProblem\n"
                    "4\t\t-0.01\tJournal total not 0.\n"
                    "7\tAccount\t1000.999\tAccount not found.\n"));
        QVERIFY(f.isVisible());
        QCOMPARE(d.count("transactions"), 0);
        QCOMPARE(d.count("imported files"), 0);
    }

    // A mapping saved under a name is offered by the next window and restores every choice.
    void savedMappingIsChosenAgain()
    {
        JournalBooks d;
        CsvFixture files;
        const QString path = files.write(ThreeEntries);
        {
            TfrmImport f(d.w.books(), &d.w);
            QVERIFY(f.openFile(path));
            choose(f.cbEntryKey, "(none)");
            choose(f.cbDateFormat, "yyyy-mm-dd");
            choose(f.cbDecimalSeparator, "Comma");
            f.cbMappingName->setEditText("Bank export");
            f.btnSaveMapping->click();
        }
        TfrmImport f(d.w.books(), &d.w);
        QVERIFY(f.openFile(path));
        QCOMPARE(f.cbEntryKey->currentText(), QString("1: Entry"));
        QCOMPARE(f.cbMappingName->findText("Bank export"), 0);
        choose(f.cbMappingName, "Bank export");
        QCOMPARE(f.cbEntryKey->currentText(), QString("(none)"));
        QCOMPARE(f.cbDateFormat->currentText(), QString("yyyy-mm-dd"));
        QCOMPARE(f.cbDecimalSeparator->currentText(), QString("Comma"));
        QCOMPARE(f.cbAccount->currentText(), QString("4: Account"));
        QCOMPARE(d.log.messages, QStringList{});
    }

    // The opener's refusals, before a window opens.
    void openerRefuses()
    {
        JournalBooks d("View");
        QVERIFY(!openImport(d.w.books(), &d.w));
        QCOMPARE(d.log.messages,
            QStringList{
                "You must have \"create\" access to journal entries on this company to access this function."});
        d.log.clear();
        d.db.addAccess(d.user, d.db.addCompany("Beta"));
        d.w.RefreshFilters();
        choose(d.w.cbCompany, "All");
        QVERIFY(!openImport(d.w.books(), &d.w));
        QCOMPARE(d.log.messages, QStringList{"Please select/create a spesific company first."});
    }

    // The connection is killed in the middle of the save: nothing of the file is written and
    // the window says so, keeping everything; Import again then stores it whole.
    void killedConnectionLeavesNothing()
    {
        ShownImport x;
        JournalBooks& d = x.d;
        TfrmImport& f = x.f;
        const int connection = programConnectionId();
        bool killed = false;
        f.onProgress = [&](int) {
            if (!killed && d.w.fdcMain->inTransaction() && d.count("imported files") == 0) {
                killed = true;
                d.db.exec(QString("KILL %1").arg(connection));
            }
        };
        f.btnImport->click();
        QVERIFY(killed);
        QCOMPARE(d.log.messages, QStringList{TfrmImport::Failed});
        QVERIFY(f.isVisible());
        QCOMPARE(d.count("transactions"), 0);
        QCOMPARE(d.count("transaction details"), 0);
        QCOMPARE(d.count("imported files"), 0);

        d.log.clear();
        f.btnImport->click();
        QCOMPARE(d.log.messages,
            QStringList{"3 journal entries with 6 lines were imported as JE 1001 to JE 1003."});
        QCOMPARE(d.count("transaction details"), 6);
    }

    // Another user closes December between the check and the save: the save reads the
    // period's flag under lock, refuses, and writes nothing.
    void periodClosedMeanwhileWritesNothing()
    {
        ShownImport x;
        JournalBooks& d = x.d;
        x.f.onProgress = [&](int) {
            if (!d.w.fdcMain->inTransaction())
                d.db.exec(
                    "UPDATE `financial periods` SET `period open` = 'No' WHERE `start date` = '2026-12-01'");
        };
        x.f.btnImport->click();
        QCOMPARE(d.log.messages,
            QStringList{"A period the file's dates fall in was closed meanwhile.  Nothing was written."});
        QCOMPARE(d.count("transactions"), 0);
        QCOMPARE(d.count("imported files"), 0);
    }

    // Cancel during the save rolls everything back.
    void cancelWritesNothing()
    {
        ShownImport x;
        JournalBooks& d = x.d;
        TfrmImport& f = x.f;
        f.onProgress = [&](int) {
            if (d.w.fdcMain->inTransaction() && f.btnCancel->isEnabled())
                f.btnCancel->click();
        };
        f.btnImport->click();
        QCOMPARE(d.log.messages, QStringList{TfrmImport::Cancelled});
        QVERIFY(f.isVisible());
        QCOMPARE(d.count("transactions"), 0);
        QCOMPARE(d.count("imported files"), 0);
        QVERIFY(!d.w.fdcMain->inTransaction());
    }

    // The same file again is noticed and asked about: No imports nothing, Yes imports it
    // again with the next numbers.
    void reimportIsNoticed()
    {
        JournalBooks d;
        CsvFixture files;
        const QString path = files.write(ThreeEntries);
        {
            TfrmImport f(d.w.books(), &d.w);
            QVERIFY(f.openFile(path));
            f.btnImport->click();
        }
        QCOMPARE(d.count("transactions"), 3);
        for (const bool again : {false, true}) {
            d.log.clear();
            d.log.answer = again;
            TfrmImport f(d.w.books(), &d.w);
            QVERIFY(f.openFile(files.write(ThreeEntries, "copy.csv")));
            f.btnImport->click();
            QCOMPARE(d.log.messages.value(0),
                QString(
                    "This file (entries.csv) was imported into this company on 10/12/2026 09:00 by ann: 3 "
                    "journal entries.  Import it again?"));
            QCOMPARE(d.count("transactions"), again ? 6 : 3);
        }
        QCOMPARE(d.db.scalar("SELECT MAX(`transaction number`) FROM transactions").toInt(), 1006);
    }

    // Another workstation saves an entry of the company while the import runs: the import
    // waits for its commit, then numbers after it.
    void numbersFollowAConcurrentSave()
    {
        JournalBooks d;
        CsvFixture files;
        TfrmImport f(d.w.books(), &d.w);
        QVERIFY(f.openFile(files.write(ThreeEntries)));
        LockHolder other(d.db,
            {QString("SELECT id FROM companies WHERE id = %1 FOR UPDATE").arg(d.company),
                QString("INSERT INTO transactions (`company id`, `transaction number`, `transaction date`, "
                        "`transaction description`) VALUES (%1, 1001, '2026-12-10', 'Other desk')")
                    .arg(d.company)});
        f.btnImport->click();
        other.join();
        QVERIFY(other.sawWaiter());
        QCOMPARE(
            d.db.texts("SELECT `transaction number`, `transaction description` FROM transactions ORDER BY 1"),
            (QStringList{"1001 Other desk", "1002 Cash sale", "1003 Rent, December", "1004 Refund"}));
    }

    // The reply to COMMIT is lost: when the server can be asked, the import's key shows
    // whether it is in; when it cannot, the user is told it is unconfirmed, and Import
    // again once it answers stores nothing twice.
    void lostCommit_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("stored");
        QTest::newRow("commit lost") << int(FaultProxy::Fault::LoseCommit) << QStringList{TfrmImport::Failed}
                                     << 0;
        QTest::newRow("reply lost")
            << int(FaultProxy::Fault::LoseCommitReply)
            << QStringList{"3 journal entries with 6 lines were imported as JE 1001 to JE 1003."} << 3;
        QTest::newRow("reply and server lost") << int(FaultProxy::Fault::LoseCommitReplyAndServer)
                                               << QStringList{EditDialog::UnconfirmedSave} << 3;
    }
    void lostCommit()
    {
        QFETCH(int, fault);
        QFETCH(QStringList, messages);
        QFETCH(int, stored);
        ProxyBooks x;
        CsvFixture files;
        TfrmImport f(x.w->books(), x.w.get());
        QVERIFY(f.openFile(files.write(ThreeEntries)));
        x.proxy->arm(FaultProxy::Fault(fault));
        f.btnImport->click();
        QVERIFY(x.proxy->fired());
        QCOMPARE(x.log.messages, messages);
        QCOMPARE(x.db.scalar("SELECT COUNT(*) FROM transactions").toInt(), stored);
        if (fault != int(FaultProxy::Fault::LoseCommitReplyAndServer))
            return;
        x.proxy->restore();
        x.log.clear();
        f.btnImport->click();
        QCOMPARE(x.log.messages, QStringList{EditDialog::ConfirmedSave});
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(x.db.scalar("SELECT COUNT(*) FROM transactions").toInt(), 3);
        QCOMPARE(x.db.scalar("SELECT COUNT(*) FROM `imported files`").toInt(), 1);
    }

    // Entries written out as CSV and imported into a second company with the same accounts
    // give the same trial balance.
    void roundTripGivesTheSameTrialBalance()
    {
        JournalBooks d;
        CsvFixture files;
        d.db.addAccess(d.user, d.db.addCompany("Beta"), "Yes", "No", "View", "Create");
        const int beta = d.db.scalar("SELECT id FROM companies WHERE `company name` = 'Beta'").toInt();
        const int betaCentre = d.db.addCostCentre(beta, 1000, "Head Office");
        d.db.addAccount(betaCentre, d.bankObject, "Bank account");
        d.db.addAccount(betaCentre, d.salesObject, "Sales account");
        d.db.addYear(beta, "2026", QDate(2026, 3, 1));
        d.db.addEntry(
            d.company, 1, QDate(2026, 3, 1), {{d.bank, "1000.5"}, {d.sales, "-1000.5"}}, "Opening sale");
        d.db.addEntry(
            d.company, 2, QDate(2026, 7, 15), {{d.bank, "-20.25"}, {d.sales, "20.25"}}, "Refund, July");
        d.db.addEntry(
            d.company, 3, QDate(2027, 2, 28), {{d.bank, "7"}, {d.sales, "-3"}, {d.sales, "-4"}}, "Last day");
        QByteArray csv = "Entry,Date,Description,Account,Line Description,Amount\n";
        for (const QVariantList& r :
            d.db.rows(
                "SELECT t.`transaction number`, DATE_FORMAT(t.`transaction date`, '%d/%m/%Y'), "
                "t.`transaction description`, CONCAT(c.`cost centre number`, '.', o.`object number`), "
                "d.`line description`, d.amount FROM transactions t JOIN `transaction details` d ON "
                "d.`transaction id` = t.id JOIN accounts a ON a.id = d.`account id` JOIN `cost centres` c ON "
                "c.id = a.`cost centre id` JOIN objects o ON o.id = a.`object id` "
                "ORDER BY t.`transaction number`, d.`line nr`")) {
            QStringList cells;
            for (const QVariant& v : r)
                cells << "\"" + v.toString().replace("\"", "\"\"") + "\"";
            csv += cells.join(",").toUtf8() + "\n";
        }
        choose(d.w.cbCompany, "Acme");
        showTrialBalance(d.w);
        const QList<QStringList> acme = snapshot(*d.w.sgTB);
        choose(d.w.cbCompany, "Beta");
        {
            TfrmImport f(d.w.books(), &d.w);
            QVERIFY(f.openFile(files.write(csv)));
            f.btnImport->click();
            QCOMPARE(f.result(), int(QDialog::Accepted));
        }
        showTrialBalance(d.w);
        QList<QStringList> imported = snapshot(*d.w.sgTB);
        for (QStringList& row : imported)
            row.replaceInStrings(QRegularExpression("^Beta$"), "Acme"); // the company column
        QCOMPARE(imported, acme);
        QCOMPARE(d.db.scalar(QString("SELECT COUNT(*) FROM transactions WHERE `company id` = %1").arg(beta))
                     .toInt(),
            3);
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
