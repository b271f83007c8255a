#include "setup/Company.h"

#include "context/BookStores.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "setup/Companies.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"

#include <QPushButton>

namespace {
EditDialogDesign companyDesign()
{
    EditDialogDesign d;
    d.name = QStringLiteral("frmCompany");
    d.caption = TfrmCompany::NewCaption;
    d.clientSize = {234, 112};
    d.groupName = QStringLiteral("gbCompanyDetails");
    d.groupCaption = QStringLiteral("Company details");
    d.groupRect = {8, 8, 217, 65};
    d.okRect = {136, 79, 81, 25};
    return d;
}
}

TfrmCompany::TfrmCompany(TfrmCompanies* list)
    : EditDialog(companyDesign(), EditCaption, list), gbCompanyDetails(group()),
      edtCompanyName(addEdit(QStringLiteral("edtCompanyName"), QStringLiteral("Company Name"), 8, 32, 201)),
      btnOk(okButton()), m_list(list)
{
    setEditedRow(QStringLiteral("companies"), m_list->listQuery(), {QStringLiteral("company name")},
        QStringLiteral("Company"));
    FormCreate();
}

bool TfrmCompany::checkInput()
{
    if (!ToetsText(edtCompanyName, 3, false, false, false))
        return false;
    // Names are unique over every company, also those the user cannot see.
    std::optional<int> self;
    if (isEditing())
        self = m_list->listQuery()->asInteger(QStringLiteral("id"));
    if (CompanyStore::nameTaken(edtCompanyName->text(), self))
        return refuse(edtCompanyName, QStringLiteral("Company name already in use."));
    return true;
}

void TfrmCompany::Save()
{
    const bool editing = isEditing();
    int id = editing ? m_list->listQuery()->asInteger(QStringLiteral("id")) : 0;
    RowWriter company(QStringLiteral("companies"));
    company.set(QStringLiteral("company name"), edtCompanyName->text());
    const SaveResult result = saveInTransaction(
        [&](Transaction&) {
            if (editing) {
                company.update(id);
                return;
            }
            // A new company and its creator's access row stand or fall together: a
            // company nobody may open could not be reached again from this program.
            id = company.insert();
            RowWriter(QStringLiteral("access"))
                .set(QStringLiteral("wp_user id"), m_list->books().session.userId())
                .set(QStringLiteral("company id"), id)
                .set(QStringLiteral("access company"), QStringLiteral("Yes"))
                .set(QStringLiteral("administrator"), QStringLiteral("Yes"))
                .insert();
        },
        // Both rows are committed together, so the company row answers for both.
        [&] { return id != 0 && company.isStored(id); },
        QStringLiteral("Company could not be saved.  Please try again."));
    if (result == SaveResult::Refused)
        return; // refused with its message; the dialog stays open
    // A failed save has said so; the dialog closes on the list as it now is.
    if (result == SaveResult::Saved)
        m_list->reloadAndSelect(QStringLiteral("id"), id);
    else
        m_list->Load(false);
    accept();
}
