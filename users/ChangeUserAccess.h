#pragma once
#include "standard/EditDialog.h"

class TfrmAccess;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// "Change User Access": the four settings of the access list's selected row.
class TfrmChangeUserAccess : public EditDialog {
    Q_OBJECT
public:
    explicit TfrmChangeUserAccess(TfrmAccess* list);

    // Both levels must be chosen: a row without one could not be read by the rights checks.
    bool checkInput() override;
    // Stores the four settings, keeps the row selected in the list and closes the dialog.
    void Save() override;
    void Button1Click() { btnOkClick(); }

    QLabel* const lblUser;
    QGroupBox* const gbMainAccess;
    QCheckBox* const cbAccessCompany;
    QCheckBox* const cbAdministrator;
    QGroupBox* const gbAccessItems;
    QLabel* const lblTrialBalance;
    QComboBox* const cbTrialBalance;
    QLabel* const lblJournalEntries;
    QComboBox* const cbJournalEntries;
    QPushButton* const Button1;

private:
    TfrmAccess* m_list;
    int m_id = 0; // the access row being changed
};
