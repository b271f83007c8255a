#include "journal/JournalStore.h"

#include "db/DbError.h"
#include "db/Query.h"

#include <optional>

namespace {
// The first row's column of a locking read of the company's rows, as a number.
std::optional<qint64> lockedNumber(const QStringList& sql, int companyId, const QString& column)
{
    const std::optional<QVariant> v
        = Query::firstValue(sql, {{QStringLiteral("company"), companyId}}, column);
    return v ? std::optional<qint64>(v->toString().toLongLong()) : std::nullopt;
}
}

qint64 JournalStore::lastNumberForUpdate(int companyId)
{
    // The reads after the lock lock too, so they see the newest committed rows rather
    // than the transaction's first snapshot.
    if (!lockedNumber({QStringLiteral("SELECT id FROM companies WHERE (id = :company) FOR UPDATE")},
            companyId, QStringLiteral("id")))
        throw DbError(QStringLiteral("The company no longer exists."));
    if (const auto last
        = lockedNumber({QStringLiteral("SELECT `transaction number`"), QStringLiteral("FROM transactions"),
                           QStringLiteral("WHERE"), QStringLiteral("(`company id` = :company)"),
                           QStringLiteral(" and (`transaction type` = \"JE\")"),
                           QStringLiteral("ORDER BY `transaction number` DESC"), QStringLiteral("LIMIT 1"),
                           QStringLiteral("FOR UPDATE")},
            companyId, QStringLiteral("transaction number")))
        return *last;
    // A company's first entry follows the number of its newest cost centre.
    return lockedNumber(
        {QStringLiteral("SELECT `cost centre number`"), QStringLiteral("FROM `cost centres`"),
            QStringLiteral("WHERE"), QStringLiteral("(`company id` = :company)"),
            QStringLiteral("ORDER BY `id` DESC"), QStringLiteral("LIMIT 1"), QStringLiteral("FOR UPDATE")},
        companyId, QStringLiteral("cost centre number"))
        .value_or(0);
}

int JournalStore::insert(const NewJournalEntry& entry)
{
    const int id = RowWriter(QStringLiteral("transactions"))
                       .set(QStringLiteral("transaction number"), entry.number)
                       .set(QStringLiteral("company id"), entry.companyId)
                       .set(QStringLiteral("transaction type"), QStringLiteral("JE"))
                       .set(QStringLiteral("posted"), QStringLiteral("No"))
                       .set(QStringLiteral("created by"), entry.createdBy)
                       .set(QStringLiteral("transaction date"), entry.date)
                       .set(QStringLiteral("transaction description"), entry.description)
                       .set(QStringLiteral("save key"), entry.saveKey)
                       .insert();
    QList<RowWriter> details;
    int lineNr = 0;
    for (const NewJournalLine& line : entry.lines)
        details << RowWriter(QStringLiteral("transaction details"))
                       .set(QStringLiteral("transaction id"), id)
                       .set(QStringLiteral("line nr"), ++lineNr)
                       .set(QStringLiteral("account id"), line.accountId)
                       .set(QStringLiteral("line description"), line.description)
                       .set(QStringLiteral("amount"), line.amount)
                       .set(QStringLiteral("deleted"), QStringLiteral("No"));
    RowWriter::insertAll(details);
    return id;
}

bool JournalStore::exists(int entryId)
{
    return Query::firstValue({QStringLiteral("SELECT id FROM transactions WHERE id = :id")},
        {{QStringLiteral("id"), entryId}}, QStringLiteral("id"))
        .has_value();
}
