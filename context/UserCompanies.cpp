#include "context/UserCompanies.h"

QStringList userCompaniesSql(int UserID)
{
    return {QStringLiteral("SELECT companies.id, `company name`"),
        QStringLiteral("FROM access, companies WHERE"),
        QStringLiteral("(access.`wp_user id` = %1)").arg(UserID),
        QStringLiteral("and (access.`company id` = companies.id)"),
        QStringLiteral("and (access.`access company` = \"Yes\")"), QStringLiteral("ORDER BY companies.id")};
}
