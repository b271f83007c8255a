#include "app/Main.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "standard/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QTest>

// The database layer only says when it is busy; the windows turn that into the wait cursor.
class TestWaitCursor : public QObject {
    Q_OBJECT

    static bool showsWaitCursor()
    {
        const QCursor* c = QGuiApplication::overrideCursor();
        return c && c->shape() == Qt::WaitCursor;
    }

private slots:
    void cleanup()
    {
        Connection::setBusyHandler({});
        SetConnectionSettings(BuiltInConnectionSettings());
    }

    // Nested busy calls (a save around its statements) are one busy time, and a handler
    // replaced in the middle ends it on the old handler and starts it on the new one.
    void busyTimesPairUp()
    {
        QList<bool> first, second;
        Connection::setBusyHandler([&](bool busy) { first << busy; });
        {
            BusyScope save;
            {
                BusyScope statement;
            }
            QCOMPARE(first, QList<bool>{true});
            Connection::setBusyHandler([&](bool busy) { second << busy; });
            BusyScope another;
        }
        QCOMPARE(first, (QList<bool>{true, false}));
        QCOMPARE(second, (QList<bool>{true, false}));
    }

    // A call that fails still ends its busy time: nothing is left waiting.
    void failedOpenEndsBusy()
    {
        QList<bool> seen;
        Connection::setBusyHandler([&](bool busy) { seen << busy; });
        SetConnectionSettings(
            {QStringLiteral("127.0.0.1"), 1, QStringLiteral("none"), QStringLiteral("none"), {}});
        Connection connection;
        QVERIFY_THROWS_EXCEPTION(DbError, connection.open());
        QCOMPARE(seen, (QList<bool>{true, false}));
    }

    // Program start registers the wait cursor for the database's busy times.
    void programShowsWaitCursorWhileBusy()
    {
        InitApplication();
        QVERIFY(!QGuiApplication::overrideCursor());
        {
            BusyScope save;
            QVERIFY(showsWaitCursor());
            {
                BusyScope statement;
                QVERIFY(showsWaitCursor());
            }
            QVERIFY(showsWaitCursor());
        }
        QVERIFY(!QGuiApplication::overrideCursor());

        SetConnectionSettings(
            {QStringLiteral("127.0.0.1"), 1, QStringLiteral("none"), QStringLiteral("none"), {}});
        Connection connection;
        QVERIFY_THROWS_EXCEPTION(DbError, connection.open());
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(TestWaitCursor)
#include "tst_waitcursor.moc"
