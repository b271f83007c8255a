#pragma once
#include <QString>
#include <optional>

// The number of an access level text, compared without regard to letter case: "No access"
// 0, "View" 1, "Create" 2, "Post" 3; empty for any other text.
std::optional<int> AccessLevelNumber(const QString& level);
