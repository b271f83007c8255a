#include "db/Transaction.h"

#include "db/Connection.h"
#include "db/DbError.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>
#include <algorithm>

namespace {
Connection& programConnection(Connection* given) { return given ? *given : Connection::program(); }

// A collision (a deadlock, a cluster's commit that lost certification, or a refusal the
// caller marked as one): the server has rolled the whole transaction back, so running it
// again from the start is safe. So it is after a cluster node that refused to serve (1047):
// nothing ran there, and the next attempt goes to another node.
bool isRetryable(const DbError& e)
{
    return !e.isUnconfirmed() && (e.isCollision() || e.code() == QLatin1String("1047"));
}

// How long a save keeps running again after collisions before it gives up and says so.
constexpr qint64 RetryBoundMs = 10000;

int g_retries = 0;
}

int Transaction::retries() { return g_retries; }

Transaction::Transaction(Connection* connection) : m_connection(&programConnection(connection))
{
    m_connection->startTransaction();
}

Transaction::~Transaction()
{
    if (m_open)
        m_connection->rollback();
}

void Transaction::commit(const std::function<bool()>& committed)
{
    m_open = false;
    try {
        m_connection->commit();
    } catch (const DbError& e) {
        // The COMMIT may have reached the server before its reply was lost: ask the database
        // what it holds now rather than report a save that may have happened as failed.
        if (committed && e.isConnectionLost()) {
            bool saved = false;
            try {
                saved = committed();
            } catch (const DbError&) {
                throw DbError::unconfirmed(e);
            }
            if (saved)
                return;
        }
        throw;
    }
}

void Transaction::run(const std::function<void(Transaction&)>& body, const std::function<bool()>& committed)
{
    // Busy for the whole save, the lookup after a lost reply included.
    BusyScope busy;
    // Saves that collide on a cluster collide again if run again at once: each waits a
    // growing, random while first, so that workstations fall out of step.
    QElapsedTimer clock;
    clock.start();
    int pauseMs = 10;
    for (;;) {
        try {
            Transaction t;
            body(t);
            t.commit(committed);
            return;
        } catch (const DbError& e) {
            if (!isRetryable(e) || clock.elapsed() + pauseMs > RetryBoundMs)
                throw;
            ++g_retries;
            QThread::msleep(ulong(QRandomGenerator::global()->bounded(pauseMs / 2, pauseMs + 1)));
            pauseMs = std::min(pauseMs * 2, 1000);
        }
    }
}
