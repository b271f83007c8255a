#pragma once
#include "db/Query.h"

#include <QList>
#include <QString>

// One company's row of a user's rights, as far as a rights check needs it.
struct AccessRights {
    int companyId = 0;
    bool administrator = false;
    QString level; // the asked right's level text, as stored
};

// The statements on `access` that the rights checks and the access windows run. Each throws DbError.
namespace AccessStore {
// The user's rows for the given companies, with the level of the right `field` (a column
// of `access`: "trial balance", "journal entries").
QList<AccessRights> rightsOf(int userId, const QList<int>& companyIds, const QString& field);
// Whether the user administers the company.
bool administers(int userId, int companyId);
// Whether the user has a row of rights on the company.
bool hasRow(int userId, int companyId);
// The company's rows of rights with their users' names, as the access list shows them.
ListStatement listOf(int companyId);
}
