#pragma once
#include "context/Session.h"
#include "standard/ListWindow.h"

class Query;
class QGroupBox;
class QLabel;
class QPushButton;
class LinkLabel;
class StringGrid;

// The trial balance row whose object the accounts window shows.
struct TrialBalanceObject {
    int number = 0;
    QString description;
};

// "Accounts": the accounts that the object of the trial balance's current row has under
// the cost centres of the company selected in the filter bar, in cost centre order. The
// list is the main window's qrAccounts; its current row is the selected account.
class TfrmAccounts : public ListWindow {
    Q_OBJECT
public:
    TfrmAccounts(
        const BookContext& books, Query* list, const TrialBalanceObject& object, QWidget* parent = nullptr);
    const BookContext& books() const { return m_books; }
    const TrialBalanceObject& object() const { return m_object; }
    // The id of the object, looked up by its number; -1 when the chart no longer holds it.
    int objectId() const;

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

protected:
    void newClicked() override { btnNewAccountClick(); }
    void editClicked() override { btnEditAccountClick(); }

private:
    BookContext m_books;
    TrialBalanceObject m_object;
};

// The object of the trial balance's current row.
TrialBalanceObject trialBalanceObjectAt(const StringGrid& trialBalance);

// The accounts window of the trial balance's current row, after the checks that it may be
// opened there; answers whether it was opened (and the books may have changed).
bool openAccounts(const BookContext& books, Query* list, const StringGrid& trialBalance, QWidget* parent);
