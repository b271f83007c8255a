#pragma once
#include "db/Query.h"

#include <QString>
#include <optional>

// The statements on `cost centres` that the cost centre windows run. Each throws DbError.
namespace CostCentreStore {
// The company's cost centres as their list shows them, by number.
ListStatement listOf(int companyId);
// Whether another cost centre of the company than `exceptId` has this number or description;
// other companies may use the same ones.
bool numberTaken(int companyId, int number, std::optional<int> exceptId);
bool descriptionTaken(int companyId, const QString& description, std::optional<int> exceptId);
}
