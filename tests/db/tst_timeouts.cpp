#include "TestSupport.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QElapsedTimer>
#include <QTest>

// No statement waits without limit: a stalled server and a row another user keeps locked
// both end in an error within the connection's timeouts (the short ones of the tests:
// lock wait 1 s, read/write 2 s, connect 2 s).
class TestTimeouts : public QObject {
    Q_OBJECT

    static int companies(const TestDatabase& db)
    {
        return db.scalar("SELECT COUNT(*) FROM companies").toInt();
    }

private slots:
    void initTestCase() { initTestApplication(); }

    // Every connect sets the session's lock wait; reconnecting sets it again.
    void everyConnectSetsTheLockWait()
    {
        TestDatabase db;
        Connection c;
        c.open();
        Query q;
        q.open({"SELECT @@SESSION.innodb_lock_wait_timeout AS w"});
        QCOMPARE(q.asInteger("w"), 10);
        QVERIFY(currentConnectionSettings().readWriteTimeout > currentConnectionSettings().lockWaitTimeout);
        useShortTimeouts(db);
        c.open();
        q.open({"SELECT @@SESSION.innodb_lock_wait_timeout AS w"});
        QCOMPARE(q.asInteger("w"), 1);
    }

    // A stalled server: a read outside a transaction fails after the read timeout and one
    // reconnect; a save fails after the read timeout and writes nothing. Once the server
    // answers again, the next statement reconnects and works.
    void frozenServerEndsInAnError()
    {
        TestDatabase db;
        if (testServerPid(db) == 0)
            QSKIP("the test server does not run on this machine");
        useShortTimeouts(db);
        Connection c;
        c.open();
        qint64 readWait = 0, saveWait = 0;
        bool readFailed = false, saveFailed = false;
        {
            FrozenServer frozen(db);
            QElapsedTimer clock;
            clock.start();
            try {
                Query().open({"SELECT COUNT(*) FROM companies"});
            } catch (const DbError& e) {
                readFailed = e.isConnectionLost() || e.code().startsWith("200");
            }
            readWait = clock.restart();
            try {
                Transaction::run(
                    [](Transaction&) { RowWriter("companies").set("company name", "Acme").insert(); });
            } catch (const DbError&) {
                saveFailed = true;
            }
            saveWait = clock.elapsed();
        }
        qInfo("frozen server: the read failed after %lld ms, the save after %lld ms", readWait, saveWait);
        QVERIFY(readFailed);
        QVERIFY(saveFailed);
        // read timeout + connect timeout, and the read timeout (or the connect timeout of
        // the reconnect a save starts with), each with a second to spare.
        QVERIFY2(readWait < 5000, qPrintable(QString::number(readWait)));
        QVERIFY2(saveWait < 3500, qPrintable(QString::number(saveWait)));
        QCOMPARE(companies(db), 0);
        Query q;
        q.open({"SELECT COUNT(*) AS n FROM companies"});
        QCOMPARE(q.asInteger("n"), 0);
    }

    // Another connection holds a lock the save needs: the save fails after the lock wait,
    // nothing of it is written, and the connection goes on.
    void heldLockEndsInAnError()
    {
        TestDatabase db;
        useShortTimeouts(db);
        const int acme = db.addCompany("Acme");
        Connection c;
        c.open();
        db.exec("START TRANSACTION");
        db.exec(QStringLiteral("SELECT * FROM companies WHERE id = %1 FOR UPDATE").arg(acme));
        QElapsedTimer clock;
        clock.start();
        QString code;
        try {
            Transaction::run([&](Transaction&) {
                RowWriter("companies").set("company name", "Beta").insert();
                RowWriter("companies").set("company name", "Acme Ltd").update(acme);
            });
        } catch (const DbError& e) {
            code = e.code();
        }
        const qint64 waited = clock.elapsed();
        db.exec("ROLLBACK");
        qInfo("held lock: the save failed after %lld ms", waited);
        QCOMPARE(code, QStringLiteral("1205"));
        QVERIFY2(waited < 2500, qPrintable(QString::number(waited)));
        QCOMPARE(db.scalar("SELECT GROUP_CONCAT(`company name`) FROM companies").toString(),
            QStringLiteral("Acme"));
        RowWriter("companies").set("company name", "Gamma").insert();
        QCOMPARE(companies(db), 2);
    }
};

QTEST_MAIN(TestTimeouts)
#include "tst_timeouts.moc"
