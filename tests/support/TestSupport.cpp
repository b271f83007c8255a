#include "TestSupport.h"

#include "app/Main.h"
#include "standard/Standard.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <chrono>
#include <csignal>
#include <future>

namespace {
std::atomic<int> g_dbCounter{0};

[[noreturn]] void fail(const QString& what) { qFatal("%s", qPrintable(what)); }
}

ConnectionSettings testServerSettings()
{
    ConnectionSettings s;
    s.host = qEnvironmentVariable("VELDRA_TEST_DB_HOST", QStringLiteral("127.0.0.1"));
    s.port = qEnvironmentVariableIntValue("VELDRA_TEST_DB_PORT");
    if (s.port == 0)
        s.port = 3306;
    s.user = qEnvironmentVariable("VELDRA_TEST_DB_USER", QStringLiteral("root"));
    s.password = qEnvironmentVariable("VELDRA_TEST_DB_PASSWORD");
    return s;
}

ConnectionSettings programSettings(const QString& database)
{
    ConnectionSettings s = testServerSettings();
    s.database = database;
    s.user = database;
    s.password = QStringLiteral("program");
    return s;
}

TestDatabase::TestDatabase()
{
    m_settings = testServerSettings();
    m_name = QStringLiteral("veldra_t%1_%2")
                 .arg(QCoreApplication::applicationPid())
                 .arg(g_dbCounter.fetch_add(1));
    m_adminConnection = QStringLiteral("admin_") + m_name;
    {
        QSqlDatabase db = addTestConnection(m_adminConnection, m_settings);
        if (!db.open())
            fail(QStringLiteral("Cannot reach the test database server (VELDRA_TEST_DB_*): ")
                + db.lastError().text());
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("CREATE DATABASE `%1` CHARACTER SET utf8mb4").arg(m_name))
            || !q.exec(QStringLiteral("USE `%1`").arg(m_name)))
            fail(q.lastError().text());
    }
    execFile(qEnvironmentVariable("VELDRA_SCHEMA"));
    // The program works as an account holding only the role of grants.sql, as in an
    // office: a feature that needs a right the file does not grant fails its tests.
    execFile(databaseFile(QStringLiteral("grants.sql")));
    const ConnectionSettings program = programSettings(m_name);
    for (const char* host : {"%", "localhost"}) {
        const QString account = sqlText(program.user) + QLatin1Char('@') + sqlText(QLatin1String(host));
        exec(QStringLiteral("CREATE OR REPLACE USER %1 IDENTIFIED BY %2")
                 .arg(account, sqlText(program.password)));
        exec(QStringLiteral("GRANT veldra_program TO %1").arg(account));
        exec(QStringLiteral("SET DEFAULT ROLE veldra_program FOR %1").arg(account));
    }
    m_adminSettings = m_settings;
    m_adminSettings.database = m_name;
    m_settings = program;
    SetConnectionSettings(m_settings);
    // On a cluster the other nodes apply the new account a moment later; a test that goes
    // to another node at once must find it there.
    const QStringList nodes
        = qEnvironmentVariable("VELDRA_TEST_CLUSTER_PORTS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& port : nodes) {
        ConnectionSettings node = program;
        node.port = port.toInt();
        const QString name = QStringLiteral("node_check_") + m_name;
        {
            QSqlDatabase c = addTestConnection(name, node);
            QElapsedTimer waited;
            waited.start();
            // Only a node that answers but does not know the account yet is waited for; a
            // node that is down (a test may have stopped it) is not.
            while (!c.open() && waited.elapsed() < 10000
                && (c.lastError().nativeErrorCode() == QLatin1String("1045")
                    || c.lastError().nativeErrorCode() == QLatin1String("1044")))
                QThread::msleep(20);
            c.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
}

TestDatabase::~TestDatabase()
{
    {
        QSqlDatabase db = admin();
        QSqlQuery q(db);
        q.exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(m_name));
        for (const char* host : {"%", "localhost"})
            q.exec(QStringLiteral("DROP USER IF EXISTS %1@%2")
                       .arg(sqlText(m_name), sqlText(QLatin1String(host))));
        db.close();
    }
    QSqlDatabase::removeDatabase(m_adminConnection);
}

QSqlDatabase TestDatabase::admin() const { return QSqlDatabase::database(m_adminConnection); }

void TestDatabase::exec(const QString& sql) const
{
    QSqlQuery q(admin());
    if (!q.exec(sql))
        fail(QStringLiteral("Test setup statement failed: %1\n%2").arg(q.lastError().text(), sql));
}

void TestDatabase::execFile(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Cannot read the statements at ") + path);
    QString statement;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1String("--")))
            continue;
        statement += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            exec(statement);
            statement.clear();
        }
    }
}

QList<QVariantList> TestDatabase::rows(const QString& sql) const
{
    QSqlQuery q(admin());
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!q.exec(sql))
        fail(QStringLiteral("Test query failed: %1\n%2").arg(q.lastError().text(), sql));
    QList<QVariantList> out;
    while (q.next()) {
        QVariantList row;
        // Flag columns have a binary collation, which the driver returns as bytes.
        for (int i = 0; i < q.record().count(); ++i)
            row << (q.value(i).typeId() == QMetaType::QByteArray ? QVariant(q.value(i).toString())
                                                                 : q.value(i));
        out << row;
    }
    return out;
}

QStringList TestDatabase::texts(const QString& sql) const
{
    QStringList out;
    for (const auto& r : rows(sql)) {
        QStringList fields;
        for (const QVariant& v : r)
            fields << v.toString();
        out << fields.join(QLatin1Char(' '));
    }
    return out;
}

QVariant TestDatabase::scalar(const QString& sql) const
{
    const auto r = rows(sql);
    return r.isEmpty() || r.first().isEmpty() ? QVariant() : r.first().first();
}

namespace {
int lastId(const TestDatabase& db) { return db.scalar(QStringLiteral("SELECT LAST_INSERT_ID()")).toInt(); }
}

int TestDatabase::addUser(const QString& login, const QString& email, const QString& password)
{
    exec(QStringLiteral("INSERT INTO wp_users (user_login, user_pass, user_nicename, user_email, "
                        "user_registered, display_name) VALUES (%1, %2, %1, %3, NOW(), %1)")
             .arg(sqlText(login), sqlText(wp_hash_password(password)), sqlText(email)));
    return lastId(*this);
}

int TestDatabase::addCompany(const QString& name)
{
    exec(QStringLiteral("INSERT INTO companies (`company name`) VALUES (%1)").arg(sqlText(name)));
    return lastId(*this);
}

int TestDatabase::addAccess(int userId, int companyId, const QString& accessCompany,
    const QString& administrator, const QString& trialBalance, const QString& journalEntries)
{
    exec(QStringLiteral("INSERT INTO access (`company id`, `wp_user id`, `access company`, administrator, "
                        "`trial balance`, `journal entries`) VALUES (%1, %2, %3, %4, %5, %6)")
             .arg(companyId)
             .arg(userId)
             .arg(sqlText(accessCompany), sqlText(administrator), sqlText(trialBalance),
                 sqlText(journalEntries)));
    return lastId(*this);
}

int TestDatabase::addCostCentre(int companyId, int number, const QString& description)
{
    exec(QStringLiteral("INSERT INTO `cost centres` (`company id`, `cost centre number`, "
                        "`cost centre description`) VALUES (%1, %2, %3)")
             .arg(companyId)
             .arg(number)
             .arg(sqlText(description)));
    return lastId(*this);
}

int TestDatabase::addObject(int number, const QString& description, const QString& postingType,
    const QVariant& level, const QString& useForAccount, const QString& classification)
{
    exec(QStringLiteral("INSERT INTO objects (`object number`, `object description`, `posting type`, "
                        "level, `use for account`, classification) VALUES (%1, %2, %3, %4, %5, %6)")
             .arg(number)
             .arg(sqlText(description), sqlText(postingType),
                 level.isNull() ? QStringLiteral("NULL") : QString::number(level.toInt()),
                 sqlText(useForAccount), sqlText(classification)));
    return lastId(*this);
}

int TestDatabase::addAccount(int costCentreId, int objectId, const QString& description)
{
    exec(QStringLiteral("INSERT INTO accounts (`cost centre id`, `object id`, `account description`) "
                        "VALUES (%1, %2, %3)")
             .arg(costCentreId)
             .arg(objectId)
             .arg(sqlText(description)));
    return lastId(*this);
}

int TestDatabase::addYear(int companyId, const QString& description, const QDate& start, int periods)
{
    const QDate last = start.addMonths(periods).addDays(-1);
    exec(QStringLiteral("INSERT INTO `financial years` (`company id`, `financial year description`, "
                        "`last day of financial year`) VALUES (%1, %2, '%3')")
             .arg(companyId)
             .arg(sqlText(description), last.toString(Qt::ISODate)));
    const int year = lastId(*this);
    for (int p = 0; p < periods; ++p) {
        const QDate from = start.addMonths(p), to = start.addMonths(p + 1).addDays(-1);
        exec(QStringLiteral("INSERT INTO `financial periods` (`financial year id`, `period number`, "
                            "`start date`, `end date`, `period description`, `period open`, "
                            "`period deleted`) VALUES (%1, %2, '%3', '%4', %5, 'Yes', 'No')")
                 .arg(year)
                 .arg(p + 1)
                 .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate),
                     sqlText(from.toString(QStringLiteral("MMM yyyy")))));
    }
    return year;
}

int TestDatabase::addEntry(int companyId, int number, const QDate& date,
    const QList<QPair<int, QString>>& lines, const QString& description)
{
    exec(QStringLiteral("INSERT INTO transactions (`company id`, `transaction number`, `transaction type`, "
                        "`transaction date`, `transaction description`, posted) "
                        "VALUES (%1, %2, 'JE', '%3', %4, 'No')")
             .arg(companyId)
             .arg(number)
             .arg(date.toString(Qt::ISODate), sqlText(description)));
    const int id = lastId(*this);
    for (int i = 0; i < lines.size(); ++i)
        exec(QStringLiteral("INSERT INTO `transaction details` (`transaction id`, `line nr`, `account id`, "
                            "`line description`, amount, deleted) VALUES (%1, %2, %3, 'Line', %4, 'No')")
                 .arg(id)
                 .arg(i + 1)
                 .arg(lines[i].first)
                 .arg(lines[i].second));
    return id;
}

MessageLog::MessageLog()
{
    SetBoodskapHandler([this](const QString& text, bool vraag) {
        messages << text;
        if (onMessage)
            onMessage(text);
        return vraag ? answer : true;
    });
    SetStandardErrorHandler([this](const QString& text) { errors << text; });
}

MessageLog::~MessageLog()
{
    SetBoodskapHandler({});
    SetStandardErrorHandler({});
}

void initTestApplication()
{
    InitApplication();
    // Test mode puts every test program's layout files in one shared folder; the programs
    // run side by side, so each gets a configuration folder of its own instead.
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(false);
    QDir(layoutDir()).removeRecursively();
}

LinkCatcher::LinkCatcher()
{
    for (const char* scheme : {"file", "http", "https"})
        QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
}

LinkCatcher::~LinkCatcher()
{
    for (const char* scheme : {"file", "http", "https"})
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
}

void dropAccessChecks(const TestDatabase& db)
{
    db.exec(QStringLiteral("ALTER TABLE access DROP CONSTRAINT `access company flag`, DROP CONSTRAINT "
                           "`administrator flag`, DROP CONSTRAINT `trial balance level`, DROP CONSTRAINT "
                           "`journal entries level`"));
}

void useShortTimeouts(TestDatabase& db)
{
    ConnectionSettings s = db.settings();
    s.connectTimeout = 2;
    s.readWriteTimeout = 2;
    s.lockWaitTimeout = 1;
    SetConnectionSettings(s);
}

qint64 testServerPid(const TestDatabase& db)
{
    QFile file(db.scalar(QStringLiteral("SELECT @@pid_file")).toString());
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const qint64 pid = file.readAll().trimmed().toLongLong();
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (pid <= 0 || !comm.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray name = comm.readAll();
    return name.startsWith("mariadbd") || name.startsWith("mysqld") ? pid : 0;
}

FrozenServer::FrozenServer(const TestDatabase& db) : m_db(db), m_pid(testServerPid(db))
{
    if (m_pid == 0)
        return;
    // Should this process die while the server is stopped, the watchdog continues it. It
    // lets go of this process's output, which the test runner waits on.
    const QString watchdog
        = QStringLiteral("exec </dev/null >/dev/null 2>&1; sleep 20; kill -CONT %1").arg(m_pid);
    QProcess::startDetached(QStringLiteral("sh"), {QStringLiteral("-c"), watchdog}, {}, &m_watchdog);
    m_frozen = ::kill(pid_t(m_pid), SIGSTOP) == 0;
    // The signal is delivered asynchronously: a statement sent right away could still be
    // answered. Wait until the process is seen stopped.
    QElapsedTimer waited;
    waited.start();
    while (m_frozen && waited.elapsed() < 2000) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(m_pid));
        if (!stat.open(QIODevice::ReadOnly))
            break;
        const QByteArray fields = stat.readAll();
        const qsizetype close = fields.lastIndexOf(')');
        if (close > 0 && fields.size() > close + 2 && fields.at(close + 2) == 'T')
            break;
        QThread::msleep(5);
    }
}

FrozenServer::~FrozenServer() { thaw(); }

void FrozenServer::thaw()
{
    const bool wasFrozen = m_frozen;
    if (m_frozen)
        ::kill(pid_t(m_pid), SIGCONT);
    m_frozen = false;
    // A cluster node stopped that long has been left out by the others and serves again
    // once it has caught up with them; until it notices, it still calls itself synced. A
    // read that waits for the cluster's latest write tells.
    if (wasFrozen
        && !m_db.rows(QStringLiteral("SHOW VARIABLES WHERE Variable_name = 'wsrep_on' AND Value = 'ON'"))
                .isEmpty()) {
        const QString name = QStringLiteral("thaw_") + m_db.name();
        {
            QSqlDatabase c = addTestConnection(name, m_db.settings());
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < 60000) {
                if (c.isOpen() || c.open()) {
                    QSqlQuery q(c);
                    if (q.exec(QStringLiteral("SET SESSION wsrep_sync_wait = 1"))
                        && q.exec(QStringLiteral("SELECT 1")))
                        break;
                    c.close();
                }
                QThread::msleep(100);
            }
        }
        QSqlDatabase::removeDatabase(name);
    }
    // Its work is done: it must not continue the server in the middle of a later freeze.
    if (m_watchdog > 0)
        ::kill(pid_t(m_watchdog), SIGTERM);
    m_watchdog = 0;
}

LockHolder::LockHolder(const TestDatabase& db, const QStringList& statements)
{
    std::promise<void> ran;
    std::future<void> ready = ran.get_future();
    const ConnectionSettings settings = db.settings(), watcherSettings = db.adminSettings();
    const QString database = db.name();
    m_thread = std::thread(
        [this, settings, watcherSettings, database, statements, ran = std::move(ran)]() mutable {
            const QString name = QStringLiteral("holder_") + database;
            const QString watcherName = QStringLiteral("holder_watch_") + database;
            {
                QSqlDatabase c = addTestConnection(name, settings);
                if (!c.open())
                    fail(QStringLiteral("Lock holder cannot connect: ") + c.lastError().text());
                // Other sessions' lock waits are shown only to an account that may see them all.
                QSqlDatabase watcher = addTestConnection(watcherName, watcherSettings);
                if (!watcher.open())
                    fail(QStringLiteral("Lock holder cannot connect: ") + watcher.lastError().text());
                QSqlQuery q(c);
                q.exec(QStringLiteral("START TRANSACTION"));
                for (const QString& sql : statements)
                    if (!q.exec(sql))
                        fail(QStringLiteral("Lock holder statement failed: %1\n%2")
                                 .arg(q.lastError().text(), sql));
                ran.set_value();
                // Until the program waits for our locks (at most 20 seconds), then let it go on.
                const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                while (!m_sawWaiter && std::chrono::steady_clock::now() < until) {
                    QSqlQuery w(watcher);
                    // A statement of this database, plain or prepared, waiting for a row lock, or
                    // still running after 200 ms (a lock taken while the plan is made is not always
                    // reported as a wait, and the server refreshes innodb_trx only when it was not
                    // read for 100 ms, which this loop's pace never allows).
                    w.exec(QStringLiteral(
                        "SELECT COUNT(*) FROM information_schema.processlist p WHERE p.db = DATABASE() "
                        "AND p.user = %1 AND p.command IN ('Query', 'Execute') "
                        "AND (p.time_ms > 200 OR EXISTS "
                        "(SELECT 1 FROM information_schema.innodb_trx t WHERE t.trx_mysql_thread_id = p.id "
                        "AND t.trx_state = 'LOCK WAIT'))")
                               .arg(sqlText(settings.user)));
                    m_sawWaiter = w.next() && w.value(0).toInt() > 0;
                    if (!m_sawWaiter)
                        std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
                q.exec(QStringLiteral("COMMIT"));
                c.close();
                watcher.close();
            }
            QSqlDatabase::removeDatabase(name);
            QSqlDatabase::removeDatabase(watcherName);
        });
    ready.wait();
}

void LockHolder::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

LockHolder::~LockHolder() { join(); }

int statementsSent()
{
    QSqlQuery q = Connection::program().execute(QStringLiteral("SHOW SESSION STATUS LIKE 'Questions'"));
    q.next();
    return q.value(1).toInt();
}

void choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QMessageBox* shownMessageBox()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            return box;
    return nullptr;
}

QSqlDatabase addTestConnection(const QString& name, const ConnectionSettings& settings)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
    db.setHostName(settings.host);
    db.setPort(settings.port);
    db.setUserName(settings.user);
    db.setPassword(settings.password);
    db.setDatabaseName(settings.database);
    return db;
}

QString databaseFile(const QString& name)
{
    return QFileInfo(qEnvironmentVariable("VELDRA_SCHEMA")).absolutePath() + QLatin1Char('/') + name;
}

QString sqlText(const QString& text)
{
    QString t = text;
    return QLatin1Char('\'')
        + t.replace(QLatin1String("\\"), QLatin1String("\\\\"))
              .replace(QLatin1String("'"), QLatin1String("\\'"))
        + QLatin1Char('\'');
}

int World::company(const QString& name, const QString& accessCompany, const QString& administrator)
{
    const int id = db.addCompany(name);
    db.addAccess(user, id, accessCompany, administrator);
    return id;
}

int World::count(const QString& table) const
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM `%1`").arg(table)).toInt();
}
