#include "users/Access.h"
#include "users/AccessLevels.h"

#include "app/Main.h"
#include "db/Query.h"
#include "standard/LinkLabel.h"
#include "standard/Standard.h"
#include "users/AccessAddUser.h"
#include "users/ChangeUserAccess.h"

#include <QComboBox>
#include <QCoreApplication>

namespace {
std::function<void()> g_endProgramHandler;
}

void endProgram()
{
    if (g_endProgramHandler)
        g_endProgramHandler();
    else
        QCoreApplication::exit(0);
}

void setEndProgramHandler(std::function<void()> handler) { g_endProgramHandler = std::move(handler); }

int TfrmMain::AccessToInt(const QString& Access)
{
    const std::optional<int> result = accessLevelNumber(Access);
    if (!result) {
        // A level text the program does not know means the rights cannot be judged at all.
        Boodskap(QStringLiteral("Function AccessToInt not called corrected.  You called \"") + Access
            + QStringLiteral("\"."));
        endProgram();
    }
    return result.value_or(-1);
}

bool TfrmMain::TestAccess(const QString& field, const QString& access)
{
    // Without a listed company there is nothing the user may be granted.
    if (selectedCompanyIds().isEmpty())
        return false;
    QStringList sql{
        QStringLiteral("SELECT * FROM access WHERE"), QStringLiteral("(`wp_user id` = %1)").arg(UserID)};
    sql << companyCondition(QStringLiteral("`company id`"));
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
    qrAccess->open({QStringLiteral("SELECT id FROM access WHERE"),
        QStringLiteral("(administrator = \"Yes\")"), QStringLiteral("and (`wp_user id` = %1)").arg(UserID),
        QStringLiteral("and (`company id` = %1)").arg(*company)});
    if (!qrAccess->isEmpty())
        return true;
    Boodskap(QStringLiteral("You need administrator access to use this function."));
    return false;
}

// The access window ------------------------------------------------------------------

namespace {
SetupListDesign accessDesign()
{
    SetupListDesign d;
    d.name = QStringLiteral("frmAccess");
    d.caption = QStringLiteral("Access");
    d.clientSize = {777, 393};
    d.newButton = {QStringLiteral("btnAddUser"), QStringLiteral("Add user")};
    d.editButton = {QStringLiteral("btnChangeUserAccess"), QStringLiteral("Change User Access")};
    d.gridName = QStringLiteral("dbgAccess");
    d.gridRect = {180, 24, 589, 361};
    d.columns = {{QStringLiteral("user_login"), QStringLiteral("Username"), 72},
        {QStringLiteral("user_email"), QStringLiteral("Email"), 111},
        {QStringLiteral("access company"), QStringLiteral("Access Company"), 98},
        {QStringLiteral("administrator"), QStringLiteral("Administrator"), 82},
        {QStringLiteral("trial balance"), QStringLiteral("Trial Balance"), 81},
        {QStringLiteral("journal entries"), QStringLiteral("Journal Entries"), 88}};
    d.listQuery = frmMain->qrAccess;
    d.helpLeft = 748;
    d.helpPath = QStringLiteral("/blog/access");
    d.verse.box = {8, 288, 166, 97};
    d.verse.reference = QStringLiteral("John 14:6");
    d.verse.path = QStringLiteral("/john/14-6.htm");
    // King James Version.
    d.verse.text = QStringLiteral(
        "Jesus saith unto him, I am the way, the truth, and the life: no man cometh unto the "
        "Father, but by me.");
    d.verse.textSize = {154, 52};
    return d;
}
}

TfrmAccess::TfrmAccess(QWidget* parent)
    : SetupListWindow(accessDesign(), parent), btnAddUser(newButton()), btnChangeUserAccess(editButton()),
      dbgAccess(grid()), lblHelp(helpLink()), gbBibleVerse(verseBox()), lblBibleVerseLink(verseLink()),
      lblVerse(verseLabel()), qrAccess(new Query(this, QStringLiteral("qrAccess")))
{
    FormCreate();
}

void TfrmAccess::Load(bool OnCreateForm)
{
    loadList(
        {QStringLiteral("SELECT"),
            QStringLiteral("access.id, `company id`, `wp_user id`, user_login, user_email, `access company`, "
                           "administrator, `trial balance`, `journal entries`"),
            QStringLiteral("FROM wp_users, access WHERE"),
            QStringLiteral("(access.`wp_user id` = wp_users.ID)"),
            QStringLiteral("and (access.`company id` = %1)").arg(frmMain->selectedCompanyId().value())},
        OnCreateForm);
}

void TfrmAccess::btnAddUserClick()
{
    TfrmAccessAddUser dialog(this);
    dialog.exec();
}

void TfrmAccess::btnChangeUserAccessClick()
{
    if (!hasSelectedRow(QStringLiteral("No user selected.")))
        return;
    if (frmMain->qrAccess->asInteger(QStringLiteral("wp_user id")) == frmMain->UserID) {
        Boodskap(QStringLiteral("You cannot change your own access."));
        return;
    }
    TfrmChangeUserAccess dialog(this);
    dialog.exec();
}

void TfrmMain::acAccessExecute(QObject* Sender)
{
    // TestSetupAccess has told the user why when it refuses.
    if (!TestSetupAccess())
        return;
    {
        TfrmAccess window(this);
        window.setWindowTitle(QStringLiteral("Access - ") + cbCompany->currentText());
        window.exec();
    }
    // The administrator's own company list may have changed.
    RefreshFilters(Sender);
}
