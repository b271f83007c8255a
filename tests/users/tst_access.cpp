#include "TestSupport.h"

#include "app/Main.h"
#include "db/Connection.h"
#include "standard/Standard.h"
#include "users/Access.h"

#include <QComboBox>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>

namespace {
// Statements a piece of work sends, not counting the counting itself.
int statementsOf(const std::function<void()>& work)
{
    const int a = statementsSent();
    const int counting = statementsSent() - a;
    const int before = statementsSent();
    work();
    return statementsSent() - before - counting;
}

// Counts the times the program asked to end, instead of ending.
struct EndRequests {
    int count = 0;
    EndRequests()
    {
        setEndProgramHandler([this] { ++count; });
    }
    ~EndRequests() { setEndProgramHandler({}); }
};

const QString badLevelMessage = "Function AccessToInt not called corrected.  You called \"%1\".";
}

using Row = QStringList; // administrator, trial balance, journal entries

class TestAccess : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }

    // The level numbers themselves are tested without a window; here, what an unknown level does.
    void accessToInt_data()
    {
        QTest::addColumn<QString>("level");
        QTest::addColumn<int>("number");
        QTest::newRow("known") << "View" << 1;
        QTest::newRow("unknown") << "Viewer" << -1;
    }
    void accessToInt()
    {
        QFETCH(QString, level);
        QFETCH(int, number);
        TestDatabase db;
        MessageLog log;
        EndRequests ends;
        TfrmMain w;
        QCOMPARE(w.AccessToInt(level), number);
        if (number >= 0) {
            QVERIFY(log.messages.isEmpty());
            QCOMPARE(ends.count, 0);
        } else {
            QCOMPARE(log.messages, QStringList{badLevelMessage.arg(level)});
            QCOMPARE(ends.count, 1);
        }
    }

    // Rows of the user on companies A and B; the choice in the company box; the question.
    void testAccess_data()
    {
        QTest::addColumn<Row>("a");
        QTest::addColumn<Row>("b");
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("level");
        QTest::addColumn<bool>("answer");
        const Row none{"No", "No access", "No access"};
        QTest::newRow("view held") << Row{"No", "View", "No access"} << none << "A"
                                   << "trial balance"
                                   << "view" << true;
        QTest::newRow("view held, create asked") << Row{"No", "View", "Create"} << none << "A"
                                                 << "trial balance"
                                                 << "create" << false;
        QTest::newRow("other column read") << Row{"No", "View", "Create"} << none << "A"
                                           << "journal entries"
                                           << "create" << true;
        QTest::newRow("post covers create") << Row{"No", "Post", "View"} << none << "A"
                                            << "trial balance"
                                            << "create" << true;
        QTest::newRow("no access") << none << Row{"No", "View", "View"} << "A"
                                   << "trial balance"
                                   << "view" << false;
        QTest::newRow("upper-case level") << Row{"No", "VIEW", "View"} << none << "A"
                                          << "trial balance"
                                          << "view" << true;
        QTest::newRow("mixed-case level and question") << Row{"No", "cReAtE", "View"} << none << "A"
                                                       << "trial balance"
                                                       << "Create" << true;
        QTest::newRow("upper-case no access") << Row{"No", "NO ACCESS", "View"} << none << "A"
                                              << "trial balance"
                                              << "view" << false;
        QTest::newRow("administrator without levels") << Row{"Yes", "No access", "No access"} << none << "A"
                                                      << "journal entries"
                                                      << "create" << true;
        QTest::newRow("administrator flag in lower case")
            << Row{"yes", "No access", "No access"} << none << "A"
            << "journal entries"
            << "view" << false;
        QTest::newRow("All: view and no access") << Row{"No", "View", "View"} << none << "All"
                                                 << "trial balance"
                                                 << "view" << false;
        QTest::newRow("All: view and create, view asked")
            << Row{"No", "View", "View"} << Row{"No", "Create", "Create"} << "All"
            << "trial balance"
            << "view" << true;
        QTest::newRow("All: view and create, create asked")
            << Row{"No", "View", "View"} << Row{"No", "Create", "Create"} << "All"
            << "trial balance"
            << "create" << false;
        QTest::newRow("All: administrator of both")
            << Row{"Yes", "No access", "No access"} << Row{"Yes", "No access", "No access"} << "All"
            << "trial balance"
            << "create" << true;
        QTest::newRow("All: administrator of one, view on the other")
            << Row{"Yes", "No access", "No access"} << Row{"No", "View", "View"} << "All"
            << "trial balance"
            << "view" << true;
        QTest::newRow("All: administrator of one does not exempt the other")
            << Row{"Yes", "Post", "Post"} << none << "All"
            << "trial balance"
            << "view" << false;
        QTest::newRow("B alone ignores A") << none << Row{"No", "View", "View"} << "B"
                                           << "trial balance"
                                           << "view" << true;
    }
    void testAccess()
    {
        QFETCH(Row, a);
        QFETCH(Row, b);
        QFETCH(QString, company);
        QFETCH(QString, field);
        QFETCH(QString, level);
        QFETCH(bool, answer);
        TestDatabase db;
        const int user = db.addUser("alice", "alice@example.com", "secret");
        const int other = db.addUser("other", "other@example.com", "secret");
        const int ca = db.addCompany("A"), cb = db.addCompany("B");
        // Levels in another letter case are read as the levels they spell.
        dropAccessChecks(db);
        db.addAccess(user, ca, "Yes", a[0], a[1], a[2]);
        db.addAccess(user, cb, "Yes", b[0], b[1], b[2]);
        db.addAccess(other, ca, "Yes", "Yes", "Post", "Post"); // another user's rights count for nothing
        MessageLog log;
        EndRequests ends;
        TfrmMain w;
        w.Login(user);
        choose(w.cbCompany, company);
        QCOMPARE(w.TestAccess(field, level), answer);
        QVERIFY(log.messages.isEmpty()); // the callers say why
        QCOMPARE(ends.count, 0);
    }

    // Rights that vanish after the company box was filled, and a user who may see no
    // company: no answer is yes, and the empty box sends nothing at all.
    void testAccessWithoutRows()
    {
        TestDatabase db;
        const int user = db.addUser("alice", "alice@example.com", "secret");
        const int lonely = db.addUser("lonely", "lonely@example.com", "secret");
        const int acme = db.addCompany("Acme");
        db.addAccess(user, acme, "Yes", "Yes");
        MessageLog log;
        TfrmMain w;
        w.Login(user);
        QVERIFY(w.TestAccess("trial balance", "view"));
        QVERIFY(w.TestSetupAccess());
        db.exec("DELETE FROM access");
        QVERIFY(!w.TestAccess("trial balance", "view"));
        QVERIFY(!w.TestSetupAccess());
        QCOMPARE(log.messages, QStringList{"You need administrator access to use this function."});

        log.clear();
        w.Logout();
        w.Login(lonely);
        QCOMPARE(w.cbCompany->count(), 0);
        bool answer = true;
        QCOMPARE(statementsOf([&] { answer = w.TestAccess("trial balance", "no access"); }), 0);
        QVERIFY(!answer);
        QVERIFY(log.messages.isEmpty());
    }

    // A stored level the program does not know: its message, and the program is told to end.
    void testAccessOnABadStoredLevel()
    {
        TestDatabase db;
        const int user = db.addUser("alice", "alice@example.com", "secret");
        const int acme = db.addCompany("Acme");
        dropAccessChecks(db);
        db.addAccess(user, acme, "Yes", "No", "View", "Edit");
        MessageLog log;
        EndRequests ends;
        TfrmMain w;
        w.Login(user);
        QVERIFY(w.TestAccess("trial balance", "view"));
        QCOMPARE(ends.count, 0);
        QVERIFY(!w.TestAccess("journal entries", "view"));
        QCOMPARE(log.messages.value(0), badLevelMessage.arg("Edit"));
        QVERIFY(ends.count >= 1);
    }

    void testSetupAccess_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("sendsStatement");
        QTest::newRow("administrator") << "A" << true << "" << true;
        QTest::newRow("not administrator")
            << "B" << false << "You need administrator access to use this function." << true;
        QTest::newRow("All") << "All" << false << "Please select/create a spesific company first." << false;
    }
    void testSetupAccess()
    {
        QFETCH(QString, company);
        QFETCH(bool, answer);
        QFETCH(QString, message);
        QFETCH(bool, sendsStatement);
        TestDatabase db;
        const int user = db.addUser("alice", "alice@example.com", "secret");
        const int other = db.addUser("other", "other@example.com", "secret");
        const int ca = db.addCompany("A"), cb = db.addCompany("B");
        db.addAccess(user, ca, "Yes", "Yes", "No access", "No access");
        db.addAccess(user, cb, "Yes", "No", "Post", "Post");
        db.addAccess(other, cb, "Yes", "Yes");
        MessageLog log;
        TfrmMain w;
        w.Login(user);
        choose(w.cbCompany, company);
        bool result = !answer;
        QCOMPARE(statementsOf([&] { result = w.TestSetupAccess(); }) > 0, sendsStatement);
        QCOMPARE(result, answer);
        QCOMPARE(log.messages, message.isEmpty() ? QStringList() : QStringList{message});
    }

    void testSetupAccessWithoutCompany()
    {
        TestDatabase db;
        const int lonely = db.addUser("lonely", "lonely@example.com", "secret");
        MessageLog log;
        TfrmMain w;
        w.Login(lonely);
        QVERIFY(!w.TestSetupAccess());
        QCOMPARE(log.messages, QStringList{"Please select/create a spesific company first."});
    }

    // The journal tab checks the view right on every refresh; without it the user is put
    // back on the Welcome tab, and the refresh that does so runs no second time.
    void journalTabNeedsViewRight()
    {
        TestDatabase db;
        const int user = db.addUser("alice", "alice@example.com", "secret");
        const int a = db.addCompany("A"), b = db.addCompany("B");
        db.addAccess(user, a, "Yes", "No", "View", "View");
        db.addAccess(user, b, "Yes", "No", "View", "No access");
        MessageLog log;
        TfrmMain w;
        w.Login(user);
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("All"));
        w.pcMain->setCurrentWidget(w.tsJournalEntries);
        QCOMPARE(w.pcMain->currentWidget(), w.tsWelcome);
        QCOMPARE(log.messages,
            QStringList{"The selected company/companies does not all have view access to journal entries."});
        log.clear();
        choose(w.cbCompany, "A");
        w.pcMain->setCurrentWidget(w.tsJournalEntries);
        QCOMPARE(w.pcMain->currentWidget(), w.tsJournalEntries);
        QVERIFY(log.messages.isEmpty());
        choose(w.cbCompany, "B");
        QCOMPARE(w.pcMain->currentWidget(), w.tsWelcome);
        QCOMPARE(log.messages.size(), 1);
    }
};

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
