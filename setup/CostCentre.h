#pragma once
#include "standard/EditDialog.h"

class TfrmCostCentres;
class LabeledEdit;

// The cost centre dialog: "Edit Cost Centre" changes the list's selected cost centre; any
// other caption ("New Cost Centre") adds one to the selected company.
class TfrmCostCentre : public EditDialog {
    Q_OBJECT
public:
    explicit TfrmCostCentre(TfrmCostCentres* list);

    // The captions that are the dialog's modes.
    static inline const QString NewCaption = QStringLiteral("New Cost Centre");
    static inline const QString EditCaption = QStringLiteral("Edit Cost Centre");

    // The checks, in order; false when one refused (its message shown, the dialog open).
    bool checkInput() override;
    // Writes the one row, reruns the list with the saved row selected, closes the dialog.
    // A database error leaves the dialog open with what was typed.
    void Save() override;

    QGroupBox* const gbCostCentreDetails;
    LabeledEdit* const edtCostCentreNumber;
    LabeledEdit* const edtCostCentreDescription;
    QPushButton* const btnOk;

private:
    int companyId() const;
    std::optional<int> editedId() const;
    TfrmCostCentres* m_list;
};
