#include "context/AccessStore.h"

#include "context/Conditions.h"
#include "db/Query.h"

QList<AccessRights> AccessStore::rightsOf(int userId, const QList<int>& companyIds, const QString& field)
{
    Query q;
    QStringList sql{QStringLiteral("SELECT `company id`, administrator, %1 AS level FROM access WHERE")
                        .arg(quotedIdentifier(field)),
        QStringLiteral("(`wp_user id` = :user)")};
    sql << idCondition(QStringLiteral("`company id`"), companyIds);
    q.setSql(sql);
    q.bind(QStringLiteral("user"), userId);
    q.open();
    QList<AccessRights> rights;
    for (q.first(); !q.eof(); q.next())
        rights << AccessRights{q.asInteger(QStringLiteral("company id")),
            q.asString(QStringLiteral("administrator")) == QLatin1String("Yes"),
            q.asString(QStringLiteral("level"))};
    return rights;
}

bool AccessStore::administers(int userId, int companyId)
{
    return Query::firstValue(
        {QStringLiteral("SELECT id FROM access WHERE"), QStringLiteral("(administrator = \"Yes\")"),
            QStringLiteral("and (`wp_user id` = :user)"), QStringLiteral("and (`company id` = :company)")},
        {{QStringLiteral("user"), userId}, {QStringLiteral("company"), companyId}}, QStringLiteral("id"))
        .has_value();
}

bool AccessStore::hasRow(int userId, int companyId)
{
    return Query::firstValue(
        {QStringLiteral("SELECT id FROM access WHERE"), QStringLiteral("(`company id` = :company)"),
            QStringLiteral("and (`wp_user id` = :user)")},
        {{QStringLiteral("company"), companyId}, {QStringLiteral("user"), userId}}, QStringLiteral("id"))
        .has_value();
}

ListStatement AccessStore::listOf(int companyId)
{
    return {
        {QStringLiteral("SELECT"),
            QStringLiteral("access.id, `company id`, `wp_user id`, user_login, user_email, `access company`, "
                           "administrator, `trial balance`, `journal entries`"),
            QStringLiteral("FROM wp_users, access WHERE"),
            QStringLiteral("(access.`wp_user id` = wp_users.ID)"),
            QStringLiteral("and (access.`company id` = :company)")},
        {{QStringLiteral("company"), companyId}}};
}
