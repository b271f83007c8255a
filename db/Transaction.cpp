#include "db/Transaction.h"

#include "db/Connection.h"
#include "db/DbError.h"

namespace {
Connection& programConnection(Connection* given) { return given ? *given : Connection::program(); }

// Deadlock (also how a cluster reports a commit that lost certification): the server has
// rolled the whole transaction back, so running it again from the start is safe.
bool isRetryable(const DbError& e) { return e.code() == QLatin1String("1213"); }

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
    // One wait cursor for the whole save, the lookup after a lost reply included.
    WaitCursor wait;
    constexpr int attempts = 3;
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction t;
            body(t);
            t.commit(committed);
            return;
        } catch (const DbError& e) {
            if (!isRetryable(e) || attempt == attempts)
                throw;
            ++g_retries;
        }
    }
}
