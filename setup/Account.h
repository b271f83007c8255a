#pragma once
#include "standard/EditDialog.h"

class TfrmAccounts;
class LabeledEdit;
class QComboBox;

// The account dialog: "Edit Account" changes the list's selected account; any other
// caption ("New Account") opens the object of the trial balance's current row on a cost
// centre of the selected company.
class TfrmAccount : public EditDialog {
    Q_OBJECT
public:
    explicit TfrmAccount(TfrmAccounts* list);

    // The captions that are the dialog's modes.
    static inline const QString NewCaption = QStringLiteral("New Account");
    static inline const QString EditCaption = QStringLiteral("Edit Account");

    // The checks, in order; false when one refused (its message shown, the dialog open).
    bool checkInput() override;
    // Writes the one row in a transaction of its own (run again after a deadlock, as a
    // cluster reports a conflict with another node), reruns the list with the saved account
    // selected, closes the dialog. An account another user opened on the cost centre since
    // the check is refused with the check's message; any failure leaves the dialog open
    // with what was chosen and nothing written.
    void Save() override;

    QGroupBox* const gbAccountDetails;
    QComboBox* const cbCostCentre;
    LabeledEdit* const edtAccountDescription;
    QPushButton* const btnOk;

    static inline const QString AlreadyCreated
        = QStringLiteral("Account for this cost centre already created.");

private:
    std::optional<int> editedId() const;
    TfrmAccounts* m_list;
};
