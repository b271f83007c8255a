#include "context/Session.h"

#include "context/AccessStore.h"
#include "context/BookSelection.h"
#include "db/Connection.h"
#include "standard/Standard.h"
#include "users/Access.h"

void Session::logIn(int userId, const QString& loginName)
{
    if (Connection* connection = Connection::current()) {
        try {
            connection->setProgramUser(userId, loginName);
        } catch (...) {
            logOut();
            throw;
        }
    }
    UserID = userId;
    m_loginName = loginName;
}

void Session::logOut()
{
    UserID = 0;
    m_loginName.clear();
    if (Connection* connection = Connection::current())
        connection->setProgramUser(0, QString());
}

bool Session::TestAccess(const QString& field, const QString& access) const
{
    const QList<int> companies = m_selection->companyIds();
    // Without a listed company there is nothing the user may be granted.
    if (companies.isEmpty())
        return false;
    const QList<AccessRights> rights = AccessStore::rightsOf(UserID, companies, field);
    if (rights.isEmpty())
        return false;
    // An administrator holds every right on a company, also when "All" spans it together
    // with companies where the user needs the level itself.
    bool result = true;
    for (const AccessRights& r : rights) {
        if (r.administrator)
            continue;
        if (accessToInt(r.level) < accessToInt(access))
            result = false;
    }
    return result;
}

bool Session::TestSetupAccess() const
{
    const std::optional<int> company = m_selection->companyId();
    if (!company) {
        Boodskap(QStringLiteral("Please select/create a spesific company first."));
        return false;
    }
    if (AccessStore::administers(UserID, *company))
        return true;
    Boodskap(QStringLiteral("You need administrator access to use this function."));
    return false;
}
