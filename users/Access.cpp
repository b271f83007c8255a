#include "users/Access.h"
#include "users/AccessLevels.h"

#include "app/Main.h"
#include "db/Query.h"
#include "standard/Standard.h"

#include <QComboBox>
#include <QCoreApplication>

namespace {
std::function<void()> g_endProgramHandler;
}

void EndProgram()
{
    if (g_endProgramHandler)
        g_endProgramHandler();
    else
        QCoreApplication::exit(0);
}

void SetEndProgramHandler(std::function<void()> handler) { g_endProgramHandler = std::move(handler); }

int TfrmMain::AccessToInt(const QString& Access)
{
    const std::optional<int> result = AccessLevelNumber(Access);
    if (!result) {
        // A level text the program does not know means the rights cannot be judged at all.
        Boodskap(QStringLiteral("Function AccessToInt not called corrected.  You called \"") + Access +
                 QStringLiteral("\"."));
        EndProgram();
    }
    return result.value_or(-1);
}

bool TfrmMain::TestAccess(const QString& field, const QString& access)
{
    // Without a listed company there is nothing the user may be granted.
    if (selectedCompanyIds().isEmpty())
        return false;
    QStringList sql{QStringLiteral("SELECT * FROM access WHERE"),
                    QStringLiteral("(`wp_user id` = %1)").arg(UserID)};
    sql << CompanyCondition(QStringLiteral("`company id`"));
    qrAccess->open(sql);
    if (qrAccess->isEmpty())
        return false;
    // An administrator holds every right on a company, also when "All" spans it together
    // with companies where the user needs the level itself.
    bool result = true;
    for (qrAccess->first(); !qrAccess->eof(); qrAccess->next()) {
        if (qrAccess->asString(QStringLiteral("administrator")) == QLatin1String("Yes"))
            continue;
        if (AccessToInt(qrAccess->asString(field)) < AccessToInt(access))
            result = false;
    }
    return result;
}

bool TfrmMain::TestSetupAccess()
{
    const std::optional<int> company = selectedCompanyId();
    if (!company) {
        Boodskap(QStringLiteral("Please select/create a spesific company first."));
        return false;
    }
    qrAccess->open({QStringLiteral("SELECT id FROM access WHERE"), QStringLiteral("(administrator = \"Yes\")"),
                    QStringLiteral("and (`wp_user id` = %1)").arg(UserID),
                    QStringLiteral("and (`company id` = %1)").arg(*company)});
    if (!qrAccess->isEmpty())
        return true;
    Boodskap(QStringLiteral("You need administrator access to use this function."));
    return false;
}
