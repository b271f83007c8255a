#pragma once
#include "context/Session.h"
#include "journal/JournalLogic.h"
#include "standard/DatePicker.h"
#include "standard/EditDialog.h"

#include <QHash>
#include <QPointer>
#include <QRect>
#include <QUuid>

struct JournalChainTail;

class AccountPicker;
class LabeledEdit;
class QLineEdit;
class Query;
class StringGrid;
class QGroupBox;
class QLabel;
class QPushButton;

// The window in which a user types one new journal entry: a date, a description and up
// to 100 lines of account number, line description and signed amount. It looks each
// account up and keeps the running total as the user types; OK checks and stores it.
class TfrmJournalEntry : public EditDialog {
    Q_OBJECT
public:
    // The refusal of an entry in a period that is not open.
    static inline const QString PeriodNotOpen
        = QStringLiteral("The current selected period is not open for transaction entry.  Please select an "
                         "open financial period.");
    TfrmJournalEntry(const BookContext& books, QWidget* parent = nullptr);

    void FormCreate(QObject* Sender = nullptr);
    // Every change of a cell through its editor, on each keystroke.
    void sgSetEditText(QObject* Sender, int ACol, int ARow, const QString& Value);
    void UpdateAccountDescriptions(QObject* Sender, int ACol, int ARow, const QString& Value);
    void UpdateAmount(QObject* Sender, int ACol, int ARow, const QString& Value);
    void btnOKClick(QObject* Sender = nullptr)
    {
        (void)Sender;
        btnOkClick();
    }

    // The checks in order; false when one refused (its message shown, the window open).
    bool checkInput() override;
    // Stores the entry in one transaction and closes the window; a failed save leaves
    // nothing, says so and keeps the window open with everything typed.
    void Save() override;

    // What is typed on rows 1 to 100.
    QList<JournalLine> Lines() const;
    // Whether the user typed anything: a description, a date of their own or any line.
    bool isTouched() const;
    // Escape and the window's close: a typed entry is thrown away only when the user says so.
    void reject() override;
    const AccountLookup& accounts() const { return m_accounts; }
    // Fills the window from a draft (a reversal or a copy of a stored entry); the user may
    // change anything before OK.
    void fill(const JournalDraft& draft);
    // The account picker of the account number column (F4, Alt+Down, or typing a name).
    AccountPicker* accountPicker() const { return m_picker; }

    QGroupBox* const gbJournalEntryDetails;
    QLabel* const lblTransactionNumber;
    QLabel* const lblJE;
    QLabel* const lblJournalEntryDate;
    DatePicker* const dtpJournalEntryDate;
    LabeledEdit* const edtJournalEntryDescription;
    QGroupBox* const gbJournalEntryLines;
    StringGrid* const sg;
    QLabel* const lblJournalTotal;
    QPushButton* const btnOK;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void done(int result) override;

private:
    // Opens the picker on the current account number cell, with its text so far.
    void offerAccounts();
    void takeAccount(const QString& number);
    // The number the new entry gets, read under a lock on the company's row so that
    // saves on other workstations wait for this one and then number after it; `tail` is
    // where the company's chain ends, which the new entry follows.
    int nextJournalEntryNumber(JournalChainTail& tail);
    BookContext m_books;
    int m_companyId = 0;
    int m_periodId = -1; // the period the checks found the date in
    // Made once per window: every attempt to save this entry carries it, so a second one
    // after an unconfirmed first cannot store the entry twice.
    const QString m_saveKey = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QDate m_startDate; // the date the window opened with
    AccountLookup m_accounts;
    AccountPicker* m_picker;
    QPointer<QLineEdit> m_editor; // the account number cell's open editor
    int m_editorRow = 0;
    QSize m_designSize; // the laid-out size; the window only grows from it
    QHash<QWidget*, QRect> m_designGeometry; // what follows the window's corner, as laid out
};
