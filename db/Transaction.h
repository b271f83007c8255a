#pragma once
#include <functional>

class Connection;

// One database transaction, started on the program's connection when it is made. It
// commits only on commit(); leaving the scope any other way (a refused check, a thrown
// error, a lost connection) rolls it back, so a save that stops anywhere leaves nothing.
class Transaction {
public:
    // Starts on `connection`, or on the program's connection when none is given.
    explicit Transaction(Connection* connection = nullptr);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Commits; throws DbError, after which the transaction is over either way. When the
    // reply to COMMIT is lost and a `committed` check was given, the check is asked on a
    // fresh connection: true means the save happened, and commit returns normally.
    void commit(const std::function<bool()>& committed = {});
    Connection& connection() const { return *m_connection; }

    // Runs `body` in a transaction of its own and commits it. A deadlock or a conflict
    // with another node's commit aborts the whole attempt, which is then run again from
    // the start (body must read what it writes afresh each time); any other error is
    // thrown with nothing written. `committed` as for commit().
    static void run(
        const std::function<void(Transaction&)>& body, const std::function<bool()>& committed = {});

    // How many attempts run() has started again since the program began (a measure of how
    // often saves collide, for benchmarks and tests).
    static int retries();

private:
    Connection* m_connection;
    bool m_open = true;
};
