#include "context/BookStores.h"

#include "context/Conditions.h"
#include "context/UserCompanies.h"
#include "db/Query.h"

namespace {
QList<ComboItem> items(Query& q, const QString& text)
{
    QList<ComboItem> result;
    for (q.first(); !q.eof(); q.next())
        result.append({q.asInteger(QStringLiteral("id")), q.asString(text)});
    return result;
}
}

QList<ComboItem> CompanyStore::listedFor(int userId)
{
    Query q;
    q.open(userCompaniesSql(userId));
    return items(q, QStringLiteral("company name"));
}

QList<ComboItem> YearStore::listedFor(const QList<int>& companyIds)
{
    Query q;
    QStringList sql{
        QStringLiteral("SELECT `financial years`.`id`, `financial year description`, `company name`, "
                       "CONCAT(`company name`, \" - \", `financial year description`) AS `full description`"),
        QStringLiteral("FROM `financial years`, `companies` WHERE"),
        QStringLiteral("(companies.id = `financial years`.`company id`)")};
    sql << idCondition(QStringLiteral("`company id`"), companyIds);
    sql << QStringLiteral("ORDER BY `id`");
    q.open(sql);
    return items(q, QStringLiteral("full description"));
}
