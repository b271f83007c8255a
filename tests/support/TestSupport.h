#pragma once
// Shared test fixtures: a private database made from db/schema.sql, captured messages,
// and small builders for the rows most tests need.
#include "app/Main.h"
#include "db/Connection.h"

#include <QDate>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <functional>
#include <thread>

// A fresh database on the test server (VELDRA_TEST_DB_*), loaded with the schema and
// made the program's connection target; dropped again when the object goes.
class QComboBox;
class QMessageBox;

class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    QString name() const { return m_name; }
    // The program's account: holds only the role of db/grants.sql.
    ConnectionSettings settings() const { return m_settings; }
    // The server's administrator, for what the fixture itself seeds and checks.
    ConnectionSettings adminSettings() const { return m_adminSettings; }

    // Statements on a second connection of its own (not the program's), so a test can
    // act as another workstation. Failures abort the test with the server's message.
    void exec(const QString& sql) const;
    // Runs a file of statements in the format of db/schema.sql (each ending with ";" at
    // the end of a line, "--" comment lines) on the test's own connection.
    void execFile(const QString& path) const;
    QVariant scalar(const QString& sql) const;
    QList<QVariantList> rows(const QString& sql) const;
    // The rows of `sql` as text, each row's fields joined by a space ("10 Sales").
    QStringList texts(const QString& sql) const;
    QSqlDatabase admin() const;

    // Builders; each returns the new row's id.
    int addUser(const QString& login, const QString& email, const QString& password);
    int addCompany(const QString& name);
    int addAccess(int userId, int companyId, const QString& accessCompany = "Yes",
        const QString& administrator = "Yes", const QString& trialBalance = "View",
        const QString& journalEntries = "View");
    int addCostCentre(int companyId, int number, const QString& description);
    int addObject(int number, const QString& description, const QString& postingType, const QVariant& level,
        const QString& useForAccount = "Yes", const QString& classification = QString());
    int addAccount(int costCentreId, int objectId, const QString& description);
    // A year of `periods` monthly periods starting on `start`; returns the year id.
    int addYear(int companyId, const QString& description, const QDate& start, int periods = 12);
    // One entry with lines of (account id, amount text); returns the transaction id.
    int addEntry(int companyId, int number, const QDate& date, const QList<QPair<int, QString>>& lines,
        const QString& description = "Entry");

private:
    QString m_name;
    QString m_adminConnection;
    ConnectionSettings m_settings;
    ConnectionSettings m_adminSettings;
};

// The test server as its administrator (VELDRA_TEST_DB_*).
ConnectionSettings testServerSettings();
// The program's account of the test database `database`, as TestDatabase makes it.
ConnectionSettings programSettings(const QString& database);

// Makes the access table as a database made before the schema checked the flags and
// levels, so a test can store what such a database may hold (levels in another case).
void dropAccessChecks(const TestDatabase& db);

// Timeouts short enough for a test to wait them out, in the production proportions (the
// lock wait shorter than the read timeout): applied to the program's next connection.
void useShortTimeouts(TestDatabase& db);

// Stops the test server's process (SIGSTOP), as a server or network that has stalled,
// for as long as it lives. The process is continued again when it goes, and also by a
// watchdog after a few seconds should the test itself crash meanwhile. Does nothing
// when the server does not run on this machine (testServerPid 0): the test skips then.
class FrozenServer {
public:
    explicit FrozenServer(const TestDatabase& db);
    ~FrozenServer();
    FrozenServer(const FrozenServer&) = delete;
    FrozenServer& operator=(const FrozenServer&) = delete;
    void thaw();

private:
    const TestDatabase& m_db;
    qint64 m_pid = 0;
    qint64 m_watchdog = 0;
    bool m_frozen = false;
};
// The server's process id, 0 when it cannot be told (a server on another machine).
qint64 testServerPid(const TestDatabase& db);

// Another workstation on a thread of its own: runs statements in one transaction on a
// connection of its own and holds it open until some other transaction waits for a lock
// (the program's save, blocked by it), then commits. The constructor returns once the
// statements have run; the destructor joins. A test proves the program waited by
// sawWaiter() after the save, and so that the database, not luck, kept the two apart.
class LockHolder {
public:
    LockHolder(const TestDatabase& db, const QStringList& statements);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    void join();
    bool sawWaiter() const { return m_sawWaiter; }

private:
    std::thread m_thread;
    bool m_sawWaiter = false;
};

// Captures Boodskap messages and standard errors for as long as it lives.
class MessageLog {
public:
    MessageLog();
    ~MessageLog();
    QStringList messages; // Boodskap texts in order
    QStringList errors; // ShowStandardError texts in order
    bool answer = true; // what a question (Vraag) is answered
    // Called for each Boodskap message (after it is logged), e.g. to act while it shows.
    std::function<void(const QString&)> onMessage;
    void clear()
    {
        messages.clear();
        errors.clear();
    }
};

// Prepares the test application: title, isolated layout folder.
void initTestApplication();

// Statements the program's own connection has sent so far, as the server counts them.
int statementsSent();

// What a user's pick in a drop-down does: the item becomes current, then "activated".
// Fails the test when the box has no such item.
void choose(QComboBox* box, const QString& text);

// The message box shown right now, if any.
QMessageBox* shownMessageBox();

// Text as a single-quoted literal for a statement the test itself sends.
QString sqlText(const QString& text);

// A connection of Qt's MySQL driver named `name`, set up (not yet opened) for the server
// and database of `settings`: another workstation's, or the tests' own.
QSqlDatabase addTestConnection(const QString& name, const ConnectionSettings& settings);

// A file of the database folder, next to the schema: "demo.sql", "upgrade.sql".
QString databaseFile(const QString& name);

// A database, the main window and one user, "ann", whom the window takes as its user
// (not logged in: a test logs in when it needs the filter bar).
struct World {
    TestDatabase db;
    TfrmMain w;
    MessageLog log;
    int user = db.addUser("ann", "ann@example.com", "secret");
    World() { w.UserID = user; }

    // A company with an access row for the user.
    int company(
        const QString& name, const QString& accessCompany = "Yes", const QString& administrator = "Yes");
    int count(const QString& table) const;
};

// Catches the links the program opens (help and verse pages, documents) for as long as it
// lives, instead of handing them to the desktop.
class LinkCatcher : public QObject {
    Q_OBJECT
public:
    LinkCatcher();
    ~LinkCatcher() override;
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};
