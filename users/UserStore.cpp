#include "users/UserStore.h"

#include "db/Query.h"

std::optional<UserRow> UserStore::byLoginOrEmail(const QString& text)
{
    Query q;
    q.setSql({QStringLiteral("SELECT ID, user_pass FROM wp_users WHERE"),
        QStringLiteral("(user_login = :username)"), QStringLiteral("or (user_email = :username)"),
        QStringLiteral("ORDER BY ID")});
    q.bind(QStringLiteral("username"), text);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    q.first();
    return UserRow{q.asInteger(QStringLiteral("ID")), q.asString(QStringLiteral("user_pass"))};
}

std::optional<QString> UserStore::loginName(int userId)
{
    const std::optional<QVariant> login
        = Query::firstValue({QStringLiteral("SELECT user_login FROM wp_users WHERE ID = :id")},
            {{QStringLiteral("id"), userId}}, QStringLiteral("user_login"));
    return login ? std::optional<QString>(login->toString()) : std::nullopt;
}

bool UserStore::valueTaken(const QString& column, const QString& value, bool locking)
{
    Query q;
    QStringList sql{
        QStringLiteral("SELECT ID FROM wp_users WHERE %1 = :value").arg(quotedIdentifier(column))};
    if (locking)
        sql << QStringLiteral("FOR UPDATE");
    q.setSql(sql);
    q.bind(QStringLiteral("value"), value);
    q.open();
    return !q.isEmpty();
}

bool UserStore::exists(int userId)
{
    return Query::firstValue({QStringLiteral("SELECT ID FROM wp_users WHERE ID = :id")},
        {{QStringLiteral("id"), userId}}, QStringLiteral("ID"))
        .has_value();
}

bool UserStore::claimed(const QString& claim)
{
    return Query::firstValue({QStringLiteral("SELECT claim FROM `registration claims` WHERE claim = :claim")},
        {{QStringLiteral("claim"), claim}}, QStringLiteral("claim"))
        .has_value();
}

void UserStore::claim(const QString& claim, const QDateTime& at)
{
    Query::execute(QStringLiteral("INSERT INTO `registration claims` (claim, `claimed at`) "
                                  "VALUES (:claim, :at) ON DUPLICATE KEY UPDATE `claimed at` = :at"),
        {{QStringLiteral(":claim"), claim}, {QStringLiteral(":at"), at}});
}
