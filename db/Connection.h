#pragma once
#include <QList>
#include <QObject>
#include <QPair>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>

struct ConnectionSettings {
    QString host;
    int port = 3306;
    QString database;
    QString user;
    QString password;
    // Seconds. A stalled server or network fails a statement after readWriteTimeout; a
    // row another user holds locked fails it after lockWaitTimeout, which must be the
    // shorter, so that a slow but successful statement is never taken for a lost one.
    int connectTimeout = 10;
    int readWriteTimeout = 20;
    int lockWaitTimeout = 10;
};

// The settings compiled into the program (CMake cache variables VELDRA_DB_*).
ConnectionSettings BuiltInConnectionSettings();
// Replaces the settings used by the next open (tests point it at their own database).
void SetConnectionSettings(const ConnectionSettings& settings);
ConnectionSettings currentConnectionSettings();

// One database server to try. The settings' host may name several, as
// "host1:port1,host2:port2" (the nodes of a cluster); a host without a port takes the
// settings' port.
struct DatabaseHost {
    QString host;
    int port = 3306;
};
QList<DatabaseHost> databaseHosts(const ConnectionSettings& settings);

using Bindings = QList<QPair<QString, QVariant>>;

// The program's one database connection, fdcMain. Statements run synchronously inside a
// BusyScope (the windows show their wait cursor), and none waits without limit (see
// ConnectionSettings): one that times out counts as a lost connection. After a lost connection the next statement
// outside a transaction reconnects; inside a transaction the statement fails and the
// caller's rollback leaves nothing written (the client library's own reconnect stays off, since
// it would let the rest of a broken transaction commit statement by statement).
class Connection : public QObject {
    Q_OBJECT
public:
    explicit Connection(QObject* parent = nullptr);
    ~Connection() override;

    // The program's connection: the last one made and not yet destroyed (the main
    // window's fdcMain), or null before there is one. program() throws DbError instead.
    static Connection* current();
    static Connection& program();

    void open(); // throws DbError
    void close();
    bool isOpen() const;

    // Runs one statement and returns the positioned-before-first result; throws DbError.
    QSqlQuery execute(const QString& sql, const Bindings& bindings = {});

    // Runs a read whose result is too large to hold as values (every journal line of a
    // company) and hands each row to `row` as it arrives: `fields[i]` is the column's raw
    // text, null for NULL, `lengths[i]` its length. Nothing is bound, so the statement
    // holds no text a user typed. Throws DbError; a lost connection is replaced and the
    // read repeated only before its first row arrived.
    using RowSink = std::function<void(const char* const* fields, const unsigned long* lengths)>;
    void stream(const QString& sql, const RowSink& row);

    // The program's logged-in user, which the database's change history records: kept in
    // the session variables @veldra_user_id and @veldra_user_login, set at once and again on
    // every new connection (a reconnect starts a session without them). 0 clears them, and
    // clearing never throws: a connection that cannot be reached is replaced without them.
    // Setting throws DbError.
    void setProgramUser(int userId, const QString& loginName);

    void startTransaction();
    void commit();
    void rollback(); // never throws: a dead connection has rolled back on the server
    bool inTransaction() const { return m_inTransaction; }

    QSqlDatabase database() const;
    QString connectionName() const { return m_name; }

    // Told when the program starts (true) and stops (false) waiting on the database; the
    // window layer registers its wait cursor here. Empty: busy shows nothing.
    using BusyHandler = std::function<void(bool busy)>;
    static void setBusyHandler(BusyHandler handler);

private:
    void reconnect();
    // Opens on the first host that answers and is ready, trying them from `first` on.
    void openFrom(int first);
    void openOn(const DatabaseHost& host, const ConnectionSettings& settings);
    // Replaces a dead connection outside a transaction (a write only over one just seen
    // alive); inside one, refuses to send over a connection already lost.
    void prepareToSend(bool write);
    bool ping();
    QSqlQuery run(const QString& sql, const Bindings& bindings, bool& lost, QSqlError& error);
    static QString programUserStatement();
    Bindings programUserBindings() const;

    QString m_name;
    bool m_inTransaction = false;
    bool m_broken = false;
    int m_hostIndex = 0; // the host the connection is open on
    int m_userId = 0;
    QString m_userLogin;
};

// Marks the program busy with the database for as long as it lives: the first of nested
// scopes calls the busy handler with true, the last to end with false. Used around every
// call that may wait on the server; the layer above decides what busy looks like.
class BusyScope {
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};
