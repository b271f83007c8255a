#include "context/Conditions.h"

QStringList idCondition(const QString& column, const QList<int>& ids, bool leadingBlank)
{
    const QString blank = leadingBlank ? QStringLiteral(" ") : QString();
    auto term = [&](int id) { return QStringLiteral("(%1 = %2)").arg(column).arg(id); };
    if (ids.isEmpty())
        return {blank + QStringLiteral("and ") + term(-1)};
    if (ids.size() == 1)
        return {blank + QStringLiteral("and ") + term(ids.first())};
    QStringList lines{blank + QStringLiteral("and (") + term(ids.first())};
    for (qsizetype i = 1; i < ids.size(); ++i)
        lines << blank + QStringLiteral("or ") + term(ids[i]);
    lines << QStringLiteral(")");
    return lines;
}
