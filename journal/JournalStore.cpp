#include "journal/JournalStore.h"

#include "context/BookStores.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "journal/JournalChain.h"

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

JournalChainTail JournalStore::lastNumberForUpdate(int companyId)
{
    // Written, not only read under lock: a cluster certifies writes, so two saves of the
    // company on two nodes collide here and one runs again, numbering after the other.
    // The reads after it lock too, so they see the newest committed rows rather than the
    // transaction's first snapshot.
    CompanyStore::countEntrySave(companyId);
    if (!lockedNumber({QStringLiteral("SELECT id FROM companies WHERE (id = :company) FOR UPDATE")},
            companyId, QStringLiteral("id")))
        throw DbError(QStringLiteral("The company no longer exists."));
    Query last;
    last.setSql({QStringLiteral("SELECT `transaction number`, `chain hash`"),
        QStringLiteral("FROM transactions"), QStringLiteral("WHERE"),
        QStringLiteral("(`company id` = :company)"), QStringLiteral(" and (`transaction type` = \"JE\")"),
        QStringLiteral("ORDER BY `transaction number` DESC"), QStringLiteral("LIMIT 1"),
        QStringLiteral("FOR UPDATE")});
    last.bind(QStringLiteral("company"), companyId);
    last.open();
    if (!last.isEmpty())
        return {last.asString(QStringLiteral("transaction number")).toLongLong(),
            last.asString(QStringLiteral("chain hash"))};
    // A company's first entry follows the number of its newest cost centre.
    return {
        lockedNumber({QStringLiteral("SELECT `cost centre number`"), QStringLiteral("FROM `cost centres`"),
                         QStringLiteral("WHERE"), QStringLiteral("(`company id` = :company)"),
                         QStringLiteral("ORDER BY `id` DESC"), QStringLiteral("LIMIT 1"),
                         QStringLiteral("FOR UPDATE")},
            companyId, QStringLiteral("cost centre number"))
            .value_or(0),
        {}};
}

QString JournalStore::chainHash(const QString& previousHash, const NewJournalEntry& entry)
{
    JournalChainHash hash(previousHash.toUtf8(), QByteArray::number(entry.number),
        entry.date.toString(Qt::ISODate).toUtf8(), entry.description.toUtf8(),
        QByteArray::number(entry.companyId));
    for (const NewJournalLine& line : entry.lines)
        hash.addLine(QByteArray::number(line.accountId),
            JournalChainHash::amountText(Money::parseDb(line.amount).value_or(Money())),
            line.description.toUtf8(), "No");
    return QString::fromLatin1(hash.result());
}

int JournalStore::insert(const NewJournalEntry& entry, JournalChainTail& tail)
{
    const QString hash = chainHash(tail.lastHash, entry);
    RowWriter header(QStringLiteral("transactions"));
    header.set(QStringLiteral("transaction number"), entry.number)
        .set(QStringLiteral("company id"), entry.companyId)
        .set(QStringLiteral("transaction type"), QStringLiteral("JE"))
        .set(QStringLiteral("posted"), QStringLiteral("No"))
        .set(QStringLiteral("created by"), entry.createdBy)
        .set(QStringLiteral("transaction date"), entry.date)
        .set(QStringLiteral("transaction description"), entry.description)
        .set(QStringLiteral("save key"), entry.saveKey)
        .set(QStringLiteral("chain hash"), hash);
    int id = 0;
    try {
        id = header.insert();
    } catch (const DbError& e) {
        // The number was read under the company row's lock, so no save of this server took
        // it. A cluster that aborts this save for another node's entry of the company
        // (both wrote the company's row) may report that entry, already applied, here
        // instead of a deadlock. Run again, the save numbers after it.
        if (e.isDuplicateKey() && e.text().contains(QLatin1String("'company type number'")))
            throw DbError::collision(e);
        throw;
    }
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
    // The entry's history record takes its line count and sums once, rather than each line
    // updating it as it is written.
    Query::execute(
        QStringLiteral("CALL `record entry lines in history`(:entry)"), {{QStringLiteral(":entry"), id}});
    tail = {entry.number, hash};
    return id;
}

bool JournalStore::savedUnderKey(const QString& saveKey)
{
    return rowExists(QStringLiteral("transactions"), {{QStringLiteral("save key"), saveKey}}, std::nullopt);
}

bool JournalStore::exists(int entryId)
{
    return Query::firstValue({QStringLiteral("SELECT id FROM transactions WHERE id = :id")},
        {{QStringLiteral("id"), entryId}}, QStringLiteral("id"))
        .has_value();
}

std::optional<StoredJournalEntry> JournalStore::readByNumber(const QString& companyName, qint64 number)
{
    Query head;
    head.setSql({QStringLiteral(
                     "SELECT transactions.id, `company id`, `transaction date`, `transaction description`"),
        QStringLiteral("FROM transactions JOIN companies ON companies.id = transactions.`company id`"),
        QStringLiteral("WHERE (`company name` = :company) and (`transaction type` = \"JE\")"),
        QStringLiteral("and (`transaction number` = :number)")});
    head.bind(QStringLiteral("company"), companyName);
    head.bind(QStringLiteral("number"), number);
    head.open();
    if (head.isEmpty())
        return std::nullopt;
    StoredJournalEntry entry{head.asInteger(QStringLiteral("id")), number,
        head.asInteger(QStringLiteral("company id")), head.asDate(QStringLiteral("transaction date")),
        head.asString(QStringLiteral("transaction description")), {}};
    Query lines;
    lines.setSql({QStringLiteral(
                      "SELECT `line nr`, `cost centre number`, `object number`, `cost centre description`,"),
        QStringLiteral("`account description`, `line description`, amount"),
        QStringLiteral("FROM `transaction details` d JOIN accounts a ON a.id = d.`account id`"),
        QStringLiteral(
            "JOIN `cost centres` c ON c.id = a.`cost centre id` JOIN objects o ON o.id = a.`object id`"),
        QStringLiteral("WHERE (d.`transaction id` = :id) and (d.deleted = \"No\")"),
        QStringLiteral("ORDER BY `line nr`")});
    lines.bind(QStringLiteral("id"), entry.id);
    lines.open();
    for (lines.first(); !lines.eof(); lines.next())
        entry.lines.append({lines.asInteger(QStringLiteral("line nr")),
            lines.asString(QStringLiteral("cost centre number")) + QLatin1Char('.')
                + lines.asString(QStringLiteral("object number")),
            lines.asString(QStringLiteral("cost centre description")),
            lines.asString(QStringLiteral("account description")),
            lines.asString(QStringLiteral("line description")), lines.asMoney(QStringLiteral("amount"))});
    return entry;
}
