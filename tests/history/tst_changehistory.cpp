#include "TestSupport.h"

#include "../journal/JournalTesting.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "history/ChangeHistory.h"
#include "standard/DataGrid.h"
#include "standard/LinkLabel.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QtTest>

// The change history the database keeps: what its triggers record, who they name, what the
// program's account may do with it, and the window that shows it.
class TestChangeHistory : public QObject {
    Q_OBJECT

    // The newest history rows of a table: action, login name, database account, company,
    // then the JSON value of `field` before and after.
    static QStringList recorded(const TestDatabase& db, const QString& table, const QString& field, int count)
    {
        return db.texts(QStringLiteral("SELECT action, CONCAT('[', `login name`, ']'), `database account`, "
                                       "COALESCE(`company id`, '-'), "
                                       "COALESCE(JSON_VALUE(`values before`, '$.\"%2\"'), '-'), "
                                       "COALESCE(JSON_VALUE(`values after`, '$.\"%2\"'), '-') "
                                       "FROM (SELECT * FROM `change history` WHERE `table name` = '%1' "
                                       "ORDER BY id DESC LIMIT %3) h ORDER BY id")
                            .arg(table, field)
                            .arg(count));
    }

private slots:
    void initTestCase() { initTestApplication(); }

    // Every table of the program's own: an insert and an update by the logged-in user
    // through the program's connection, a delete by a script on another account.
    void eachTableRecordsItsChanges_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("program"); // insert (when any) and update, as ann
        QTest::addColumn<QString>("script"); // the delete
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("companies")
            << "companies"
            << "company name"
            << QStringList{"INSERT INTO companies (`company name`) VALUES ('Beta')",
                   "UPDATE companies SET `company name` = 'BETA' WHERE `company name` = 'Beta'"}
            << "DELETE FROM companies WHERE `company name` = 'BETA'"
            << QStringList{"insert [ann] veldra_test_program C2 - Beta",
                   "update [ann] veldra_test_program C2 Beta BETA", "delete [] root C2 BETA -"};
        QTest::newRow("access")
            << "access"
            << "journal entries"
            << QStringList{"INSERT INTO access (`company id`, `wp_user id`) VALUES (C, 77)",
                   "UPDATE access SET `journal entries` = 'Post' WHERE `wp_user id` = 77"}
            << "DELETE FROM access WHERE `wp_user id` = 77"
            << QStringList{"insert [ann] veldra_test_program C - No access",
                   "update [ann] veldra_test_program C No access Post", "delete [] root C Post -"};
        QTest::newRow("cost centres")
            << "cost centres"
            << "cost centre description"
            << QStringList{"INSERT INTO `cost centres` (`company id`, `cost centre number`, `cost centre "
                           "description`) VALUES (C, 9, 'Shop')",
                   "UPDATE `cost centres` SET `cost centre description` = 'Shop floor' WHERE `cost centre number` = 9"}
            << "DELETE FROM `cost centres` WHERE `cost centre number` = 9"
            << QStringList{"insert [ann] veldra_test_program C - Shop",
                   "update [ann] veldra_test_program C Shop Shop floor", "delete [] root C Shop floor -"};
        QTest::newRow("accounts")
            << "accounts"
            << "account description"
            << QStringList{"INSERT INTO accounts (`cost centre id`, `object id`, `account description`) "
                           "SELECT id, OBJ, 'Till' FROM `cost centres` WHERE `company id` = C",
                   "UPDATE accounts SET `account description` = 'till' WHERE `account description` = 'Till'"}
            << "DELETE FROM accounts WHERE `account description` = 'till'"
            << QStringList{"insert [ann] veldra_test_program C - Till",
                   "update [ann] veldra_test_program C Till till", "delete [] root C till -"};
        QTest::newRow("financial years")
            << "financial years"
            << "last day of financial year"
            << QStringList{"INSERT INTO `financial years` (`company id`, `financial year description`, `last day of "
                           "financial year`) VALUES (C, 'FY 27', '2027-02-28')",
                   "UPDATE `financial years` SET `last day of financial year` = '2027-03-31' WHERE "
                   "`financial year description` = 'FY 27'"}
            << "DELETE FROM `financial years` WHERE `financial year description` = 'FY 27'"
            << QStringList{"insert [ann] veldra_test_program C - 2027-02-28",
                   "update [ann] veldra_test_program C 2027-02-28 2027-03-31",
                   "delete [] root C 2027-03-31 -"};
        QTest::newRow("financial periods")
            << "financial periods"
            << "period open"
            << QStringList{"INSERT INTO `financial periods` (`financial year id`, `period number`, `start date`, "
                           "`end date`, `period description`) SELECT id, 1, '2026-03-01', '2026-03-31', 'March' "
                           "FROM `financial years` WHERE `company id` = C",
                   "UPDATE `financial periods` SET `period open` = 'No'"}
            << "DELETE FROM `financial periods`"
            << QStringList{"insert [ann] veldra_test_program C - Yes",
                   "update [ann] veldra_test_program C Yes No", "delete [] root C No -"};
        QTest::newRow("registration claims")
            << "registration claims"
            << "claimed at"
            << QStringList{"INSERT INTO `registration claims` VALUES ('login:bob', '2026-12-01 10:00:00')",
                   "UPDATE `registration claims` SET `claimed at` = '2026-12-02 10:00:00'"}
            << "DELETE FROM `registration claims`"
            << QStringList{"insert [ann] veldra_test_program - - 2026-12-01 10:00:00",
                   "update [ann] veldra_test_program - 2026-12-01 10:00:00 2026-12-02 10:00:00",
                   "delete [] root - 2026-12-02 10:00:00 -"};
        QTest::newRow("transactions")
            << "transactions"
            << "transaction description"
            << QStringList{"INSERT INTO transactions (`company id`, `transaction number`, `transaction date`, "
                           "`transaction description`) VALUES (C, 5, '2026-12-01', 'Sale')"}
            << "UPDATE transactions SET `transaction description` = 'Sale?'; DELETE FROM transactions"
            << QStringList{"insert [ann] veldra_test_program C - Sale", "update [] root C Sale Sale?",
                   "delete [] root C Sale? -"};
        // A line's insert is part of its entry's record; its changes are rows of their own.
        QTest::newRow("transaction details")
            << "transaction details"
            << "amount"
            << QStringList{"INSERT INTO transactions (`company id`, `transaction number`, `transaction date`, "
                           "`transaction description`) VALUES (C, 5, '2026-12-01', 'Sale')",
                   "INSERT INTO `transaction details` (`transaction id`, `line nr`, `account id`, `line "
                   "description`, amount) SELECT LAST_INSERT_ID(), 1, MAX(id), 'Cash', 12.5 FROM accounts"}
            << "UPDATE `transaction details` SET amount = -3; DELETE FROM `transaction details`"
            << QStringList{"update [] root C 12.5000 -3.0000", "delete [] root C -3.0000 -"};
    }
    void eachTableRecordsItsChanges()
    {
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(QStringList, program);
        QFETCH(QString, script);
        QFETCH(QStringList, expected);
        World world;
        const int company = world.company("Acme");
        const int object = world.db.addObject(200, "Bank", "Balance Sheet", 1);
        world.db.addAccount(world.db.addCostCentre(company, 1, "Main"), object, "Bank");
        world.db.addYear(company, "FY 26", QDate(2026, 3, 1), 0);
        const int spare = world.db.addObject(300, "Till", "Balance Sheet", 1);
        world.w.Login(world.user);
        auto filled = [&](QString sql) {
            return sql.replace("OBJ", QString::number(spare))
                .replace(QRegularExpression("\\bC\\b"), QString::number(company));
        };
        for (const QString& sql : program)
            Query::execute(filled(sql));
        for (const QString& sql : script.split("; "))
            world.db.exec(filled(sql));
        QStringList want;
        for (const QString& row : expected)
            want << QString(row)
                        .replace("veldra_test_program", world.db.settings().user)
                        .replace(" root ", " " + world.db.adminSettings().user + " ")
                        .replace(" C2 ",
                            // Ids step by more than 1 on a cluster: Beta's is the one its insert recorded.
                            " "
                                + world.db
                                      .scalar("SELECT `row id` FROM `change history` WHERE `table name` = "
                                              "'companies' AND action = 'insert' ORDER BY id DESC LIMIT 1")
                                      .toString()
                                + " ")
                        .replace(" C ", QStringLiteral(" %1 ").arg(company));
        QCOMPARE(recorded(world.db, table, field, int(want.size())), want);
        // The user's id is recorded with the login name; a script's change has none.
        QCOMPARE(
            world.db
                .scalar("SELECT COUNT(*) FROM `change history` WHERE `login name` = 'ann' AND `user id` <> "
                    + QString::number(world.user))
                .toInt(),
            0);
        QCOMPARE(
            world.db
                .scalar(
                    "SELECT COUNT(*) FROM `change history` WHERE `login name` = '' AND `user id` IS NOT NULL")
                .toInt(),
            0);
    }

    // A 100-line entry saved through the window is one record: the entry's, holding its line
    // count and sums. The sums and monthly totals the database keeps are not recorded.
    void entryIsOneRecord()
    {
        JournalBooks b;
        SetClockForTesting(QDateTime(JournalToday, QTime(9, 0)));
        const int before = b.count("change history");
        {
            TfrmJournalEntry f(b.w.books(), &b.w);
            f.show();
            f.edtJournalEntryDescription->setText("Hundred lines");
            for (int r = 1; r <= 100; ++r)
                typeLine(f, r, r % 2 ? "1000.200" : "1000.300", "Line", r % 2 ? "1.25" : "-1.25");
            f.btnOK->click();
            QVERIFY(!f.isVisible());
        }
        SetClockForTesting({});
        QCOMPARE(b.count("change history") - before, 1);
        QCOMPARE(
            b.db.texts(
                "SELECT `table name`, action, `login name`, JSON_VALUE(`values after`, '$.\"line count\"'), "
                "JSON_VALUE(`values after`, '$.\"debit amount\"'), "
                "JSON_VALUE(`values after`, '$.\"credit amount\"') FROM `change history` "
                "ORDER BY id DESC LIMIT 1"),
            QStringList{"transactions insert ann 100 62.5000 -62.5000"});
        // A line added to the entry after the connection wrote another record does not
        // count into the entry's record: it would pass for part of the save.
        try {
            Query::execute("INSERT INTO companies (`company name`) VALUES ('Later Ltd')");
            Query::execute("INSERT INTO `transaction details` (`transaction id`, `line nr`, `account id`, "
                           "`line description`, amount, deleted) VALUES ("
                + b.db.scalar("SELECT MAX(id) FROM transactions").toString() + ", 101, "
                + QString::number(b.bank) + ", 'Slipped in', 7, 'No')");
        } catch (const DbError& e) {
            QFAIL(qPrintable(e.text()));
        }
        QCOMPARE(
            b.db.texts("SELECT JSON_VALUE(`values after`, '$.\"line count\"') FROM `change history` "
                       "WHERE `table name` = 'transactions' AND action = 'insert' ORDER BY id DESC LIMIT 1"),
            QStringList{"100"});
    }

    // The program's account reads the history and can neither add to it, change it nor
    // remove from it.
    void historyIsReadOnlyForTheProgram()
    {
        World world;
        world.company("Acme");
        QVERIFY(
            Query::firstValue({"SELECT COUNT(*) AS n FROM `change history`"}, {}, "n").value().toInt() > 0);
        for (const QString& sql : {QStringLiteral("UPDATE `change history` SET `login name` = 'nobody'"),
                 QStringLiteral("DELETE FROM `change history`"),
                 QStringLiteral(
                     "INSERT INTO `change history` (`changed at`, `connection id`, `table name`, `row id`, "
                     "action) VALUES (NOW(), 1, 'companies', '1', 'insert')")}) {
            try {
                Query::execute(sql);
                QFAIL(qPrintable("Allowed: " + sql));
            } catch (const DbError& e) {
                QCOMPARE(e.code(), QStringLiteral("1142")); // command denied
            }
        }
        QCOMPARE(
            world.db.scalar("SELECT COUNT(*) FROM `change history` WHERE `login name` = 'nobody'").toInt(),
            0);
    }

    // Logging out clears the user; a new connection after a lost one carries the logged-in
    // user again, and nobody after logout.
    void logoutAndReconnectKeepTheUserRight()
    {
        World world;
        const int company = world.company("Acme");
        world.w.Login(world.user);
        auto change = [&](const QString& name) {
            Query::execute(QStringLiteral("UPDATE companies SET `company name` = '%1' WHERE id = %2")
                               .arg(name)
                               .arg(company));
            return world.db
                .scalar(
                    "SELECT CONCAT('[', `login name`, ']') FROM `change history` ORDER BY id DESC LIMIT 1")
                .toString();
        };
        QCOMPARE(change("One"), QStringLiteral("[ann]"));
        const QVariant id = Query::firstValue({"SELECT CONNECTION_ID() AS id"}, {}, "id").value();
        world.db.exec("KILL " + id.toString());
        QVERIFY(Query::firstValue({"SELECT CONNECTION_ID() AS id"}, {}, "id").value() != id);
        QCOMPARE(change("Two"), QStringLiteral("[ann]"));
        world.w.Logout();
        QCOMPARE(change("Three"), QStringLiteral("[]"));
        world.db.exec(
            "KILL " + Query::firstValue({"SELECT CONNECTION_ID() AS id"}, {}, "id").value().toString());
        QCOMPARE(change("Four"), QStringLiteral("[]"));
    }

    // The window: the usual refusal, then filters by table, user and days, and the selected
    // change's fields side by side with the changed ones marked.
    void windowFiltersAndShowsChanges()
    {
        World world;
        const int company = world.company("Acme", "Yes", "No");
        world.w.Login(world.user);
        world.w.acChangeHistory->trigger();
        QCOMPARE(world.log.messages, QStringList{"You need administrator access to use this function."});
        world.db.exec("UPDATE access SET administrator = 'Yes'");
        Query::execute(QStringLiteral("INSERT INTO `cost centres` (`company id`, `cost centre number`, "
                                      "`cost centre description`) VALUES (%1, 7, 'Shop')")
                           .arg(company));
        Query::execute("UPDATE `cost centres` SET `cost centre description` = 'Shop floor'");
        world.db.exec("UPDATE companies SET `company name` = 'Acme Ltd'");
        // Another company's changes are not this company's history.
        world.db.exec("INSERT INTO companies (`company name`) VALUES ('Other')");

        TfrmChangeHistory f(world.w.books(), nullptr, &world.w);
        f.show();
        QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.cbTable));
        auto shown = [&f] {
            QStringList rows;
            Query* q = f.dbgChangeHistory->query();
            for (int r = 0; r < q->recordCount(); ++r) {
                q->setCurrentRow(r);
                rows << q->asString("table name") + " " + q->asString("action") + " ["
                        + q->asString("login name") + "]";
            }
            if (q->recordCount())
                q->setCurrentRow(0);
            return rows;
        };
        const QStringList all{"companies update []", "cost centres update [ann]", "cost centres insert [ann]",
            "access update []", "access insert []", "companies insert []"};
        QCOMPARE(shown(), all);
        choose(f.cbTable, "cost centres");
        QCOMPARE(shown(), (QStringList{"cost centres update [ann]", "cost centres insert [ann]"}));
        // The newest change is selected: the description changed, the rest did not.
        QCOMPARE(f.sgChangeValues->rowCount(), 4);
        QStringList fields;
        for (int r = 0; r < 4; ++r)
            fields << f.sgChangeValues->item(r, 0)->text() + "|" + f.sgChangeValues->item(r, 1)->text() + "|"
                    + f.sgChangeValues->item(r, 2)->text()
                    + (f.sgChangeValues->item(r, 2)->font().bold() ? " *" : "");
        QCOMPARE(fields,
            (QStringList{QString("company id|%1|%1").arg(company),
                "cost centre description|Shop|Shop floor *", "cost centre number|7|7",
                QString("id|%1|%1").arg(world.db.scalar("SELECT id FROM `cost centres`").toInt())}));
        choose(f.cbTable, "All tables");
        choose(f.cbUser, TfrmChangeHistory::outsideTheProgram());
        QCOMPARE(shown(),
            (QStringList{
                "companies update []", "access update []", "access insert []", "companies insert []"}));
        choose(f.cbUser, "ann");
        QCOMPARE(shown(), (QStringList{"cost centres update [ann]", "cost centres insert [ann]"}));
        choose(f.cbUser, "All users");
        f.dtpFrom->setDate(QDate::currentDate().addDays(1));
        f.dtpTo->setDate(QDate::currentDate().addDays(2));
        QCOMPARE(shown(), QStringList{});
        QVERIFY(!f.dbgChangeHistory->isVisible());
        QVERIFY(f.lblNoChanges->isVisible());
        QCOMPARE(f.sgChangeValues->rowCount(), 0);
        f.dtpFrom->setDate(QDate::currentDate());
        f.dtpTo->setDate(QDate::currentDate());
        QCOMPARE(shown(), all);
        QVERIFY(world.log.errors.isEmpty());
        // Its help page and verse, like every setup window's.
        LinkCatcher urls;
        f.lblHelp->clicked();
        f.lblBibleVerseLink->clicked();
        QCOMPARE(urls.urls.size(), 2);
        QVERIFY(urls.urls[0].toString().endsWith("/help/blog/change-history.html"));
        QVERIFY(QFile::exists(databaseFile("../docs/help/blog/change-history.html")));
        QVERIFY(urls.urls[1].toString().endsWith("/luke/8-17.htm"));
    }
};

QTEST_MAIN(TestChangeHistory)
#include "tst_changehistory.moc"
