#include "setup/Account.h"

#include "context/BookSelection.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "setup/AccountStore.h"
#include "setup/Accounts.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"

#include <QComboBox>
#include <QPushButton>

namespace {
EditDialogDesign accountDesign()
{
    EditDialogDesign d;
    d.name = QStringLiteral("frmAccount");
    d.caption = TfrmAccount::NewCaption;
    d.clientSize = {234, 151};
    d.groupName = QStringLiteral("gbAccountDetails");
    d.groupCaption = QStringLiteral("Account Details");
    d.groupRect = {8, 8, 217, 105};
    d.okRect = {136, 119, 81, 25};
    return d;
}
}

TfrmAccount::TfrmAccount(TfrmAccounts* list)
    : EditDialog(accountDesign(), EditCaption, list), gbAccountDetails(group()),
      cbCostCentre(addComboBox(QStringLiteral("cbCostCentre"), QStringLiteral("lblCostCentre"),
          QStringLiteral("Cost Centre"), 8, 32, 201)),
      edtAccountDescription(addEdit(
          QStringLiteral("edtAccountDescription"), QStringLiteral("Account Description"), 8, 72, 201)),
      btnOk(okButton()), m_list(list)
{
    setEditedRow(QStringLiteral("accounts"), list->listQuery(),
        {QStringLiteral("cost centre id"), QStringLiteral("object id"),
            QStringLiteral("account description")},
        QStringLiteral("Account"));
    FormCreate();
    LoadItemsToCB(
        cbCostCentre, AccountStore::costCentresOf(list->books().selection.companyId().value()), false);
    cbCostCentre->setCurrentIndex(-1);
    // A new account starts with its object's description.
    edtAccountDescription->setText(list->object().description);
}

std::optional<int> TfrmAccount::editedId() const
{
    if (!isEditing())
        return std::nullopt;
    return m_list->listQuery()->asInteger(QStringLiteral("id"));
}

bool TfrmAccount::checkInput()
{
    if (cbCostCentre->currentIndex() < 0)
        return refuse(cbCostCentre, QStringLiteral("Select a cost centre."));
    if (!ToetsText(edtAccountDescription, 3, false, false, false))
        return false;
    // One account per object and cost centre; the account being changed is no collision.
    if (AccountStore::accountTaken(m_list->objectId(), m_list->books().selection.companyId().value(),
            selectedId(cbCostCentre), editedId())) {
        // The focus stays where it is.
        Boodskap(AlreadyCreated, false);
        return false;
    }
    return true;
}

void TfrmAccount::Save()
{
    const std::optional<int> edited = editedId();
    const int costCentreId = selectedId(cbCostCentre);
    const int objectId = m_list->objectId();
    const QString description = edtAccountDescription->text();
    int id = edited.value_or(0);
    auto write = [&](Transaction&) {
        RowWriter row(QStringLiteral("accounts"));
        row.set(QStringLiteral("cost centre id"), costCentreId)
            .set(QStringLiteral("object id"), objectId)
            .set(QStringLiteral("account description"), description);
        if (edited)
            row.update(id);
        else
            id = row.insert();
    };
    // Asked only when the reply to COMMIT was lost: is the row there as written?
    auto committed = [&] { return AccountStore::isStoredAs(id, costCentreId, objectId, description); };
    // Another workstation may have opened the object on this cost centre after the check
    // (the unique key refuses ours, and the check, run again, says so) or changed the
    // edited account meanwhile: either way nothing is written and the dialog stays open.
    if (saveInTransaction(write, committed) != SaveResult::Saved)
        return;
    m_list->reloadAndSelect(QStringLiteral("id"), id);
    accept();
}
