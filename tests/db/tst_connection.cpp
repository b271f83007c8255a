#include "TestSupport.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Query.h"

#include <QTest>

// The program's connection is killed from the test's own connection, as a server does
// with an idle or stuck client.
class TestConnection : public QObject {
    Q_OBJECT

    int connectionId()
    {
        Query q;
        q.open({"SELECT CONNECTION_ID() AS id"});
        return q.asInteger("id");
    }

    void killProgramConnection(const TestDatabase& db)
    {
        const int id = connectionId();
        db.exec(QStringLiteral("KILL %1").arg(id));
        // The server has let go of it before the test goes on.
        for (int i = 0; i < 100; ++i) {
            if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %1")
                              .arg(id))
                    .toInt()
                == 0)
                return;
            QTest::qWait(20);
        }
        QFAIL("the killed connection did not go away");
    }

    int companies(const TestDatabase& db) { return db.scalar("SELECT COUNT(*) FROM companies").toInt(); }

private slots:
    void initTestCase() { initTestApplication(); }

    void outsideTransactionTheNextStatementReconnects_data()
    {
        QTest::addColumn<bool>("write");
        QTest::newRow("read") << false;
        QTest::newRow("write") << true;
    }
    void outsideTransactionTheNextStatementReconnects()
    {
        QFETCH(bool, write);
        TestDatabase db;
        Connection c;
        c.open();
        const int before = connectionId();
        killProgramConnection(db);
        if (write) {
            const int id = RowWriter("companies").set("company name", "Acme").insert();
            QVERIFY(id > 0);
            QCOMPARE(companies(db), 1); // sent once, not twice
        } else {
            Query q;
            q.open({"SELECT COUNT(*) AS n FROM companies"});
            QCOMPARE(q.asInteger("n"), 0);
        }
        QVERIFY(connectionId() != before);
    }

    // Each reconnection sets up the session again: a double-quoted text is a literal.
    void reconnectionRestoresTheSession()
    {
        TestDatabase db;
        Connection c;
        c.open();
        Query::execute("SET SESSION sql_mode = 'ANSI_QUOTES,ONLY_FULL_GROUP_BY'");
        killProgramConnection(db);
        Query q;
        q.open({"SELECT \"Yes\" AS flag, @@SESSION.character_set_connection AS charset"});
        QCOMPARE(q.asString("flag"), QStringLiteral("Yes"));
        QCOMPARE(q.asString("charset"), QStringLiteral("utf8mb4"));
        db.addCompany("Acme");
        db.addCompany("Beta");
        q.open({"SELECT id, `company name`, COUNT(*) AS n FROM companies GROUP BY `company name` = 'x'"});
        QCOMPARE(q.recordCount(), 1);
    }

    // Inside a transaction a lost connection fails the statement; nothing is retried and
    // the rollback leaves nothing written. The next statement after it reconnects.
    void insideTransactionNothingIsWritten_data()
    {
        QTest::addColumn<QString>("after");
        QTest::newRow("write") << "write";
        QTest::newRow("read") << "read";
        QTest::newRow("commit") << "commit";
    }
    void insideTransactionNothingIsWritten()
    {
        QFETCH(QString, after);
        TestDatabase db;
        Connection c;
        c.open();
        c.startTransaction();
        RowWriter("companies").set("company name", "Acme").insert();
        killProgramConnection(db);
        bool failed = false;
        try {
            if (after == "write")
                RowWriter("companies").set("company name", "Beta").insert();
            else if (after == "read")
                Query().open({"SELECT COUNT(*) AS n FROM companies"});
            c.commit();
        } catch (const DbError&) {
            failed = true;
            c.rollback();
        }
        QVERIFY(failed);
        QVERIFY(!c.inTransaction());
        QCOMPARE(companies(db), 0);

        RowWriter("companies").set("company name", "Gamma").insert();
        QCOMPARE(db.scalar("SELECT `company name` FROM companies").toString(), QStringLiteral("Gamma"));
    }

    // A statement the server refuses inside a transaction: the owner rolls back and the
    // connection stays usable.
    void refusedStatementRollsBack()
    {
        TestDatabase db;
        Connection c;
        c.open();
        c.startTransaction();
        RowWriter("companies").set("company name", "Acme").insert();
        QVERIFY_THROWS_EXCEPTION(DbError, RowWriter("companies").set("company name", "Acme").insert());
        c.rollback();
        QCOMPARE(companies(db), 0);
        c.startTransaction();
        RowWriter("companies").set("company name", "Acme").insert();
        c.commit();
        QCOMPARE(companies(db), 1);
    }

    // The host setting names one server or the nodes of a cluster in the order to try them.
    void hostList_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QStringList>("servers");
        QTest::newRow("one host") << "db.example.lan" << QStringList{"db.example.lan:3306"};
        QTest::newRow("one host with port") << "db.example.lan:3307" << QStringList{"db.example.lan:3307"};
        QTest::newRow("nodes") << "n1:4001, n2 ,n3:4003" << QStringList{"n1:4001", "n2:3306", "n3:4003"};
        QTest::newRow("IPv6 without port") << "::1" << QStringList{"::1:3306"};
        QTest::newRow("empty entries skipped") << "n1:4001,,n2:4002," << QStringList{"n1:4001", "n2:4002"};
    }
    void hostList()
    {
        QFETCH(QString, host);
        QFETCH(QStringList, servers);
        ConnectionSettings s;
        s.host = host;
        s.port = 3306;
        QStringList got;
        for (const DatabaseHost& h : databaseHosts(s))
            got << h.host + ":" + QString::number(h.port);
        QCOMPARE(got, servers);
    }

    // A list whose first host does not answer connects to the next one.
    void firstHostDownUsesTheNext()
    {
        TestDatabase db;
        ConnectionSettings s = db.settings();
        // A port on loopback where nothing listens: the connection is refused at once.
        s.host = QStringLiteral("127.0.0.1:1,%1:%2").arg(s.host).arg(s.port);
        SetConnectionSettings(s);
        Connection c;
        c.open();
        QSqlQuery q = c.execute(QStringLiteral("SELECT @@port"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), db.settings().port);
    }
};

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
