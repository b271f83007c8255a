// The monthly totals of the lines per account: kept exact by the database whoever writes,
// worked out for books made before them, kept apart when two workstations save at once,
// and what the trial balance reads for whole months.
#include "../journal/JournalTesting.h"
#include "TestSupport.h"
#include "TrialBalanceTesting.h"

#include "trialbalance/TrialBalanceReader.h"

#include <QPushButton>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace {

// Statements on one connection of its own, so that a session setting (foreign key checks
// off, as a bulk load has them) holds for the statements after it.
class BulkLoad {
public:
    explicit BulkLoad(const TestDatabase& db)
        : m_db(addTestConnection("session_" + db.name(), db.adminSettings()))
    {
        if (!m_db.open())
            qFatal("%s", qPrintable(m_db.lastError().text()));
    }
    ~BulkLoad()
    {
        const QString name = m_db.connectionName();
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    void exec(const QString& sql)
    {
        QSqlQuery q(m_db);
        if (!q.exec(sql))
            qFatal("%s\n%s", qPrintable(q.lastError().text()), qPrintable(sql));
    }

private:
    QSqlDatabase m_db;
};

// One company with two accounts and a year of monthly periods from January 2024.
struct TwoAccounts {
    TestDatabase db;
    int company = 0, bank = 0, sales = 0, year = 0;
    TwoAccounts()
    {
        company = db.addCompany("Acme");
        const int centre = db.addCostCentre(company, 10, "Head office");
        bank = db.addAccount(centre, db.addObject(11000, "Bank", "Balance Sheet", 1), "Bank");
        sales = db.addAccount(centre, db.addObject(41000, "Sales", "Income Statement", 1), "Sales");
        year = db.addYear(company, "2024", QDate(2024, 1, 1));
    }
    QString line(int entry, int number, int account, const QString& amount) const
    {
        return QString("INSERT INTO `transaction details` (`transaction id`, `line nr`, `account id`, "
                       "`line description`, amount) VALUES (%1, %2, %3, 'Line', %4)")
            .arg(entry)
            .arg(number)
            .arg(account)
            .arg(amount);
    }
    // The kept rows with anything in them, as "account month amount count".
    QStringList totals() const
    {
        return db.texts("SELECT `account id`, month, amount, `line count` FROM `account month totals` "
                        "WHERE amount <> 0 OR `line count` <> 0 ORDER BY 1, 2");
    }
    QString row(int account, const char* month, const char* amount, int count) const
    {
        return QString("%1 %2 %3 %4").arg(account).arg(month, amount).arg(count);
    }
};
}

class TestMonthTotals : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }
    void cleanup() { SetClockForTesting({}); }

    // Every way a statement can change which line counts where, one after the other; after
    // each the kept totals equal those worked out from the lines.
    void totalsFollowEveryWrite()
    {
        TwoAccounts b;
        TestDatabase& db = b.db;
        const int march
            = db.addEntry(b.company, 1, QDate(2024, 3, 31), {{b.bank, "100.5"}, {b.sales, "-100.5"}});
        const int april = db.addEntry(b.company, 2, QDate(2024, 4, 1), {{b.bank, "-20"}, {b.sales, "20"}});
        QCOMPARE(b.totals(),
            (QStringList{b.row(b.bank, "2024-03-01", "100.5000", 1),
                b.row(b.bank, "2024-04-01", "-20.0000", 1), b.row(b.sales, "2024-03-01", "-100.5000", 1),
                b.row(b.sales, "2024-04-01", "20.0000", 1)}));

        struct Step {
            const char* what;
            QStringList sql;
        };
        const QList<Step> steps{
            {"amounts changed, several rows in one statement",
                {QString("UPDATE `transaction details` SET amount = amount * 3 WHERE `transaction id` = %1")
                        .arg(march)}},
            {"a line moved to the other account",
                {QString("UPDATE `transaction details` SET `account id` = %1 WHERE `transaction id` = %2 AND "
                         "`line nr` = 1")
                        .arg(b.sales)
                        .arg(april)}},
            {"a line moved to an entry of another month",
                {QString("UPDATE `transaction details` SET `transaction id` = %1, `line nr` = 9 WHERE "
                         "`transaction id` = %2 AND `line nr` = 2")
                        .arg(march)
                        .arg(april)}},
            {"a change that touches no amount",
                {"UPDATE `transaction details` SET `line description` = 'Seen'"}},
            {"an entry moved within its month",
                {QString("UPDATE transactions SET `transaction date` = '2024-03-02' WHERE id = %1")
                        .arg(march)}},
            {"an entry moved to another month",
                {QString("UPDATE transactions SET `transaction date` = '2023-12-31' WHERE id = %1")
                        .arg(march)}},
            {"a line added", {b.line(april, 3, b.bank, "0.0001")}},
            {"a line removed",
                {QString("DELETE FROM `transaction details` WHERE `transaction id` = %1 AND `line nr` = 9")
                        .arg(march)}},
            {"an entry removed with its lines",
                {QString("DELETE FROM `transaction details` WHERE `transaction id` = %1").arg(april),
                    QString("DELETE FROM transactions WHERE id = %1").arg(april)}},
        };
        for (const Step& step : steps) {
            for (const QString& sql : step.sql)
                db.exec(sql);
            const QString difference = monthTotalsDifference(db);
            QVERIFY2(difference.isEmpty(), qPrintable(QString(step.what) + "\n" + difference));
        }
        QCOMPARE(b.totals(),
            (QStringList{
                b.row(b.bank, "2023-12-01", "301.5000", 1), b.row(b.sales, "2023-12-01", "-301.5000", 1)}));

        // A bulk load without foreign key checks: lines before their entry count once the
        // entry arrives; an entry removed before its lines takes them out.
        BulkLoad load(db);
        load.exec("SET foreign_key_checks = 0");
        load.exec(b.line(900, 1, b.bank, "7"));
        load.exec(b.line(900, 2, b.sales, "-7"));
        QCOMPARE(b.totals().size(), 2);
        load.exec(
            QString("INSERT INTO transactions (id, `company id`, `transaction number`, `transaction date`, "
                    "`transaction description`) VALUES (900, %1, 900, '2024-06-15', 'Loaded')")
                .arg(b.company));
        QVERIFY2(monthTotalsDifference(db).isEmpty(), qPrintable(monthTotalsDifference(db)));
        QCOMPARE(b.totals().size(), 4);
        load.exec("DELETE FROM transactions WHERE id = 900");
        QCOMPARE(b.totals().size(), 2);
        load.exec("DELETE FROM `transaction details` WHERE `transaction id` = 900");
        QVERIFY2(monthTotalsDifference(db).isEmpty(), qPrintable(monthTotalsDifference(db)));
    }

    // Books written before the totals existed get them from upgrade.sql; loaded again it
    // leaves them as they are; totals that no longer match the lines are worked out afresh.
    void upgradeWorksThemOut()
    {
        TwoAccounts b;
        TestDatabase& db = b.db;
        // The database as an earlier version made it: no totals, no triggers keeping them.
        for (const char* trigger : {"line totals added", "line totals changed out", "line totals changed in",
                 "line totals removed", "entry totals added", "entry totals moved out",
                 "entry totals moved in", "entry totals removed"})
            db.exec(QString("DROP TRIGGER `%1`").arg(trigger));
        db.exec("DROP TABLE `account month totals`");
        QSet<int> months;
        for (int i = 1; i <= 30; ++i) {
            const QDate date = QDate(2023, 1, 1).addDays(i * 17);
            months.insert(date.year() * 12 + date.month());
            db.addEntry(
                b.company, i, date, {{b.bank, QString("%1.25").arg(i)}, {b.sales, QString("-%1.25").arg(i)}});
        }

        db.execFile(databaseFile("schema.sql"));
        db.execFile(databaseFile("upgrade.sql"));
        QVERIFY2(monthTotalsDifference(db).isEmpty(), qPrintable(monthTotalsDifference(db)));
        const QStringList built = b.totals();
        QCOMPARE(built.size(), 2 * months.size()); // two accounts in each month with entries
        // A row of nothing (as a removed month leaves) stays through a second load.
        db.exec(QString("INSERT INTO `account month totals` (`account id`, month) VALUES (%1, '2020-01-01')")
                    .arg(b.bank));
        db.execFile(databaseFile("schema.sql"));
        db.execFile(databaseFile("upgrade.sql"));
        QCOMPARE(b.totals(), built);
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM `account month totals`").toInt(), 2 * months.size() + 1);

        db.exec("UPDATE `account month totals` SET amount = amount + 1 WHERE month = '2023-05-01'");
        QVERIFY(!monthTotalsDifference(db).isEmpty());
        db.execFile(databaseFile("upgrade.sql"));
        QVERIFY2(monthTotalsDifference(db).isEmpty(), qPrintable(monthTotalsDifference(db)));
    }

    // Another workstation saves lines on the same account and month and has not committed
    // yet while the program saves its entry: the program's save waits for it, and both
    // saves count. Whether the month's row exists already or both would create it.
    void savesAtTheSameMomentBothCount_data()
    {
        QTest::addColumn<bool>("rowExists");
        QTest::newRow("month's row exists") << true;
        QTest::newRow("both create the month's row") << false;
    }
    void savesAtTheSameMomentBothCount()
    {
        QFETCH(bool, rowExists);
        SetClockForTesting(QDateTime(JournalToday, QTime(9, 0)));
        JournalBooks d;
        TestDatabase& db = d.db;
        // The other workstation's entry is stored; it adds its lines now.
        const int theirs = db.addEntry(d.company, 1, JournalToday.addDays(-1),
            rowExists ? QList<QPair<int, QString>>{{d.bank, "5"}, {d.sales, "-5"}}
                      : QList<QPair<int, QString>>{});
        const QString line = "INSERT INTO `transaction details` (`transaction id`, `line nr`, `account id`, "
                             "`line description`, amount) VALUES (%1, %2, %3, 'Theirs', %4)";
        TfrmJournalEntry f(d.w.books(), &d.w);
        f.show();
        typeBalancedEntry(f);
        {
            LockHolder other(db,
                {line.arg(theirs).arg(11).arg(d.bank).arg("1000"),
                    line.arg(theirs).arg(12).arg(d.sales).arg("-1000")});
            f.btnOK->click();
            other.join();
            QVERIFY(other.sawWaiter());
        }
        QVERIFY(d.log.messages.isEmpty() && d.log.errors.isEmpty());
        QVERIFY(!f.isVisible());
        QVERIFY2(monthTotalsDifference(db).isEmpty(), qPrintable(monthTotalsDifference(db)));
        const QString month = JournalToday.addDays(1 - JournalToday.day()).toString(Qt::ISODate);
        QCOMPARE(db.texts(QString(
                     "SELECT amount, `line count` FROM `account month totals` WHERE `account id` = %1 "
                     "AND month = '%2'")
                              .arg(d.bank)
                              .arg(month)),
            QStringList{rowExists ? "1155.2500 3" : "1150.2500 2"});
    }

    // Whole months come from the totals and the cut days from the lines: a total changed
    // behind the program's back shows in the months it reads whole and in the longest
    // segment of a cut month, and not in what it reads line by line, nor anywhere when
    // every line is read.
    void wholeMonthsAreReadFromTheTotals()
    {
        TwoAccounts b;
        TestDatabase& db = b.db;
        // A second year from 15 February 2025: periods from the 15th to the 14th.
        const int cutYear = db.addYear(b.company, "2025", QDate(2025, 2, 15), 3);
        db.addEntry(b.company, 1, QDate(2024, 3, 10), {{b.bank, "10"}, {b.sales, "-10"}});
        db.addEntry(b.company, 2, QDate(2025, 3, 3), {{b.bank, "4"}, {b.sales, "-4"}}); // 1st to 14th March
        db.addEntry(b.company, 3, QDate(2025, 3, 20), {{b.bank, "6"}, {b.sales, "-6"}}); // 15th to 31st March
        db.exec(QString("UPDATE `account month totals` SET amount = amount + 1000 WHERE `account id` = %1")
                    .arg(b.bank));

        const auto bankAmounts = [&](int year, TBSource source) {
            const TrialBalanceData data = readTrialBalance({{b.company}, year, true}, source);
            for (const TBAccount& a : data.accounts)
                if (a.objectNumber == "11000") {
                    QStringList out;
                    for (const Money& m : a.amounts)
                        out << m.toString();
                    return out;
                }
            return QStringList{};
        };
        Connection c;
        c.open();
        // January 2024 on: opening 0, March 10 + 1000, every other month just the change.
        const QStringList monthly = bankAmounts(b.year, TBSource::MonthTotals);
        QCOMPARE(monthly.mid(0, 4), (QStringList{"0", "0", "0", "1010"}));
        QCOMPARE(bankAmounts(b.year, TBSource::Lines).mid(0, 4), (QStringList{"0", "0", "0", "10"}));
        // 15 Feb to 14 Mar holds the days read line by line (1 to 14 March: 4); 15 Mar to
        // 14 Apr holds March's longest segment, its total less what was read (6 + 1000).
        QCOMPARE(bankAmounts(cutYear, TBSource::MonthTotals), (QStringList{"1010", "4", "1006", "0"}));
        QCOMPARE(bankAmounts(cutYear, TBSource::Lines), (QStringList{"10", "4", "6", "0"}));
    }
};

QTEST_MAIN(TestMonthTotals)
#include "tst_monthtotals.moc"
