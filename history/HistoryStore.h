#pragma once
#include "db/Query.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

// Which changes of the history a list shows: those of one company (and those of no
// company, such as registrations) between two days, of one table and one user when given.
struct HistoryFilter {
    int companyId = 0;
    QDate from;
    QDate to;
    QString table; // empty: every table
    std::optional<QString> login; // none: every user; empty: changes made outside the program
};

struct HistoryRecordValues {
    QString before; // JSON, empty for an insert
    QString after; // JSON, empty for a delete
};

// The statements on `change history`, which only the database's triggers write. Each
// throws DbError.
namespace HistoryStore {
// The tables whose changes the history records, as it names them.
QStringList tableNames();
// One row per change, the newest first: id, `changed at`, `login name`, `database account`,
// workstation, `table name`, `row id`, action.
ListStatement listOf(const HistoryFilter& filter);
// The login names the company's history holds, in order; "" stands for changes made
// outside the program.
QStringList loginNames(int companyId);
std::optional<HistoryRecordValues> values(qint64 id);
}
