#pragma once
#include <QString>
#include <QStringList>
#include <optional>

// The four access levels in their order, as they are shown and stored.
const QStringList& accessLevelNames();

// The number of an access level text, compared without regard to letter case: "No access"
// 0, "View" 1, "Create" 2, "Post" 3; empty for any other text.
std::optional<int> accessLevelNumber(const QString& level);
