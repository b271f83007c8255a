#include "TestSupport.h"

#include "db/Connection.h"
#include "db/DbError.h"

#include <QTest>

namespace {
struct Row {
    QList<QByteArray> fields; // a null QByteArray for NULL
};

QList<Row> streamAll(Connection& c, const QString& sql)
{
    QList<Row> rows;
    c.stream(sql, [&](const char* const* f, const unsigned long* n) {
        rows.append({{f[0] ? QByteArray(f[0], qsizetype(n[0])) : QByteArray(),
            f[1] ? QByteArray(f[1], qsizetype(n[1])) : QByteArray()}});
    });
    return rows;
}

int connectionId(Connection& c)
{
    QSqlQuery q = c.execute(QStringLiteral("SELECT CONNECTION_ID()"));
    q.next();
    return q.value(0).toInt();
}
}

// The streamed read the trial balance uses for its large results.
class TestStream : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }

    // Rows arrive in order with their raw texts, NULL as a null pointer.
    void deliversRawRows()
    {
        TestDatabase db;
        Connection c;
        c.open();
        const QList<Row> rows = streamAll(c, "SELECT 1, 'a' UNION ALL SELECT NULL, '12.5000'");
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].fields, (QList<QByteArray>{"1", "a"}));
        QVERIFY(rows[1].fields[0].isNull());
        QCOMPARE(rows[1].fields[1], QByteArray("12.5000"));
    }

    // A read sent over a connection the server dropped is sent again on a new one; a
    // refused statement and a reader that gives up both leave the connection usable.
    void survivesFailures()
    {
        TestDatabase db;
        db.exec("CREATE TABLE numbers (n int)");
        db.exec("INSERT INTO numbers VALUES (1), (2), (3)");
        // A table of the test's own, which the program's role does not reach.
        SetConnectionSettings(db.adminSettings());
        Connection c;
        c.open();
        const int before = connectionId(c);
        db.exec(QString("KILL %1").arg(before));
        QCOMPARE(streamAll(c, "SELECT n, n FROM numbers ORDER BY n").size(), 3);
        QVERIFY(connectionId(c) != before);

        try {
            streamAll(c, "SELECT n, n FROM no_such_table");
            QFAIL("a refused statement must throw");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains("no_such_table"), qPrintable(e.text()));
        }
        try {
            c.stream("SELECT n FROM numbers",
                [](const char* const*, const unsigned long*) { throw std::runtime_error("reader gave up"); });
            QFAIL("the reader's exception must come through");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QByteArray(e.what()), QByteArray("reader gave up"));
        }
        QCOMPARE(streamAll(c, "SELECT n, n FROM numbers").size(), 3);
    }
};

QTEST_MAIN(TestStream)
#include "tst_stream.moc"
