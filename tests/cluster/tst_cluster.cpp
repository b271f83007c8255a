#include "TestSupport.h"

#include "app/Main.h"
#include "db/Connection.h"
#include "standard/Standard.h"

#include <QComboBox>
#include <QElapsedTimer>
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
        InitTestApplication();
        if (clusterValues("VELDRA_TEST_CLUSTER_PORTS").size() != 3)
            QSKIP("Needs the three-node cluster of scripts/test --cluster.");
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
        QSqlQuery q = Connection::program().execute(QStringLiteral("SELECT SUM(amount) FROM `transaction details`"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("-125.5000"));
        qInfo("Failover from the killed node to the next refresh: %lld ms", failover);
    }
};

QTEST_MAIN(TestCluster)
#include "tst_cluster.moc"
