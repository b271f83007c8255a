#pragma once
#include "setup/SetupWindows.h"

class Query;
class QGroupBox;
class QLabel;
class QPushButton;
class LinkLabel;

// "Accounts": the accounts that the object of the trial balance's current row has under
// the cost centres of the company selected in the filter bar, in cost centre order. The
// list is the main window's qrAccounts; its current row is the selected account.
class TfrmAccounts : public SetupListWindow {
    Q_OBJECT
public:
    explicit TfrmAccounts(QWidget* parent = nullptr);

    void Load(bool OnCreateForm) override;
    void btnNewAccountClick();
    void btnEditAccountClick();

    QPushButton* const btnNewAccount;
    QPushButton* const btnEditAccount;
    DataGrid* const dbgAccounts;
    QLabel* const lblNoAccountExistForThisObject;
    LinkLabel* const lblHelp;
    QGroupBox* const gbBibleVerse;
    LinkLabel* const lblBibleVerseLink;
    QLabel* const lblVerse;
    // Work area of the account dialog: its check.
    Query* const qrAccounts;

protected:
    void newClicked() override { btnNewAccountClick(); }
    void editClicked() override { btnEditAccountClick(); }
};

// The id of the object on the trial balance's current row, looked up by its number in the
// main window's qrObjects; -1 when the chart no longer holds that number.
int currentTrialBalanceObjectId();
