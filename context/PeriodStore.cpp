#include "context/PeriodStore.h"

#include "context/Conditions.h"
#include "db/Query.h"

namespace {
const QString Columns
    = QStringLiteral("SELECT id, `financial year id`, `period description`, `start date`, `end date`, "
                     "`period open` FROM `financial periods` WHERE");

StoredPeriod row(const Query& q)
{
    return {q.asInteger(QStringLiteral("id")), q.asInteger(QStringLiteral("financial year id")),
        q.asString(QStringLiteral("period description")), q.asDate(QStringLiteral("start date")),
        q.asDate(QStringLiteral("end date")), q.asString(QStringLiteral("period open"))};
}

QList<StoredPeriod> rows(Query& q)
{
    QList<StoredPeriod> result;
    for (q.first(); !q.eof(); q.next())
        result << row(q);
    return result;
}
}

std::optional<StoredPeriod> PeriodStore::byId(int id)
{
    Query q;
    q.setSql({Columns, QStringLiteral("(id = :id)")});
    q.bind(QStringLiteral("id"), id);
    q.open();
    return q.isEmpty() ? std::nullopt : std::optional<StoredPeriod>(row(q));
}

QList<StoredPeriod> PeriodStore::ofYear(int yearId)
{
    Query q;
    q.setSql({Columns, QStringLiteral("(`financial year id` = :year)"),
        QStringLiteral("and (`period deleted` = \"No\")"), QStringLiteral("ORDER BY `period number`")});
    q.bind(QStringLiteral("year"), yearId);
    q.open();
    return rows(q);
}

std::optional<StoredPeriod> PeriodStore::containing(const QDate& day, const QList<int>& yearIds)
{
    Query q;
    QStringList sql{
        Columns, QStringLiteral("(`start date` <= :day)"), QStringLiteral("and (`end date` >= :day)")};
    sql << idCondition(QStringLiteral("`financial year id`"), yearIds, false);
    // A deleted period no longer belongs to its year; among several periods containing
    // the day the first year decides, so the choice does not rest on the server.
    sql << QStringLiteral("and (`period deleted` = \"No\")")
        << QStringLiteral("ORDER BY `financial year id`, `period number`");
    q.setSql(sql);
    q.bind(QStringLiteral("day"), day);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    q.first();
    return row(q);
}

std::optional<QString> PeriodStore::openFlagForUpdate(int id)
{
    const std::optional<QVariant> open = Query::firstValue(
        {QStringLiteral("SELECT `period open` FROM `financial periods` WHERE (id = :id) FOR UPDATE")},
        {{QStringLiteral("id"), id}}, QStringLiteral("period open"));
    return open ? std::optional<QString>(open->toString()) : std::nullopt;
}
