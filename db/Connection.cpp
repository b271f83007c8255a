#include "db/Connection.h"

#include "BuildSettings.h"
#include "db/DbError.h"

#include <QSqlDriver>
#include <QSqlError>
#include <mysql.h>

namespace {
ConnectionSettings& settingsStore()
{
    static ConnectionSettings s = BuiltInConnectionSettings();
    return s;
}

Connection* g_current = nullptr;
int g_counter = 0;

bool isConnectionLost(const QString& code) { return DbError::isConnectionLostCode(code); }

// A lost connection before the statement reached the server ("gone away"), a server that
// says it dropped the idle connection, or a cluster node that refused to run anything:
// the statement was certainly not run.
bool certainlyNotRun(const QString& code)
{
    static const QStringList codes = {"2006", "1927", "4031", "1047"};
    return codes.contains(code);
}

bool isRead(const QString& sql)
{
    const QString head = sql.trimmed().left(8).toUpper();
    return head.startsWith(QLatin1String("SELECT")) || head.startsWith(QLatin1String("SHOW"));
}
}

ConnectionSettings BuiltInConnectionSettings()
{
    ConnectionSettings s;
    s.host = QStringLiteral(VELDRA_DB_HOST);
    s.port = VELDRA_DB_PORT;
    s.database = QStringLiteral(VELDRA_DB_NAME);
    s.user = QStringLiteral(VELDRA_DB_USER);
    s.password = QStringLiteral(VELDRA_DB_PASSWORD);
    return s;
}

void SetConnectionSettings(const ConnectionSettings& settings) { settingsStore() = settings; }
ConnectionSettings currentConnectionSettings() { return settingsStore(); }

namespace {
Connection::BusyHandler& busyHandler()
{
    static Connection::BusyHandler handler;
    return handler;
}
// Open BusyScopes; the connection is used from the one user-interface thread only.
int g_busyDepth = 0;
}

void Connection::setBusyHandler(BusyHandler handler)
{
    // A handler replaced while busy hands the state over, so each sees its calls paired.
    if (g_busyDepth > 0 && busyHandler())
        busyHandler()(false);
    busyHandler() = std::move(handler);
    if (g_busyDepth > 0 && busyHandler())
        busyHandler()(true);
}

BusyScope::BusyScope()
{
    if (g_busyDepth++ == 0 && busyHandler())
        busyHandler()(true);
}

BusyScope::~BusyScope()
{
    if (--g_busyDepth == 0 && busyHandler())
        busyHandler()(false);
}

Connection::Connection(QObject* parent)
    : QObject(parent), m_name(QStringLiteral("fdcMain-%1").arg(++g_counter))
{
    setObjectName(QStringLiteral("fdcMain"));
    QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), m_name);
    g_current = this;
}

Connection::~Connection()
{
    close();
    if (g_current == this)
        g_current = nullptr;
    QSqlDatabase::removeDatabase(m_name);
}

Connection* Connection::current() { return g_current; }

Connection& Connection::program()
{
    if (!g_current)
        throw DbError(QStringLiteral("There is no database connection."));
    return *g_current;
}

QSqlDatabase Connection::database() const { return QSqlDatabase::database(m_name, false); }

bool Connection::isOpen() const { return database().isOpen(); }

QList<DatabaseHost> databaseHosts(const ConnectionSettings& settings)
{
    QList<DatabaseHost> hosts;
    for (const QString& item : settings.host.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString entry = item.trimmed();
        // "host:port"; a bare host (or an IPv6 address in brackets without a port) takes the
        // settings' port.
        const qsizetype colon = entry.lastIndexOf(QLatin1Char(':'));
        bool numeric = false;
        const int port = colon > 0 ? entry.mid(colon + 1).toInt(&numeric) : 0;
        if (numeric && !entry.left(colon).contains(QLatin1Char(':')))
            hosts.append({entry.left(colon), port});
        else
            hosts.append({entry, settings.port});
    }
    if (hosts.isEmpty())
        hosts.append({settings.host, settings.port});
    return hosts;
}

void Connection::open() { openFrom(0); }

void Connection::openFrom(int first)
{
    BusyScope busy;
    const ConnectionSettings s = settingsStore();
    const QList<DatabaseHost> hosts = databaseHosts(s);
    QStringList failures;
    for (int n = 0; n < hosts.size(); ++n) {
        const int index = (first + n) % int(hosts.size());
        try {
            openOn(hosts[index], s);
            m_hostIndex = index;
            return;
        } catch (const DbError& e) {
            if (hosts.size() == 1)
                throw;
            failures << hosts[index].host + QLatin1Char(':') + QString::number(hosts[index].port)
                    + QStringLiteral(": ") + e.text();
        }
    }
    throw DbError(QStringLiteral("No database server answered.\n") + failures.join(QLatin1Char('\n')),
        QStringLiteral("2003"));
}

void Connection::openOn(const DatabaseHost& host, const ConnectionSettings& s)
{
    QSqlDatabase db = database();
    if (db.isOpen())
        db.close();
    db.setHostName(host.host);
    db.setPort(host.port);
    db.setDatabaseName(s.database);
    db.setUserName(s.user);
    db.setPassword(s.password);
    // The client library's timeouts are whole seconds; a read timeout of 0 would mean none.
    QString options = QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=%1;MYSQL_OPT_READ_TIMEOUT=%2;"
                                     "MYSQL_OPT_WRITE_TIMEOUT=%2")
                          .arg(std::max(1, s.connectTimeout))
                          .arg(std::max(1, s.readWriteTimeout));
    const QString ssl = QStringLiteral(VELDRA_DB_SSL);
    if (!ssl.isEmpty())
        options += QLatin1Char(';') + ssl;
    db.setConnectOptions(options);
    if (!db.open())
        throw DbError(db.lastError().text(), db.lastError().nativeErrorCode());
    m_broken = false;
    m_inTransaction = false;
    // The statements quote text literals with double quotes and name ungrouped columns
    // in grouped selects: neither ANSI_QUOTES nor ONLY_FULL_GROUP_BY may be on.
    // A row another user holds locked fails the statement after the lock wait instead of
    // the server's default 50 seconds.
    const QStringList setup = {QStringLiteral("SET NAMES utf8mb4"),
        QStringLiteral("SET SESSION sql_mode = 'STRICT_TRANS_TABLES,NO_ZERO_IN_DATE,"
                       "NO_ZERO_DATE,ERROR_FOR_DIVISION_BY_ZERO,NO_ENGINE_SUBSTITUTION'"),
        QStringLiteral("SET SESSION innodb_lock_wait_timeout = %1").arg(std::max(1, s.lockWaitTimeout))};
    for (const QString& statement : setup) {
        QSqlQuery q(db);
        if (!q.exec(statement)) {
            const QSqlError error = q.lastError();
            db.close();
            throw DbError(error.text(), error.nativeErrorCode());
        }
    }
    if (m_userId != 0) {
        QSqlQuery user(db);
        bool ok = user.prepare(programUserStatement());
        for (const auto& [name, value] : programUserBindings())
            user.bindValue(QLatin1Char(':') + name, value);
        if (!ok || !user.exec()) {
            const QSqlError error = user.lastError();
            db.close();
            throw DbError(error.text(), error.nativeErrorCode());
        }
    }
    // A cluster node that is joining, donating its state or cut off from the others answers
    // but must not be used: its data may be behind or about to be thrown away.
    QSqlQuery ready(db);
    const bool clusterNode = ready.exec(QStringLiteral("SHOW VARIABLES LIKE 'wsrep_on'")) && ready.next()
        && ready.value(1).toString() == QLatin1String("ON");
    if (clusterNode
        && !(ready.exec(QStringLiteral("SHOW STATUS LIKE 'wsrep_ready'")) && ready.next()
            && ready.value(1).toString() == QLatin1String("ON"))) {
        db.close();
        throw DbError(QStringLiteral("The database server is a cluster node that is not ready."),
            QStringLiteral("1047"));
    }
    // Reads wait until this node has applied what other nodes committed before them, so a
    // user sees another workstation's save at once, whichever node each is on.
    if (clusterNode && !ready.exec(QStringLiteral("SET SESSION wsrep_sync_wait = 1")))
        throw DbError(ready.lastError().text(), ready.lastError().nativeErrorCode());
}

void Connection::close()
{
    QSqlDatabase db = database();
    if (db.isValid() && db.isOpen())
        db.close();
    m_inTransaction = false;
}

// After a lost connection the next host is tried first: the one just lost is likely down.
void Connection::reconnect() { openFrom(m_hostIndex + 1); }

namespace {
// The client library's handle behind Qt's driver; MariaDB's headers name its type st_mysql.
MYSQL* clientHandle(const QSqlDatabase& db)
{
    const QVariant h = db.driver()->handle();
    if (qstrcmp(h.typeName(), "MYSQL*") != 0 && qstrcmp(h.typeName(), "st_mysql*") != 0)
        return nullptr;
    return *static_cast<MYSQL* const*>(h.data());
}
}

bool Connection::ping()
{
    QSqlDatabase db = database();
    if (!db.isOpen())
        return false;
    // Should a driver not hand out the client library's handle, a trivial statement asks.
    if (MYSQL* handle = clientHandle(db))
        return mysql_ping(handle) == 0;
    QSqlQuery probe(db);
    return probe.exec(QStringLiteral("DO 0"));
}

QSqlQuery Connection::run(const QString& sql, const Bindings& bindings, bool& lost, QSqlError& error)
{
    QSqlQuery q(database());
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    bool ok;
    if (bindings.isEmpty()) {
        ok = q.exec(sql);
    } else {
        ok = q.prepare(sql);
        if (ok) {
            for (const auto& [name, value] : bindings)
                q.bindValue(name.startsWith(QLatin1Char(':')) ? name : QLatin1Char(':') + name, value);
            ok = q.exec();
        }
    }
    error = ok ? QSqlError() : q.lastError();
    lost = !ok && isConnectionLost(error.nativeErrorCode());
    return q;
}

void Connection::prepareToSend(bool write)
{
    if (!m_inTransaction) {
        // Outside a transaction a dead connection is replaced before anything is sent.
        // A write is only sent over a connection just seen alive, since a write lost in
        // flight cannot be repeated blindly.
        if (m_broken || !isOpen() || (write && !ping()))
            reconnect();
    } else if (m_broken) {
        throw DbError(QStringLiteral("The connection to the database was lost during a transaction."),
            QStringLiteral("2013"));
    }
}

QSqlQuery Connection::execute(const QString& sql, const Bindings& bindings)
{
    BusyScope busy;
    prepareToSend(!isRead(sql));
    bool lost = false;
    QSqlError error;
    QSqlQuery q = run(sql, bindings, lost, error);
    if (!error.isValid())
        return q;
    if (lost) {
        m_broken = true;
        if (!m_inTransaction && (isRead(sql) || certainlyNotRun(error.nativeErrorCode()))) {
            reconnect();
            q = run(sql, bindings, lost, error);
            if (!error.isValid())
                return q;
            if (lost)
                m_broken = true;
        }
    }
    throw DbError(error.text(), error.nativeErrorCode());
}

QString Connection::programUserStatement()
{
    return QStringLiteral("SET @veldra_user_id = :id, @veldra_user_login = :login");
}

Bindings Connection::programUserBindings() const
{
    // NULL, not 0 and "", while nobody is logged in: the history then records no user.
    return {{QStringLiteral("id"), m_userId != 0 ? QVariant(m_userId) : QVariant(QMetaType(QMetaType::Int))},
        {QStringLiteral("login"),
            m_userId != 0 ? QVariant(m_userLogin) : QVariant(QMetaType(QMetaType::QString))}};
}

void Connection::setProgramUser(int userId, const QString& loginName)
{
    m_userId = userId;
    m_userLogin = userId != 0 ? loginName : QString();
    if (userId != 0) {
        execute(programUserStatement(), programUserBindings());
        return;
    }
    try {
        if (isOpen())
            execute(programUserStatement(), programUserBindings());
    } catch (const DbError&) {
        // A connection that failed here is replaced before its next statement, and the
        // new session starts without the variables.
        m_broken = true;
    }
}

void Connection::startTransaction()
{
    if (m_inTransaction)
        throw DbError(QStringLiteral("A transaction is already open."));
    execute(QStringLiteral("START TRANSACTION"));
    m_inTransaction = true;
}

void Connection::commit()
{
    try {
        execute(QStringLiteral("COMMIT"));
    } catch (...) {
        m_inTransaction = false;
        throw;
    }
    m_inTransaction = false;
}

void Connection::rollback()
{
    if (!m_inTransaction)
        return;
    try {
        if (!m_broken)
            execute(QStringLiteral("ROLLBACK"));
    } catch (const DbError&) {
        // The server discards the open transaction of a connection it lost.
        m_broken = true;
    }
    m_inTransaction = false;
}

void Connection::stream(const QString& sql, const RowSink& row)
{
    BusyScope busy;
    prepareToSend(false);
    auto handle = [this]() -> MYSQL* {
        MYSQL* h = clientHandle(database());
        if (!h)
            throw DbError(QStringLiteral("The database driver offers no client handle."));
        return h;
    };
    auto fail = [this](MYSQL* h) {
        const QString code = QString::number(mysql_errno(h));
        if (isConnectionLost(code))
            m_broken = true;
        throw DbError(QString::fromUtf8(mysql_error(h)), code);
    };
    const QByteArray text = sql.toUtf8();
    MYSQL* h = handle();
    if (mysql_real_query(h, text.constData(), text.size()) != 0) {
        // A read that failed for a lost connection has delivered nothing: it can be repeated.
        if (!isConnectionLost(QString::number(mysql_errno(h))) || m_inTransaction)
            fail(h);
        reconnect();
        h = handle();
        if (mysql_real_query(h, text.constData(), text.size()) != 0)
            fail(h);
    }
    MYSQL_RES* result = mysql_use_result(h);
    if (!result) {
        if (mysql_field_count(h) == 0)
            return;
        fail(h);
    }
    // Rows come from the server as they are read; freeing the result reads what is left,
    // so the connection is ready for the next statement whatever happens here.
    struct Free {
        MYSQL_RES* r;
        ~Free() { mysql_free_result(r); }
    } guard{result};
    while (MYSQL_ROW fields = mysql_fetch_row(result))
        row(fields, mysql_fetch_lengths(result));
    if (mysql_errno(h) != 0)
        fail(h);
}
