#include "users/AccessAddUser.h"

#include "context/AccessStore.h"
#include "context/BookSelection.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "users/Access.h"
#include "users/UserStore.h"

#include <QPushButton>

namespace {
EditDialogDesign addUserDesign()
{
    EditDialogDesign d;
    d.name = QStringLiteral("frmAccessAddUser");
    d.caption = QStringLiteral("Access - Add User");
    d.clientSize = {233, 112};
    d.groupName = QStringLiteral("gbLoginDetails");
    d.groupCaption = QStringLiteral("User details");
    d.groupRect = {8, 8, 217, 65};
    d.okRect = {136, 79, 81, 25};
    return d;
}

const QString AlreadyAdded = QStringLiteral("The user was already added to the company.");
}

TfrmAccessAddUser::TfrmAccessAddUser(TfrmAccess* list)
    : EditDialog(addUserDesign(), QString(), list), gbLoginDetails(group()),
      edtUsername(addEdit(QStringLiteral("edtUsername"), QStringLiteral("Username / Email"), 8, 32, 201)),
      btnOk(okButton()), m_list(list)
{
    FormCreate();
}

bool TfrmAccessAddUser::checkInput()
{
    if (!ToetsText(edtUsername, 3, false, false, false))
        return false;
    // One user's name may be another's address: the older account is meant, as at login.
    const std::optional<UserRow> user = UserStore::byLoginOrEmail(edtUsername->text());
    if (!user)
        return refuse(edtUsername,
            QStringLiteral("Username / Email not found.  Please check details or create the user first."));
    m_userId = user->id;
    if (AccessStore::hasRow(m_userId, companyId()))
        return refuse(edtUsername, AlreadyAdded);
    return true;
}

void TfrmAccessAddUser::Save()
{
    int id = 0;
    // The levels are written, not left to the table, so that the rights checks can read
    // them whatever default an older table has.
    RowWriter access(QStringLiteral("access"));
    access.set(QStringLiteral("company id"), companyId())
        .set(QStringLiteral("wp_user id"), m_userId)
        .set(QStringLiteral("access company"), QStringLiteral("Yes"))
        .set(QStringLiteral("administrator"), QStringLiteral("No"))
        .set(QStringLiteral("trial balance"), QStringLiteral("No access"))
        .set(QStringLiteral("journal entries"), QStringLiteral("No access"));
    if (SaveResult::Saved
        != saveInTransaction(
            [&](Transaction&) { id = access.insert(); }, [&] { return id > 0 && access.isStored(id); })) {
        // Another administrator added the same user since the check, and the table's
        // unique key refused the second row: show the list as it now is.
        m_list->reloadAndSelect(QStringLiteral("wp_user id"), m_userId);
        return;
    }
    m_list->reloadAndSelect(QStringLiteral("id"), id);
    accept();
}

int TfrmAccessAddUser::companyId() const { return m_list->books().selection.companyId().value(); }
