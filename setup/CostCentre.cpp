#include "setup/CostCentre.h"

#include "context/BookSelection.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "setup/CostCentreStore.h"
#include "setup/CostCentres.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"

#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {
EditDialogDesign costCentreDesign()
{
    EditDialogDesign d;
    d.name = QStringLiteral("frmCostCentre");
    d.caption = TfrmCostCentre::NewCaption;
    d.clientSize = {234, 153};
    d.groupName = QStringLiteral("gbCostCentreDetails");
    d.groupCaption = QStringLiteral("Cost Centre Details");
    d.groupRect = {8, 8, 217, 105};
    d.okRect = {136, 119, 81, 25};
    return d;
}
}

TfrmCostCentre::TfrmCostCentre(TfrmCostCentres* list)
    : EditDialog(costCentreDesign(), EditCaption, list), gbCostCentreDetails(group()),
      edtCostCentreNumber(
          addEdit(QStringLiteral("edtCostCentreNumber"), QStringLiteral("Cost Centre Number"), 8, 32, 201)),
      edtCostCentreDescription(addEdit(
          QStringLiteral("edtCostCentreDescription"), QStringLiteral("Cost Centre Description"), 8, 72, 201)),
      btnOk(okButton()), m_list(list)
{
    // Digits only, at most 8; tag 1 keeps IniForm from replacing this limit with its own.
    edtCostCentreNumber->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edtCostCentreNumber),
        QStringLiteral("The cost centre number takes digits only."));
    edtCostCentreNumber->setMaxLength(8);
    setTag(edtCostCentreNumber, 1);
    setEditedRow(QStringLiteral("cost centres"), m_list->listQuery(),
        {QStringLiteral("cost centre number"), QStringLiteral("cost centre description")},
        QStringLiteral("Cost centre"));
    FormCreate();
}

std::optional<int> TfrmCostCentre::editedId() const
{
    if (!isEditing())
        return std::nullopt;
    return m_list->listQuery()->asInteger(QStringLiteral("id"));
}

bool TfrmCostCentre::checkInput()
{
    if (!ToetsGetal(edtCostCentreNumber, false, false))
        return false;
    if (!ToetsText(edtCostCentreDescription, 3, false, false, false))
        return false;
    // Both are unique within the company only; another company may use the same ones.
    if (CostCentreStore::numberTaken(companyId(), edtCostCentreNumber->text().toInt(), editedId()))
        return refuse(edtCostCentreNumber, QStringLiteral("Cost Centre Number already in use."));
    if (CostCentreStore::descriptionTaken(companyId(), edtCostCentreDescription->text(), editedId()))
        return refuse(edtCostCentreDescription, QStringLiteral("Cost Centre Description already in use."));
    return true;
}

void TfrmCostCentre::Save()
{
    // The number as a number: "0042" is stored, and found again in the list, as 42.
    const int number = edtCostCentreNumber->text().toInt();
    RowWriter row(QStringLiteral("cost centres"));
    row.set(QStringLiteral("company id"), companyId())
        .set(QStringLiteral("cost centre number"), number)
        .set(QStringLiteral("cost centre description"), edtCostCentreDescription->text());
    const std::optional<int> edited = editedId();
    std::optional<int> id;
    // A database error other than a refusal reaches the general error handling, with the
    // dialog open and nothing written.
    const bool saved = SaveResult::Saved
        == saveInTransaction(
            [&](Transaction&) {
                if (edited)
                    row.update(*(id = edited));
                else
                    id = row.insert();
            },
            [&] { return id && row.isStored(*id); });
    if (!saved)
        return;
    m_list->reloadAndSelect(QStringLiteral("cost centre number"), number);
    accept();
}

int TfrmCostCentre::companyId() const { return m_list->books().selection.companyId().value(); }
