#pragma once
#include "standard/EditDialog.h"

class TfrmAccess;
class LabeledEdit;
class QGroupBox;
class QPushButton;

// "Access - Add User": gives a registered user, found by login name or e-mail address, a
// row on the selected company: the company offered, no administrator, no levels yet.
class TfrmAccessAddUser : public EditDialog {
    Q_OBJECT
public:
    explicit TfrmAccessAddUser(TfrmAccess* list);

    // Finds the user and refuses one who already has a row for the company.
    bool checkInput() override;
    // Adds the row, selects it in the list and closes the dialog.
    void Save() override;

    QGroupBox* const gbLoginDetails;
    LabeledEdit* const edtUsername;
    QPushButton* const btnOk;

private:
    int companyId() const;
    TfrmAccess* m_list;
    int m_userId = 0; // the user CheckInput found
};
