#include "journallines/JournalLinesStore.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/RawField.h"
#include "standard/Dates.h"

#include <algorithm>

namespace {

QString idList(const QList<int>& ids)
{
    QStringList texts;
    texts.reserve(ids.size());
    for (int id : ids)
        texts << QString::number(id);
    return texts.join(QLatin1Char(','));
}

// The lines of the accounts dated from `from` to `to`, joined to their entries and to the
// further `joins`. An entry of any company counts: a line belongs to its account's company.
QString linesOf(const QList<int>& accounts, const QDate& from, const QDate& to, const QString& joins = {})
{
    return QStringLiteral(
        "FROM transactions JOIN `transaction details` d ON d.`transaction id` = transactions.id\n"
        "%1WHERE (d.`account id` IN (%2))\n"
        "and (transactions.`transaction date` BETWEEN %3 AND %4)")
        .arg(joins, idList(accounts), sqlDateLiteral(from), sqlDateLiteral(to));
}

QDate monthStart(const QDate& day) { return QDate(day.year(), day.month(), 1); }
QDate monthEnd(const QDate& day) { return monthStart(day).addMonths(1).addDays(-1); }

void addCutPiece(
    QList<JournalLinesChunk>& chunks, const QList<int>& accounts, const QDate& from, const QDate& to)
{
    JournalLinesChunk chunk{accounts, from, to, 0, Money()};
    Connection::program().stream(
        QStringLiteral("SELECT COUNT(*), SUM(d.amount)\n") + linesOf(accounts, from, to),
        [&](const char* const* f, const unsigned long* n) {
            chunk.count = RawField::number(f[0], n[0]);
            chunk.sum = RawField::money(f[1], n[1]);
        });
    if (chunk.count > 0)
        chunks.append(chunk);
}

// Whole months `from`..`to` (first days; `from` invalid: every month up to `to`).
void addWholeMonths(
    QList<JournalLinesChunk>& chunks, const QList<int>& accounts, const QDate& from, const QDate& to)
{
    QString sql = QStringLiteral("SELECT month, SUM(amount), SUM(`line count`) FROM `account month totals`\n"
                                 "WHERE (`account id` IN (%1)) and (month <= %2)")
                      .arg(idList(accounts), sqlDateLiteral(to));
    if (from.isValid())
        sql += QStringLiteral(" and (month >= %1)").arg(sqlDateLiteral(from));
    sql += QStringLiteral("\nGROUP BY month HAVING SUM(`line count`) > 0 ORDER BY month");
    Connection::program().stream(sql, [&](const char* const* f, const unsigned long* n) {
        const QDate month = RawField::date(f[0], n[0]);
        chunks.append(
            {accounts, month, monthEnd(month), RawField::number(f[2], n[2]), RawField::money(f[1], n[1])});
    });
}
}

QList<JournalLinesChunk> JournalLinesStore::chunks(const QList<TBLinesRange>& ranges)
{
    QList<JournalLinesChunk> chunks;
    for (const TBLinesRange& r : ranges) {
        if (r.accountIds.isEmpty() || !r.to.isValid() || (r.from.isValid() && r.from > r.to))
            continue;
        // The range's whole months come from the totals; a first or last month the range
        // cuts is counted from its lines.
        const bool cutFirst = r.from.isValid() && r.from.day() != 1;
        const bool cutLast = r.to != monthEnd(r.to);
        if (cutFirst && monthStart(r.from) == monthStart(r.to)) {
            addCutPiece(chunks, r.accountIds, r.from, r.to);
            continue;
        }
        if (cutFirst)
            addCutPiece(chunks, r.accountIds, r.from, monthEnd(r.from));
        const QDate firstWhole = !r.from.isValid() ? QDate()
            : cutFirst                             ? monthEnd(r.from).addDays(1)
                                                   : r.from;
        const QDate lastWhole = cutLast ? monthStart(r.to).addMonths(-1) : monthStart(r.to);
        if (!firstWhole.isValid() || firstWhole <= lastWhole)
            addWholeMonths(chunks, r.accountIds, firstWhole, lastWhole);
        if (cutLast)
            addCutPiece(
                chunks, r.accountIds, std::max(monthStart(r.to), r.from.isValid() ? r.from : QDate()), r.to);
    }
    std::stable_sort(chunks.begin(), chunks.end(),
        [](const JournalLinesChunk& a, const JournalLinesChunk& b) { return a.from < b.from; });
    return chunks;
}

QList<JournalLinesChunk> JournalLinesStore::days(const JournalLinesChunk& chunk)
{
    QList<JournalLinesChunk> days;
    Connection::program().stream(QStringLiteral("SELECT `transaction date`, COUNT(*), SUM(d.amount)\n")
            + linesOf(chunk.accountIds, chunk.from, chunk.to)
            + QStringLiteral("\nGROUP BY `transaction date` ORDER BY `transaction date`"),
        [&](const char* const* f, const unsigned long* n) {
            const QDate day = RawField::date(f[0], n[0]);
            days.append(
                {chunk.accountIds, day, day, RawField::number(f[1], n[1]), RawField::money(f[2], n[2])});
        });
    return days;
}

QList<JournalLineRow> JournalLinesStore::lines(const JournalLinesChunk& chunk)
{
    QList<JournalLineRow> rows;
    rows.reserve(qsizetype(chunk.count));
    Connection::program().stream(
        QStringLiteral(
            "SELECT transactions.id, transactions.`company id`, `company name`, `transaction number`,\n"
            "`transaction date`, `transaction description`, `cost centre number`, `object number`,\n"
            "`account description`, `line description`, d.amount\n")
            + linesOf(chunk.accountIds, chunk.from, chunk.to,
                QStringLiteral("JOIN companies ON companies.id = transactions.`company id`\n"
                               "JOIN accounts a ON a.id = d.`account id`\n"
                               "JOIN `cost centres` c ON c.id = a.`cost centre id`\n"
                               "JOIN objects o ON o.id = a.`object id`\n"))
            + QStringLiteral(
                "\nORDER BY `transaction date`, `transaction number`, transactions.id, d.`line nr`"),
        [&](const char* const* f, const unsigned long* n) {
            JournalLineRow row;
            row.entryId = int(RawField::number(f[0], n[0]));
            row.companyId = int(RawField::number(f[1], n[1]));
            row.companyName = RawField::text(f[2], n[2]);
            row.number = RawField::number(f[3], n[3]);
            row.date = RawField::date(f[4], n[4]);
            row.entryDescription = RawField::text(f[5], n[5]);
            row.accountNumber = RawField::text(f[6], n[6]) + QLatin1Char('.') + RawField::text(f[7], n[7]);
            row.accountDescription = RawField::text(f[8], n[8]);
            row.lineDescription = RawField::text(f[9], n[9]);
            row.amount = RawField::money(f[10], n[10]);
            rows.append(std::move(row));
        });
    return rows;
}
