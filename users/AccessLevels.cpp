#include "users/AccessLevels.h"

const QStringList& accessLevelNames()
{
    static const QStringList names = {QStringLiteral("No access"), QStringLiteral("View"),
        QStringLiteral("Create"), QStringLiteral("Post")};
    return names;
}

std::optional<int> accessLevelNumber(const QString& level)
{
    const QString wanted = level.toLower();
    const QStringList& names = accessLevelNames();
    for (int i = 0; i < names.size(); ++i)
        if (names[i].toLower() == wanted)
            return i;
    return std::nullopt;
}
