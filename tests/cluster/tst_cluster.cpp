#include "../journal/JournalTesting.h"
#include "TestSupport.h"
#include "TrialBalanceTesting.h"

#include "app/Main.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "journal/JournalVerification.h"
#include "setup/FinancialYear.h"
#include "setup/FinancialYears.h"
#include "standard/DatePicker.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "users/CreateUser.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <csignal>

// What a cluster of database servers must give the program: these run only against the
// three-node cluster of `scripts/test --cluster` (VELDRA_TEST_CLUSTER_PORTS and _PIDS).
namespace {
QList<int> clusterValues(const char* name)
{
    QList<int> values;
    for (const QString& v : qEnvironmentVariable(name).split(QLatin1Char(','), Qt::SkipEmptyParts))
        values << v.toInt();
    return values;
}

// Saves `count` balanced entries one after the other as a user at the desk would: OK, and
// OK again when a save is refused. Answers what each refusal said.
QStringList saveEntries(TfrmMain& w, MessageLog& log, int count)
{
    QStringList refusals;
    for (int i = 0; i < count; ++i) {
        TfrmJournalEntry f(w.books(), &w);
        f.show();
        typeBalancedEntry(f, QStringLiteral("Entry %1").arg(i));
        for (int attempt = 0; attempt < 10 && f.result() != QDialog::Accepted; ++attempt) {
            log.clear();
            f.btnOK->click();
            if (f.result() != QDialog::Accepted)
                refusals << (log.messages + log.errors).join(" / ");
        }
    }
    return refusals;
}

// Another workstation on node 2 runs `statements` in a transaction it leaves open; then
// `act` saves through the program on node 1, which commits first. Locks do not reach
// across nodes, so node 1 is not held up; the cluster must then refuse node 2's commit.
void refusedOnNode2(const World& x, const QStringList& statements, const std::function<void()>& act)
{
    ConnectionSettings node2 = x.db.settings();
    node2.host = QStringLiteral("127.0.0.1");
    node2.port = clusterValues("VELDRA_TEST_CLUSTER_PORTS")[1];
    {
        QSqlDatabase other = addTestConnection("node2", node2);
        QVERIFY2(other.open(), qPrintable(other.lastError().text()));
        QSqlQuery q(other);
        for (const QString& sql : QStringList{QStringLiteral("START TRANSACTION")} + statements)
            QVERIFY2(q.exec(sql), qPrintable(q.lastError().text() + " in " + sql));
        act();
        QVERIFY2(!q.exec("COMMIT"), "node 2's save must not commit after node 1's");
        QCOMPARE(q.lastError().nativeErrorCode(), QStringLiteral("1213"));
    }
    QSqlDatabase::removeDatabase("node2");
}

int serverPort()
{
    QSqlQuery q = Connection::program().execute(QStringLiteral("SELECT @@port"));
    q.next();
    return q.value(0).toInt();
}
}

class TestCluster : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initTestApplication();
        if (clusterValues("VELDRA_TEST_CLUSTER_PORTS").size() != 3
            && qEnvironmentVariableIsEmpty("VELDRA_CLUSTER_WORKER"))
            QSKIP("Needs the three-node cluster of scripts/test --cluster.");
    }

    // Eight workstations, four on each of two nodes, save entries of one company at the
    // same moment: the cluster refuses one of two colliding commits, the save runs again,
    // and in the end every entry is stored whole under a number of its own, nobody refused.
    void concurrentJournalSavesOnTwoNodes()
    {
        const QList<int> ports = clusterValues("VELDRA_TEST_CLUSTER_PORTS");
        constexpr int perDesk = 50, desks = 8;
        SetClockForTesting(QDateTime(JournalToday, QTime(9, 0)));
        JournalBooks d;
        // The other workstations: this program again, in the worker test below, alternately
        // on node 2 and node 1 (where this one is).
        std::vector<std::unique_ptr<QProcess>> others;
        for (int desk = 1; desk < desks; ++desk) {
            auto& other = others.emplace_back(std::make_unique<QProcess>());
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("VELDRA_CLUSTER_WORKER",
                QStringLiteral("%1,%2,%3,%4").arg(ports[desk % 2]).arg(d.db.name()).arg(d.user).arg(perDesk));
            other->setProcessEnvironment(env);
            other->start(QCoreApplication::applicationFilePath(), {"workerSaves"});
            QVERIFY(other->waitForStarted());
        }
        const int retriesBefore = Transaction::retries();
        const QStringList refusals = saveEntries(d.w, d.log, perDesk);
        QStringList reports;
        for (const auto& other : others) {
            QVERIFY(other->waitForFinished(600000));
            const QString report = QString::fromUtf8(other->readAllStandardOutput());
            QVERIFY2(other->exitCode() == 0, qPrintable(report + other->readAllStandardError()));
            reports << report.section("WORKER:", 1).section('\n', 0, 0).trimmed();
        }
        constexpr int perNode = desks * perDesk / 2;
        // Node 2's last commits may still be being applied here (each carries its lines' monthly
        // totals too): the test's reads wait for them.
        d.db.exec("SET SESSION wsrep_sync_wait = 1");
        const auto counts = d.db.rows("SELECT COUNT(*), COUNT(DISTINCT `transaction number`), "
                                      "(SELECT COUNT(*) FROM `transaction details`) FROM transactions");
        QCOMPARE(counts[0][0].toInt(), 2 * perNode);
        QCOMPARE(counts[0][1].toInt(), 2 * perNode);
        QCOMPARE(counts[0][2].toInt(), 4 * perNode);
        // Collisions are run again until they go through: nobody is told "could not be saved".
        QVERIFY2(refusals.isEmpty(), qPrintable(refusals.join('\n')));
        // Every save added to the same accounts' monthly totals on its own node; the totals
        // hold every line, here and on a node that only received them.
        QVERIFY2(monthTotalsDifference(d.db).isEmpty(), qPrintable(monthTotalsDifference(d.db)));
        {
            ConnectionSettings node3 = d.db.adminSettings();
            node3.port = ports[2];
            QSqlDatabase third = addTestConnection("node3", node3);
            QVERIFY2(third.open(), qPrintable(third.lastError().text()));
            const QString kept
                = "SELECT `account id`, month, CAST(amount AS CHAR), `line count` FROM `account month totals` "
                  "ORDER BY 1, 2";
            QSqlQuery q(third);
            // Reads on node 3 wait until it has applied what the cluster committed.
            QVERIFY(q.exec("SET SESSION wsrep_sync_wait = 1"));
            QVERIFY(q.exec(kept));
            QStringList onNode3;
            while (q.next())
                onNode3 << QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                    q.value(3).toString()}
                               .join(' ');
            QCOMPARE(onNode3, d.db.texts(kept));
            QCOMPARE(
                d.db.scalar("SELECT SUM(`line count`) FROM `account month totals`").toInt(), 4 * perNode);
        }
        QSqlDatabase::removeDatabase("node3");
        // The saves of both nodes form one unbroken chain, each entry one record of the
        // change history with its two lines.
        const JournalVerification chain
            = JournalVerificationStore::verify(d.company, [](qint64, qint64) { return true; });
        QVERIFY(!chain.firstAltered);
        QCOMPARE(chain.checked, qint64(2 * perNode));
        QCOMPARE(d.db.scalar("SELECT COUNT(*) FROM `change history` WHERE `table name` = 'transactions' "
                             "AND JSON_VALUE(`values after`, '$.\"line count\"') = 2")
                     .toInt(),
            2 * perNode);
        for (const QString& report : reports)
            QVERIFY2(report.section(',', 1).trimmed().section(' ', 0, 0) == "0", qPrintable(report));
        qInfo("%d saves by %d workstations on two nodes: numbers unique, none lost; here %d attempts run "
              "again, %d saves refused and saved on pressing OK again; the others: %s",
            2 * perNode, desks, Transaction::retries() - retriesBefore, int(refusals.size()),
            qPrintable(reports.join("; ")));
        SetClockForTesting({});
    }

    // The same name registered on two nodes at once: node 2's registration has written its
    // claims and its user row, uncommitted, when node 1's registers and commits. Locks do
    // not reach across nodes, so node 1 is not held up; the cluster then refuses node 2's
    // commit, because both wrote the same claim, and one user of that name exists.
    void concurrentRegistrationOnTwoNodes()
    {
        World x;
        refusedOnNode2(x,
            {QStringLiteral(
                 "INSERT INTO `registration claims` (claim, `claimed at`) VALUES ('login:zed', NOW())"),
                QStringLiteral("INSERT INTO `registration claims` (claim, `claimed at`) "
                               "VALUES ('email:zed@example.com', NOW())"),
                QStringLiteral("SELECT ID FROM wp_users WHERE user_login = 'zed' FOR UPDATE"),
                QStringLiteral("INSERT INTO wp_users (user_login, user_email, user_registered) "
                               "VALUES ('zed', 'zed@example.com', NOW())")},
            [&] {
                TfrmCreateUser dialog(&x.w);
                dialog.show();
                dialog.edtUsername->setText("zed");
                dialog.edtEmail->setText("zed@example.com");
                dialog.edtPassword->setText("secret");
                dialog.btnOk->click();
                QCOMPARE(x.log.messages, QStringList{});
                QCOMPARE(dialog.result(), int(QDialog::Accepted));
            });
        QCOMPARE(x.db.scalar("SELECT COUNT(*) FROM wp_users WHERE user_login = 'zed'").toInt(), 1);
    }

    // A node that stops serving while the program is on it answers every statement with
    // "not ready" (1047): it is left like a lost one, for reads and for a save, and the
    // program goes on through the next node without a word to the user.
    void notReadyNodeIsLeft()
    {
        const QList<int> ports = clusterValues("VELDRA_TEST_CLUSTER_PORTS");
        World x;
        const int alpha = x.company("Alpha Farms");
        ConnectionSettings settings = x.db.settings();
        settings.host = QStringLiteral("127.0.0.1:%1,127.0.0.1:%2").arg(ports[1]).arg(ports[0]);
        SetConnectionSettings(settings);
        ConnectionSettings node2 = x.db.adminSettings();
        node2.port = ports[1];
        QSqlDatabase admin = addTestConnection("node2admin", node2);
        // Whatever happens, node 2 serves again for the tests after this one.
        const auto closeAdmin = qScopeGuard([&] {
            QSqlQuery(admin).exec(QStringLiteral("SET GLOBAL wsrep_reject_queries = NONE"));
            admin.close();
            admin = QSqlDatabase();
            QSqlDatabase::removeDatabase("node2admin");
        });
        QVERIFY2(admin.open(), qPrintable(admin.lastError().text()));
        const auto rejecting = [&](bool on) {
            QSqlQuery q(admin);
            QVERIFY2(q.exec(QStringLiteral("SET GLOBAL wsrep_reject_queries = %1").arg(on ? "ALL" : "NONE")),
                qPrintable(q.lastError().text()));
        };
        for (const bool save : {false, true}) {
            Connection::program().open(); // on node 2, the first host
            QCOMPARE(serverPort(), ports[1]);
            x.w.Login(x.user);
            rejecting(true);
            if (save)
                Transaction::run(
                    [&](Transaction&) { RowWriter("companies").set("company name", "Beta").insert(); });
            else
                x.w.RefreshFilters();
            rejecting(false);
            QVERIFY2(x.log.errors.isEmpty(), qPrintable(x.log.errors.join('\n')));
            QCOMPARE(serverPort(), ports[0]);
            QCOMPARE(x.w.cbCompany->findData(alpha) >= 0, true);
        }
        QCOMPARE(x.db.texts("SELECT `company name` FROM companies ORDER BY id"),
            (QStringList{"Alpha Farms", "Beta"}));
    }

    // The next year of one company opened on two nodes at once: node 2's save (the
    // program's statements: the company's row, then the year) has written, uncommitted,
    // when node 1's save runs and commits. Both wrote the company's row, so the cluster
    // refuses node 2's commit, and the company has one next year, not two that cover the
    // same dates.
    void sameNextYearOnTwoNodes()
    {
        World x;
        const int alpha = x.company("Alpha Farms");
        x.db.addYear(alpha, "FY2017", QDate(2017, 3, 1));
        x.w.Login(x.user);
        refusedOnNode2(x,
            {QStringLiteral("UPDATE companies SET `years saved` = `years saved` + 1 WHERE id = %1")
                    .arg(alpha),
                QStringLiteral("INSERT INTO `financial years` (`company id`, `financial year description`, "
                               "`last day of financial year`) VALUES (%1, 'Next', '2019-02-28')")
                    .arg(alpha),
                QStringLiteral("INSERT INTO `financial periods` (`financial year id`, `period number`, "
                               "`start date`, `end date`, `period description`, `period open`, "
                               "`period deleted`) VALUES (LAST_INSERT_ID(), 1, '2018-03-01', '2019-02-28', "
                               "'Year', 'Yes', 'No')")},
            [&] {
                TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
                TfrmFinancialYear dialog(&list, &list);
                dialog.CompanyID = alpha;
                dialog.edtFinancialYearDescription->setText("FY2018");
                dialog.dtpStartDate->setDate(QDate(2018, 3, 1));
                dialog.btnCalculateClick();
                dialog.btnOkClick();
                QCOMPARE(dialog.result(), int(QDialog::Accepted));
            });
        QCOMPARE(x.db.texts(QStringLiteral("SELECT `financial year description` FROM `financial years` WHERE "
                                           "`company id` = %1 ORDER BY id")
                                .arg(alpha)),
            (QStringList{"FY2017", "FY2018"}));
    }

    // A period closed on node 2 (the year window's statements: the company's row, then the
    // period) while an entry into it is saved on node 1. Both wrote the company's row, so
    // the cluster refuses the close's commit: the entry is not in a period closed before it.
    void periodClosedOnOtherNodeCollidesWithEntry()
    {
        SetClockForTesting(QDateTime(JournalToday, QTime(9, 0)));
        const auto clock = qScopeGuard([] { SetClockForTesting({}); });
        JournalBooks d;
        refusedOnNode2(d,
            {QStringLiteral("UPDATE companies SET `years saved` = `years saved` + 1 WHERE id = %1")
                    .arg(d.company),
                QStringLiteral(
                    "UPDATE `financial periods` SET `period open` = 'No' WHERE `financial year id` = %1")
                    .arg(d.year)},
            [&] {
                TfrmJournalEntry f(d.w.books(), &d.w);
                f.show();
                typeBalancedEntry(f);
                f.btnOK->click();
                QCOMPARE(d.log.messages, QStringList{});
                QCOMPARE(f.result(), int(QDialog::Accepted));
            });
        QCOMPARE(
            d.db.scalar("SELECT COUNT(*) FROM `financial periods` WHERE `period open` = 'No'").toInt(), 0);
        QCOMPARE(d.db.scalar("SELECT COUNT(*) FROM transactions").toInt(), 1);
    }

    // The other workstation of concurrentJournalSavesOnTwoNodes; runs only when that test starts it.
    void workerSaves()
    {
        const QStringList args = qEnvironmentVariable("VELDRA_CLUSTER_WORKER").split(',');
        if (args.size() != 4)
            QSKIP("Started by concurrentJournalSavesOnTwoNodes only.");
        SetClockForTesting(QDateTime(JournalToday, QTime(9, 0)));
        ConnectionSettings s = programSettings(args[1]);
        s.port = args[0].toInt();
        SetConnectionSettings(s);
        MessageLog log;
        TfrmMain w;
        w.Login(args[2].toInt());
        const QStringList refusals = saveEntries(w, log, args[3].toInt());
        printf("WORKER: %d attempts run again, %d saves refused and saved on pressing OK again %s\n",
            Transaction::retries(), int(refusals.size()), qPrintable(refusals.join(" | ")));
        fflush(stdout);
    }

    // A node that dies under the program: the next refresh goes on through another node
    // and shows everything committed before.
    void failoverToTheNextNode()
    {
        const QList<int> ports = clusterValues("VELDRA_TEST_CLUSTER_PORTS");
        const QList<int> pids = clusterValues("VELDRA_TEST_CLUSTER_PIDS");
        QCOMPARE(pids.size(), 3);
        World x;
        ConnectionSettings settings = x.db.settings();
        // The third node first: it is the one this test takes down.
        settings.host = QStringLiteral("127.0.0.1:%1,127.0.0.1:%2").arg(ports[2]).arg(ports[1]);
        SetConnectionSettings(settings);
        x.w.FormCreate();
        QCOMPARE(serverPort(), ports[2]);

        const int company = x.company("Alpha Farms");
        const int centre = x.db.addCostCentre(company, 1, "Head Office");
        const int object = x.db.addObject(1000, "Sales", "Income", 5);
        const int account = x.db.addAccount(centre, object, "Sales");
        x.db.addYear(company, "FY", QDate(Today().year(), 1, 1));
        x.db.addEntry(company, 1, Today(), {{account, "-125.50"}});
        x.w.Login(x.user);

        QVERIFY(::kill(pids[2], SIGKILL) == 0);
        QElapsedTimer clock;
        clock.start();
        x.w.RefreshFilters();
        const qint64 failover = clock.elapsed();
        QVERIFY2(x.log.errors.isEmpty(), qPrintable(x.log.errors.join('\n')));
        QCOMPARE(serverPort(), ports[1]);
        QCOMPARE(x.w.cbCompany->currentText(), QStringLiteral("Alpha Farms"));
        QSqlQuery q
            = Connection::program().execute(QStringLiteral("SELECT SUM(amount) FROM `transaction details`"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("-125.5000"));
        qInfo("Failover from the killed node to the next refresh: %lld ms", failover);
    }
};

QTEST_MAIN(TestCluster)
#include "tst_cluster.moc"
