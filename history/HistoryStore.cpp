#include "history/HistoryStore.h"

namespace {
const QString companyCondition = QStringLiteral("((`company id` = :company) or (`company id` IS NULL))");
}

QStringList HistoryStore::tableNames()
{
    return {QStringLiteral("access"), QStringLiteral("accounts"), QStringLiteral("companies"),
        QStringLiteral("cost centres"), QStringLiteral("financial periods"),
        QStringLiteral("financial years"), QStringLiteral("registration claims"),
        QStringLiteral("transaction details"), QStringLiteral("transactions")};
}

ListStatement HistoryStore::listOf(const HistoryFilter& filter)
{
    ListStatement s;
    s.lines = {QStringLiteral("SELECT id, DATE_FORMAT(`changed at`, \"%d/%m/%Y %T\") AS `changed at`,"),
        QStringLiteral("`login name`, `database account`, workstation, `table name`, `row id`, action"),
        QStringLiteral("FROM `change history`"), QStringLiteral("WHERE ") + companyCondition,
        QStringLiteral(" and (`changed at` >= :from) and (`changed at` < :to)")};
    s.bindings = {{QStringLiteral("company"), filter.companyId}, {QStringLiteral("from"), filter.from},
        {QStringLiteral("to"), filter.to.addDays(1)}};
    if (!filter.table.isEmpty()) {
        s.lines << QStringLiteral(" and (`table name` = :table)");
        s.bindings.append({QStringLiteral("table"), filter.table});
    }
    if (filter.login) {
        s.lines << QStringLiteral(" and (`login name` = :login)");
        s.bindings.append({QStringLiteral("login"), *filter.login});
    }
    s.lines << QStringLiteral("ORDER BY id DESC");
    return s;
}

QStringList HistoryStore::loginNames(int companyId)
{
    Query q;
    q.setSql({QStringLiteral("SELECT DISTINCT `login name` FROM `change history`"),
        QStringLiteral("WHERE ") + companyCondition, QStringLiteral("ORDER BY `login name`")});
    q.bind(QStringLiteral("company"), companyId);
    q.open();
    QStringList names;
    for (q.first(); !q.eof(); q.next())
        names << q.asString(QStringLiteral("login name"));
    return names;
}

std::optional<HistoryRecordValues> HistoryStore::values(qint64 id)
{
    Query q;
    q.setSql({QStringLiteral("SELECT `values before`, `values after` FROM `change history` WHERE id = :id")});
    q.bind(QStringLiteral("id"), id);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    return HistoryRecordValues{
        q.asString(QStringLiteral("values before")), q.asString(QStringLiteral("values after"))};
}
