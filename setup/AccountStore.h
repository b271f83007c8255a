#pragma once
#include "db/Query.h"
#include "standard/ComboItem.h"

#include <QList>
#include <QString>
#include <optional>

// An account as the journal entry window looks it up by "cost centre.object".
struct AccountRow {
    int id = 0;
    int costCentreNumber = 0;
    QString costCentreDescription;
    int objectNumber = 0;
    QString accountDescription;
};

// The statements on `accounts` that windows outside the accounts' own run. Each throws
// DbError.
namespace AccountStore {
bool companyHasAccounts(int companyId);
QList<AccountRow> ofCompany(int companyId);
// The id of the chart's object with this number.
std::optional<int> objectIdOfNumber(int number);
// The company's cost centres by their description, in number order.
QList<ComboItem> costCentresOf(int companyId);
// The object's accounts in the company, as the accounts list shows them.
ListStatement listOf(int objectId, int companyId);
// Whether the company has an account, other than `exceptId`, for the object on the cost centre.
bool accountTaken(int objectId, int companyId, int costCentreId, std::optional<int> exceptId);
// Whether the account reads as written: its description compared letter for letter.
bool isStoredAs(int id, int costCentreId, int objectId, const QString& description);
}
