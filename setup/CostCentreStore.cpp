#include "setup/CostCentreStore.h"

ListStatement CostCentreStore::listOf(int companyId)
{
    return {{QStringLiteral("SELECT id, `cost centre number`, `cost centre description`"),
                QStringLiteral("FROM `cost centres` WHERE"), QStringLiteral("(`company id` = :company)"),
                QStringLiteral("ORDER BY `cost centre number`")},
        {{QStringLiteral("company"), companyId}}};
}

bool CostCentreStore::numberTaken(int companyId, int number, std::optional<int> exceptId)
{
    return rowExists(QStringLiteral("cost centres"),
        {{QStringLiteral("cost centre number"), number}, {QStringLiteral("company id"), companyId}},
        exceptId);
}

bool CostCentreStore::descriptionTaken(int companyId, const QString& description, std::optional<int> exceptId)
{
    return rowExists(QStringLiteral("cost centres"),
        {{QStringLiteral("cost centre description"), description}, {QStringLiteral("company id"), companyId}},
        exceptId);
}
