#include "JournalTesting.h"

#include "db/Connection.h"
#include "db/Transaction.h"
#include "import/ImportStore.h"
#include "journal/JournalChain.h"
#include "journal/JournalStore.h"
#include "journal/JournalVerification.h"
#include "journal/VerifyJournal.h"

#include <QPushButton>
#include <QtTest>

// The chain hash of journal entries: what the saves store, what db/upgrade.sql computes for
// the entries stored before it, and what verifying the books finds after changes by SQL.
class TestJournalChain : public QObject {
    Q_OBJECT

    // Saves a balanced entry through the entry window, as a user does.
    static void saveThroughWindow(
        JournalBooks& b, const QString& description, const QList<QStringList>& lines)
    {
        TfrmJournalEntry f(b.w.books(), &b.w);
        f.show();
        f.edtJournalEntryDescription->setText(description);
        for (int r = 0; r < lines.size(); ++r)
            typeLine(f, r + 1, lines[r][0], lines[r][1], lines[r][2]);
        f.btnOK->click();
        QVERIFY2(!f.isVisible(), qPrintable(b.log.messages.join('\n')));
    }

    static JournalVerification verify(int company)
    {
        return JournalVerificationStore::verify(company, [](qint64, qint64) { return true; });
    }

    static void saveThree(JournalBooks& b)
    {
        saveThroughWindow(
            b, "Cash sale", {{"1000.200", "Deposit", "150.25"}, {"1000.300", "Sale", "-150.25"}});
        saveThroughWindow(b, QStringLiteral("Café, naïve “quotes” 12:3"),
            {{"1000.200", QStringLiteral("Dépôt 4:2 – 😀"), "0.5"}, {"1000.300", "Back", "-0.5"}});
        saveThroughWindow(b, "Third one",
            {{"1000.300", "Refund", "-900000000"}, {"1000.200", "Paid", "899999999.99"},
                {"1000.200", "Rest", "0.01"}});
    }

private slots:
    void initTestCase() { initTestApplication(); }
    void init() { SetClockForTesting(QDateTime(JournalToday, QTime(9, 0))); }
    void cleanup() { SetClockForTesting({}); }

    // The bytes hashed are fixed: each field as its length in bytes, a colon and its text.
    void hashedBytesAreFixed()
    {
        JournalChainHash h("", "7", "2026-12-01", QStringLiteral("é").toUtf8(), "3");
        h.addLine("12", JournalChainHash::amountText(*Money::parseDb("-1.5")), "ab", "No");
        const QByteArray bytes = "0:1:710:2026-12-012:\xc3\xa9"
                                 "1:32:127:-1.50002:ab2:No";
        QCOMPARE(h.result(), QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    }

    // The program's hashes and those db/upgrade.sql computes agree byte for byte, for
    // texts beyond ASCII, amounts of every size and sign, and two companies' chains.
    void upgradeChainsAsTheProgramDoes()
    {
        JournalBooks b;
        saveThree(b);
        const int other = b.db.addCompany("Other Ltd");
        const int centre = b.db.addCostCentre(other, 5, "Branch");
        const int account = b.db.addAccount(centre, b.bankObject, "Their bank");
        Connection::program().startTransaction();
        JournalChainTail tail = JournalStore::lastNumberForUpdate(other);
        QCOMPARE(tail.lastNumber, qint64(5));
        QVERIFY(tail.lastHash.isEmpty());
        JournalStore::insert({6, other, b.user, QDate(2026, 12, 2), "Other", {},
                                 {{account, "Mine", "-7.0000"}, {account, "Yours", "7.0000"}}},
            tail);
        Connection::program().commit();
        const QString hashes
            = "SELECT `company id`, `transaction number`, `chain hash` FROM transactions ORDER BY id";
        const QStringList saved = b.db.texts(hashes);
        QCOMPARE(saved.size(), 4);
        for (const QString& row : saved)
            QCOMPARE(row.section(' ', 2).size(), 64);
        b.db.exec("UPDATE transactions SET `chain hash` = NULL");
        b.db.execFile(databaseFile("upgrade.sql"));
        QCOMPARE(b.db.texts(hashes), saved);
        QVERIFY(!verify(b.company).firstAltered);
        QVERIFY(!verify(other).firstAltered);
    }

    // Untouched books verify; a change by SQL names the first entry no longer as saved.
    void verificationNamesTheAlteredEntry_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("named"); // 0: none
        QTest::newRow("untouched") << QString() << 0;
        QTest::newRow("line amount") << "UPDATE `transaction details` SET amount = 0.6 WHERE amount = 0.5"
                                     << 1002;
        QTest::newRow("line deleted")
            << "DELETE FROM `transaction details` WHERE `line description` = 'Rest'" << 1003;
        QTest::newRow("line account")
            << "UPDATE `transaction details` SET `account id` = (SELECT MAX(id) FROM accounts) WHERE `line description` = 'Deposit'"
            << 1001;
        QTest::newRow("line marked deleted")
            << "UPDATE `transaction details` SET deleted = 'Yes' WHERE `line description` = 'Back'" << 1002;
        QTest::newRow("header description")
            << "UPDATE transactions SET `transaction description` = 'Cash Sale' WHERE `transaction number` = 1001"
            << 1001;
        QTest::newRow("header date")
            << "UPDATE transactions SET `transaction date` = '2026-12-11' WHERE `transaction number` = 1003"
            << 1003;
        QTest::newRow("stored hash changed")
            << "UPDATE transactions SET `chain hash` = REPEAT('0', 64) WHERE `transaction number` = 1002"
            << 1002;
        // Lines are hashed in the order of their numbers, whatever the order of their rows.
        QTest::newRow("lines renumbered, same order")
            << "UPDATE `transaction details` SET `line nr` = `line nr` + 8 WHERE `line description` IN ('Refund', "
               "'Paid', 'Rest') ORDER BY `line nr` DESC"
            << 0;
        QTest::newRow("lines swapped")
            << "UPDATE `transaction details` SET `line nr` = 9 WHERE `line description` = 'Refund'; UPDATE "
               "`transaction details` SET `line nr` = 1 WHERE `line description` = 'Paid'; UPDATE `transaction "
               "details` SET `line nr` = 2 WHERE `line nr` = 9"
            << 1003;
        QTest::newRow("entry removed")
            << "SET @gone = (SELECT id FROM transactions WHERE `transaction number` = 1002); DELETE FROM "
               "`transaction details` WHERE `transaction id` = @gone; DELETE FROM transactions WHERE id = @gone"
            << 1003;
    }
    void verificationNamesTheAlteredEntry()
    {
        QFETCH(QString, change);
        QFETCH(int, named);
        JournalBooks b;
        saveThree(b);
        for (const QString& statement : change.split("; ", Qt::SkipEmptyParts))
            b.db.exec(statement);
        const JournalVerification result = verify(b.company);
        QCOMPARE(result.firstAltered.value_or(0), qint64(named));
        QCOMPARE(result.total, qint64(change.contains("DELETE FROM transactions") ? 2 : 3));
    }

    // The window's answer, for the company's administrators only.
    void verifyJournalEntriesAnswers()
    {
        JournalBooks b;
        saveThree(b);
        b.w.acVerifyJournalEntries->trigger();
        QCOMPARE(b.log.messages, QStringList{"You need administrator access to use this function."});
        b.db.exec("UPDATE access SET administrator = 'Yes'");
        b.log.clear();
        b.w.acVerifyJournalEntries->trigger();
        QCOMPARE(b.log.messages, QStringList{"All 3 journal entries of Acme are as they were saved."});
        b.db.exec(
            "UPDATE `transaction details` SET `line description` = 'Sale!' WHERE `line description` = 'Sale'");
        b.log.clear();
        b.w.acVerifyJournalEntries->trigger();
        QCOMPARE(b.log.messages,
            QStringList{
                "JE 1001 is not as it was saved: its header or lines were changed, or an entry before it "
                "was removed, after it was saved."});
        QVERIFY(b.log.errors.isEmpty());
    }

    // Two saves at the same moment on two connections: the second waits for the first's
    // numbering lock and chains after the entry the first committed.
    void concurrentSavesKeepOneChain()
    {
        JournalBooks b;
        saveThroughWindow(b, "First", {{"1000.200", "Into", "10"}, {"1000.300", "Outgo", "-10"}});
        const QString lastHash = b.db.scalar("SELECT `chain hash` FROM transactions").toString();
        // The other workstation's entry, chained as its program would chain it.
        const NewJournalEntry theirs{1002, b.company, b.user, JournalToday, "Theirs", "their-key",
            {{b.bank, "Theirs in", "5.0000"}, {b.sales, "Theirs out", "-5.0000"}}};
        const QString hash = JournalStore::chainHash(lastHash, theirs);
        LockHolder other(b.db,
            {QStringLiteral("SELECT id FROM companies WHERE id = %1 FOR UPDATE").arg(b.company),
                QStringLiteral(
                    "INSERT INTO transactions (`company id`, `transaction number`, `transaction date`, "
                    "`transaction description`, `save key`, `chain hash`) VALUES (%1, 1002, '%2', "
                    "'Theirs', 'their-key', '%3')")
                    .arg(b.company)
                    .arg(JournalToday.toString(Qt::ISODate), hash),
                QStringLiteral(
                    "INSERT INTO `transaction details` (`transaction id`, `line nr`, `account id`, "
                    "`line description`, amount) VALUES (LAST_INSERT_ID(), 1, %1, 'Theirs in', 5), "
                    "(LAST_INSERT_ID(), 2, %2, 'Theirs out', -5)")
                    .arg(b.bank)
                    .arg(b.sales)});
        saveThroughWindow(b, "Mine", {{"1000.200", "Into", "7"}, {"1000.300", "Outgo", "-7"}});
        other.join();
        QVERIFY(other.sawWaiter());
        QCOMPARE(
            b.db.texts("SELECT `transaction number`, `transaction description` FROM transactions ORDER BY 1"),
            (QStringList{"1001 First", "1002 Theirs", "1003 Mine"}));
        const JournalVerification result = verify(b.company);
        QVERIFY(!result.firstAltered);
        QCOMPARE(result.checked, qint64(3));
    }
};

QTEST_MAIN(TestJournalChain)
#include "tst_journalchain.moc"
