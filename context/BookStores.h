#pragma once
#include "standard/ComboItem.h"

#include <QList>

// The statements that list the books a user may choose in the filter bar. Each throws
// DbError.
namespace CompanyStore {
// The companies the user has a row of rights on, as the company box lists them.
QList<ComboItem> listedFor(int userId);
}

namespace YearStore {
// The financial years of the companies, "company - year" as their text, in id order.
QList<ComboItem> listedFor(const QList<int>& companyIds);
}
