#include "users/AccessLevels.h"

#include <QStringList>

std::optional<int> AccessLevelNumber(const QString& level)
{
    static const QStringList levels = {QStringLiteral("no access"), QStringLiteral("view"),
                                       QStringLiteral("create"), QStringLiteral("post")};
    const qsizetype index = levels.indexOf(level.toLower());
    return index < 0 ? std::nullopt : std::optional<int>(int(index));
}
