#pragma once
#include "standard/EditDialog.h"

class TfrmCompanies;
class LabeledEdit;

// The company dialog: "New Company" creates a company with its creator as administrator,
// "Edit Company" renames the list's selected company.
class TfrmCompany : public EditDialog {
    Q_OBJECT
public:
    explicit TfrmCompany(TfrmCompanies* list);

    // The captions that are the dialog's modes.
    static inline const QString NewCaption = QStringLiteral("New Company");
    static inline const QString EditCaption = QStringLiteral("Edit Company");

    // The checks, in order; false when one refused (its message shown, the dialog open).
    bool checkInput() override;
    // Writes in one transaction, reruns the list and closes the dialog.
    void Save() override;

    QGroupBox* const gbCompanyDetails;
    LabeledEdit* const edtCompanyName;
    QPushButton* const btnOk;

private:
    TfrmCompanies* m_list;
};
