#include "TestSupport.h"

#include "app/Main.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "standard/Standard.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

namespace {
// A row in every table, named to the statements by session variables of the program's own
// connection (so that a refusal arrives as the program sees it): @user, @acme, @beta, @cc,
// @object, @object2, @account, @year, @entry.
struct SampleRows {
    TestDatabase db;
    Connection c;
    SampleRows()
    {
        const int user = db.addUser("anna", "anna@example.com", "secret");
        const int acme = db.addCompany("Acme");
        const int beta = db.addCompany("Beta");
        db.addAccess(user, acme);
        const int cc = db.addCostCentre(acme, 1, "Head Office");
        const int object = db.addObject(11111, "Bank", "Balance Sheet", 5);
        const int object2 = db.addObject(11112, "Savings", "Balance Sheet", 5);
        const int account = db.addAccount(cc, object, "Bank");
        const int year = db.addYear(acme, "FY 2024", QDate(2024, 1, 1));
        const int entry = db.addEntry(acme, 1, QDate(2024, 5, 5), {});
        // The schema's checks hold for every client, also one with every right.
        SetConnectionSettings(db.adminSettings());
        c.open();
        Query::execute(QStringLiteral("SET @user = %1, @acme = %2, @beta = %3, @cc = %4, @object = %5, "
                                      "@object2 = %6, @account = %7, @year = %8, @entry = %9")
                           .arg(user)
                           .arg(acme)
                           .arg(beta)
                           .arg(cc)
                           .arg(object)
                           .arg(object2)
                           .arg(account)
                           .arg(year)
                           .arg(entry));
    }
};
}

class TestSchema : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { initTestApplication(); }

    // The integrity the program itself does not enforce is kept by the schema: each
    // statement adds a row that repeats what must be unique; its twin in another
    // company, year or cost centre is accepted.
    void uniqueKeys_data()
    {
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("accepted");
        QTest::newRow("company name") << "INSERT INTO companies (`company name`) VALUES ('Acme')"
                                      << "INSERT INTO companies (`company name`) VALUES ('Acme 2')";
        QTest::newRow("company name in other letter case")
            << "INSERT INTO companies (`company name`) VALUES ('ACME')"
            << "";
        QTest::newRow("access row per user and company")
            << "INSERT INTO access (`company id`, `wp_user id`) VALUES (@acme, @user)"
            << "INSERT INTO access (`company id`, `wp_user id`) VALUES (@beta, @user)";
        QTest::newRow("cost centre number")
            << "INSERT INTO `cost centres` (`company id`, `cost centre number`, `cost centre description`) "
               "VALUES (@acme, 1, 'Other')"
            << "INSERT INTO `cost centres` (`company id`, `cost centre number`, `cost centre description`) "
               "VALUES (@beta, 1, 'Other')";
        QTest::newRow("cost centre description")
            << "INSERT INTO `cost centres` (`company id`, `cost centre number`, `cost centre description`) "
               "VALUES (@acme, 2, 'Head Office')"
            << "INSERT INTO `cost centres` (`company id`, `cost centre number`, `cost centre description`) "
               "VALUES (@beta, 2, 'Head Office')";
        QTest::newRow("account per cost centre and object")
            << "INSERT INTO accounts (`cost centre id`, `object id`, `account description`) "
               "VALUES (@cc, @object, 'Bank again')"
            << "INSERT INTO accounts (`cost centre id`, `object id`, `account description`) "
               "VALUES (@cc, @object2, 'Savings')";
        QTest::newRow("year description")
            << "INSERT INTO `financial years` (`company id`, `financial year description`, "
               "`last day of financial year`) VALUES (@acme, 'FY 2024', '2025-12-31')"
            << "INSERT INTO `financial years` (`company id`, `financial year description`, "
               "`last day of financial year`) VALUES (@beta, 'FY 2024', '2024-12-31')";
        QTest::newRow("period number")
            << "INSERT INTO `financial periods` (`financial year id`, `period number`, `start date`, "
               "`end date`, `period description`) VALUES (@year, 3, '2024-03-01', '2024-03-31', 'Again')"
            << "INSERT INTO `financial periods` (`financial year id`, `period number`, `start date`, "
               "`end date`, `period description`) VALUES (@year, 13, '2025-01-01', '2025-01-31', 'Extra')";
        QTest::newRow("journal number per company and type")
            << "INSERT INTO transactions (`company id`, `transaction number`, `transaction type`, "
               "`transaction date`, `transaction description`) VALUES (@acme, 1, 'JE', '2024-05-05', 'Again')"
            << "INSERT INTO transactions (`company id`, `transaction number`, `transaction type`, "
               "`transaction date`, `transaction description`) VALUES (@beta, 1, 'JE', '2024-05-05', 'First')";
    }
    void uniqueKeys()
    {
        QFETCH(QString, refused);
        QFETCH(QString, accepted);
        SampleRows rows;
        try {
            Query::execute(refused);
            QFAIL("the schema accepted a duplicate");
        } catch (const DbError& e) {
            QVERIFY2(e.isDuplicateKey(), qPrintable(e.text()));
        }
        if (!accepted.isEmpty())
            Query::execute(accepted);
    }

    // The flag and level columns hold only what the program reads, letter case included;
    // `period open` alone is stored as typed, in any letter case.
    void flagAndLevelChecks_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("accepted");
        const QString access
            = "INSERT INTO access (`company id`, `wp_user id`, `access company`, administrator, "
              "`trial balance`, `journal entries`) VALUES (@beta, @user, %1)";
        QTest::newRow("access: every level") << access.arg("'Yes', 'No', 'Create', 'Post'") << true;
        QTest::newRow("access: no access") << access.arg("'No', 'Yes', 'No access', 'View'") << true;
        QTest::newRow("access company lower case") << access.arg("'yes', 'No', 'View', 'View'") << false;
        QTest::newRow("administrator empty") << access.arg("'Yes', '', 'View', 'View'") << false;
        QTest::newRow("trial balance lower case") << access.arg("'Yes', 'No', 'view', 'View'") << false;
        QTest::newRow("journal entries unknown") << access.arg("'Yes', 'No', 'View', 'Edit'") << false;
        QTest::newRow("level with a trailing blank") << access.arg("'Yes', 'No', 'View', 'Post '") << false;
        const QString object = "INSERT INTO objects (`object number`, `use for account`) VALUES (1, %1)";
        QTest::newRow("use for account Yes") << object.arg("'Yes'") << true;
        QTest::newRow("use for account Y") << object.arg("'Y'") << false;
        QTest::newRow("use for account with a blank") << object.arg("'No '") << false;
        const QString period
            = "INSERT INTO `financial periods` (`financial year id`, `period number`, `start date`, "
              "`end date`, `period description`, `period open`, `period deleted`) "
              "VALUES (@year, 13, '2025-01-01', '2025-01-31', 'Extra', %1)";
        QTest::newRow("period open in any case") << period.arg("'yES', 'No'") << true;
        QTest::newRow("period open other word") << period.arg("'Yep', 'No'") << false;
        QTest::newRow("period open with a blank") << period.arg("'No ', 'No'") << false;
        QTest::newRow("period deleted lower case") << period.arg("'Yes', 'no'") << false;
        QTest::newRow("posted lower case")
            << "INSERT INTO transactions (`company id`, `transaction number`, `transaction date`, "
               "`transaction description`, posted) VALUES (@acme, 2, '2024-05-05', 'x', 'no')"
            << false;
        QTest::newRow("line deleted unknown")
            << "INSERT INTO `transaction details` (`transaction id`, `line nr`, `account id`, `line description`, "
               "amount, deleted) VALUES (@entry, 9, @account, 'x', 1, 'N')"
            << false;
    }
    void flagAndLevelChecks()
    {
        QFETCH(QString, statement);
        QFETCH(bool, accepted);
        SampleRows rows;
        try {
            Query::execute(statement);
            QVERIFY2(accepted, "the schema accepted a value the program cannot read");
        } catch (const DbError& e) {
            QVERIFY2(!accepted, qPrintable(e.text()));
            QCOMPARE(e.code(), QStringLiteral("4025")); // a CHECK constraint refused it
        }
    }

    // A new access row holds the least privilege until an administrator raises it.
    void accessDefaults()
    {
        TestDatabase db;
        const int user = db.addUser("anna", "anna@example.com", "secret");
        const int company = db.addCompany("Acme");
        Connection c;
        c.open();
        RowWriter("access").set("company id", company).set("wp_user id", user).insert();
        const auto row = db.rows("SELECT `access company`, administrator, `trial balance`, `journal entries` "
                                 "FROM access");
        QCOMPARE(row.size(), 1);
        QCOMPARE(row[0], (QVariantList{"No", "No", "No access", "No access"}));
        // The flags have a binary collation; the program still reads them as text.
        Query q;
        q.open({"SELECT administrator, `trial balance` FROM access"});
        QCOMPARE(q.value("administrator"), QVariant(QStringLiteral("No")));
        QCOMPARE(q.data(q.index(0, 0), Qt::DisplayRole), QVariant(QStringLiteral("No")));
    }

    // An entry's debit and credit sums follow its lines whoever writes them: added, changed,
    // moved to another entry, removed; without lines it has none. A database that kept them
    // on the entry's row, or had none, gets them when the schema is loaded again.
    void entrySumsFollowTheirLines()
    {
        SampleRows s;
        TestDatabase& db = s.db;
        const int other
            = db.addEntry(db.scalar("SELECT id FROM companies WHERE `company name` = 'Acme'").toInt(), 2,
                QDate(2024, 5, 6), {});
        const auto sums = [&](int entry) {
            return db
                .rows(QStringLiteral("SELECT COALESCE(MAX(`debit amount`), 'none'), COALESCE(MAX(`credit "
                                     "amount`), 'none') FROM `entry sums` WHERE `transaction id` = %1 AND "
                                     "`line count` > 0")
                          .arg(entry))
                .value(0);
        };
        const int entry = db.scalar("SELECT MIN(id) FROM transactions").toInt();
        const int account = db.scalar("SELECT MIN(id) FROM accounts").toInt();
        QCOMPARE(sums(entry), (QVariantList{"none", "none"}));

        const QString line = QStringLiteral(
            "INSERT INTO `transaction details` (`transaction id`, `line nr`, `account id`, `line description`, "
            "amount) VALUES (%1, %2, %3, '', %4)");
        db.exec(line.arg(entry).arg(1).arg(account).arg("100.25"));
        db.exec(line.arg(entry).arg(2).arg(account).arg("-60"));
        db.exec(line.arg(entry).arg(3).arg(account).arg("-40.25"));
        QCOMPARE(sums(entry), (QVariantList{"100.2500", "-100.2500"}));

        db.exec(QStringLiteral("UPDATE `transaction details` SET amount = 7 WHERE `transaction id` = %1 AND "
                               "`line nr` = 2")
                    .arg(entry));
        QCOMPARE(sums(entry), (QVariantList{"107.2500", "-40.2500"}));
        db.exec(QStringLiteral("UPDATE `transaction details` SET `transaction id` = %1 WHERE `line nr` = 1")
                    .arg(other));
        QCOMPARE(sums(entry), (QVariantList{"7.0000", "-40.2500"}));
        QCOMPARE(sums(other), (QVariantList{"100.2500", "0.0000"}));
        db.exec(QStringLiteral("DELETE FROM `transaction details` WHERE `transaction id` = %1").arg(entry));
        QCOMPARE(sums(entry), (QVariantList{"none", "none"}));

        // A database that kept the sums on the entry's row: the schema and its upgrade loaded
        // into it.
        db.exec("DROP TABLE `entry sums`");
        const QString listKey
            = "SELECT GROUP_CONCAT(column_name ORDER BY seq_in_index) FROM information_schema.statistics "
              "WHERE table_schema = DATABASE() AND table_name = 'transactions' AND index_name = 'journal list'";
        const QString newKey = db.scalar(listKey).toString();
        db.exec(
            "ALTER TABLE transactions DROP KEY `journal list`, ADD `debit amount` decimal(25,4), ADD `credit "
            "amount` decimal(25,4), ADD KEY `journal list` (`company id`, `transaction date`, `transaction number`, "
            "`transaction description`, posted, `created by`, `edited by`, `posted by`, `debit amount`, `credit "
            "amount`)");
        db.execFile(databaseFile("schema.sql"));
        db.execFile(databaseFile("upgrade.sql"));
        QCOMPARE(sums(other), (QVariantList{"100.2500", "0.0000"}));
        QCOMPARE(sums(entry), (QVariantList{"none", "none"}));
        QCOMPARE(
            db.scalar("SELECT COUNT(*) FROM information_schema.columns WHERE table_schema = DATABASE() AND "
                      "table_name = 'transactions' AND column_name LIKE '%amount'")
                .toInt(),
            0);
        QCOMPARE(db.scalar(listKey).toString(), newKey);
        // The lines' sums are wrong after a load that bypassed them; the upgrade mends them.
        db.exec("UPDATE `entry sums` SET `debit amount` = 1");
        db.execFile(databaseFile("upgrade.sql"));
        QCOMPARE(sums(other), (QVariantList{"100.2500", "0.0000"}));
    }

    // Text typed into grid cells has no length limit: a long line or period description
    // is stored whole rather than refusing the entry.
    void longGridTextsAreStored()
    {
        TestDatabase db;
        const int company = db.addCompany("Acme");
        const int year = db.addYear(company, "FY 2024", QDate(2024, 1, 1), 1);
        const int cc = db.addCostCentre(company, 1, "Head Office");
        const int account = db.addAccount(cc, db.addObject(11111, "Bank", "Balance Sheet", 5), "Bank");
        const int entry = db.addEntry(company, 1, QDate(2024, 1, 5), {});
        const QString longText = QString(300, QChar(u'é'));
        Connection c;
        c.open();
        c.startTransaction();
        RowWriter("transaction details")
            .set("transaction id", entry)
            .set("line nr", 1)
            .set("account id", account)
            .set("line description", longText)
            .set("amount", "12.5")
            .insert();
        RowWriter("financial periods")
            .set("financial year id", year)
            .set("period number", 2)
            .set("start date", QDate(2024, 2, 1))
            .set("end date", QDate(2024, 2, 29))
            .set("period description", longText)
            .insert();
        c.commit();
        QCOMPARE(db.scalar("SELECT `line description` FROM `transaction details`").toString(), longText);
        QCOMPARE(db.scalar("SELECT amount FROM `transaction details`").toString(), QStringLiteral("12.5000"));
        QCOMPARE(db.scalar("SELECT `period description` FROM `financial periods` WHERE `period number` = 2")
                     .toString(),
            longText);
    }

    // The demo data a newcomer logs into: balanced entries in a year that contains the
    // day it was loaded, a sound chart, and the login "demo"/"demo".
    void demoData()
    {
        TestDatabase db;
        db.execFile(databaseFile("demo.sql"));

        // Every entry has two or more non-zero lines, numbered 1.. without gaps, that balance.
        const auto entries = db.rows(
            "SELECT t.id, COUNT(d.id), COALESCE(SUM(d.amount), 0), MIN(d.`line nr`), MAX(d.`line nr`), "
            "SUM(d.amount = 0) FROM transactions t LEFT JOIN `transaction details` d ON d.`transaction id` = t.id "
            "GROUP BY t.id");
        QVERIFY(entries.size() >= 5);
        for (const auto& e : entries) {
            QVERIFY2(e[1].toInt() >= 2, qPrintable(QString("entry %1 has too few lines").arg(e[0].toInt())));
            QCOMPARE(Money::parseDb(e[2].toString()), std::optional<Money>(Money()));
            QCOMPARE(e[3].toInt(), 1);
            QCOMPARE(e[4].toInt(), e[1].toInt());
            QCOMPARE(e[5].toInt(), 0);
        }
        QCOMPARE(
            db.scalar(
                  "SELECT COUNT(DISTINCT `transaction number`) = COUNT(*) AND MIN(`transaction number`) = 1 "
                  "AND MAX(`transaction number`) = COUNT(*) FROM transactions")
                .toInt(),
            1);

        // One open period contains today; its year has twelve monthly periods end to end.
        const auto today
            = db.rows("SELECT `financial year id` FROM `financial periods` WHERE "
                      "CURDATE() BETWEEN `start date` AND `end date` AND `period deleted` = 'No' "
                      "AND `period open` = 'Yes'");
        QCOMPARE(today.size(), 1);
        const QString year = today[0][0].toString();
        const auto periods
            = db.rows("SELECT `period number`, `start date`, `end date` FROM `financial periods` "
                      "WHERE `financial year id` = "
                + year + " ORDER BY `period number`");
        QCOMPARE(periods.size(), 12);
        for (int i = 0; i < periods.size(); ++i) {
            QCOMPARE(periods[i][0].toInt(), i + 1);
            QCOMPARE(periods[i][1].toDate().day(), 1);
            QCOMPARE(periods[i][2].toDate(), periods[i][1].toDate().addMonths(1).addDays(-1));
            if (i > 0)
                QCOMPARE(periods[i][1].toDate(), periods[i - 1][2].toDate().addDays(1));
        }
        QCOMPARE(db.scalar("SELECT `last day of financial year` FROM `financial years` WHERE id = " + year)
                     .toDate(),
            periods.last()[2].toDate());

        // Every entry lies in a period of its company; some in today's period, some before
        // the year (they give the opening balances and the result brought forward).
        QCOMPARE(
            db.scalar("SELECT COUNT(*) FROM transactions t WHERE NOT EXISTS (SELECT 1 FROM "
                      "`financial periods` p JOIN `financial years` y ON y.id = p.`financial year id` "
                      "WHERE y.`company id` = t.`company id` AND t.`transaction date` BETWEEN p.`start date` "
                      "AND p.`end date`)")
                .toInt(),
            0);
        QVERIFY(
            db.scalar("SELECT COUNT(*) FROM transactions t JOIN `financial periods` p ON "
                      "t.`transaction date` BETWEEN p.`start date` AND p.`end date` WHERE CURDATE() BETWEEN "
                      "p.`start date` AND p.`end date`")
                .toInt()
            > 0);
        QVERIFY(db.scalar("SELECT COUNT(*) FROM transactions WHERE `transaction date` < '"
                      + periods[0][1].toDate().toString(Qt::ISODate) + "'")
                    .toInt()
            > 0);

        // The chart: five levels, five-digit numbers, each object after its parent, the
        // postable leaves (and only they) open for accounts, and 38000 in the balance sheet.
        const auto chart = db.rows("SELECT `object number`, level, `posting type`, `use for account`, "
                                   "classification FROM objects ORDER BY `object number`");
        QList<int> levels;
        for (const auto& o : chart)
            levels << o[1].toInt();
        QCOMPARE(*std::max_element(levels.begin(), levels.end()), 5);
        for (int i = 0; i < chart.size(); ++i) {
            const QString number = chart[i][0].toString();
            QCOMPARE(number.size(), 5);
            QVERIFY(chart[i][2] == "Balance Sheet" || chart[i][2] == "Income Statement");
            QVERIFY(!chart[i][4].toString().isEmpty());
            const int level = levels[i];
            QVERIFY2(
                level == 1 || (i > 0 && levels[i - 1] >= level - 1), qPrintable(number + " has no parent"));
            const bool leaf = i + 1 == chart.size() || levels[i + 1] <= level;
            QVERIFY2(leaf == (chart[i][3] == "Yes"), qPrintable(number + ": use for account"));
        }
        QCOMPARE(db.scalar("SELECT `posting type` FROM objects WHERE `object number` = 38000").toString(),
            QStringLiteral("Balance Sheet"));
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM accounts a JOIN objects o ON o.id = a.`object id` "
                           "WHERE o.`use for account` <> 'Yes'")
                     .toInt(),
            0);
        QVERIFY(db.scalar("SELECT COUNT(*) FROM `cost centres`").toInt() >= 2);

        // Login: the statement the login dialog sends, and the program's own hash.
        Connection c;
        c.open();
        Query users;
        users.setSql({"SELECT ID, user_pass FROM wp_users WHERE", "(user_login = :username)",
            "or (user_email = :username)"});
        users.bind("username", "demo");
        users.open();
        QCOMPARE(users.recordCount(), 1);
        QCOMPARE(users.asString("user_pass"), wp_hash_password("demo"));
        const auto access
            = db.rows("SELECT `access company`, administrator, `trial balance`, `journal entries` "
                      "FROM access WHERE `wp_user id` = "
                + users.asString("ID"));
        QCOMPARE(access.size(), 1);
        QCOMPARE(access[0], (QVariantList{"Yes", "Yes", "Post", "Post"}));
    }

    // A newcomer who logs in with the demo login lands in the demo company, in the year
    // and the open period of today.
    void demoLoginLandsInTodaysPeriod()
    {
        TestDatabase db;
        db.execFile(databaseFile("demo.sql"));
        TfrmMain w;
        MessageLog log;
        w.Login(db.scalar("SELECT ID FROM wp_users WHERE user_login = 'demo'").toInt());
        QCOMPARE(w.windowTitle(), QStringLiteral("Veldra - [User: demo]"));
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("Demo Trading Ltd"));
        const auto today
            = db.rows("SELECT y.`financial year description`, p.`period description` FROM "
                      "`financial periods` p JOIN `financial years` y ON y.id = p.`financial year id` "
                      "WHERE CURDATE() BETWEEN p.`start date` AND p.`end date`");
        QCOMPARE(today.size(), 1);
        QVERIFY2(w.cbFinancialYear->currentText().endsWith(today[0][0].toString()),
            qPrintable(w.cbFinancialYear->currentText()));
        QCOMPARE(w.cbFinancialPeriod->currentText(), today[0][1].toString());
        QCOMPARE(w.lblPeriodOpen->text(), QStringLiteral("Period Open: Yes"));
        QCOMPARE(log.errors, QStringList());
    }
};

QTEST_MAIN(TestSchema)
#include "tst_schema.moc"
