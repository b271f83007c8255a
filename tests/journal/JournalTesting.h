#pragma once
// What the journal tests share: small books with one company whose year holds today,
// the main window logged in on them, and typing into the entry window's grid.
#include "TestSupport.h"

#include "app/Main.h"
#include "journal/JournalColumns.h"
#include "journal/JournalEntry.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"

#include <QDateEdit>
#include <QTabWidget>

inline const QDate JournalToday(2026, 12, 10); // in the period 1 to 31 December 2026

// The shared world (a database, the main window, user "ann") with "Acme": cost centre
// 1000 "Head Office", the accounts 1000.200 "Bank" and 1000.300 "Sales", a year of twelve
// periods from 1 March 2026; ann is not its administrator and has the given right on
// journal entries. Logged in when the books are built.
struct JournalBooks : World {
    int company = 0, centre = 0, bank = 0, sales = 0, year = 0;
    int bankObject = 0, salesObject = 0;
    JournalBooks& books = *this;

    explicit JournalBooks(const QString& journalRight = "Create", bool login = true)
    {
        company = db.addCompany("Acme");
        db.addAccess(user, company, "Yes", "No", "View", journalRight);
        centre = db.addCostCentre(company, 1000, "Head Office");
        bankObject = db.addObject(200, "Bank", "Balance Sheet", 1);
        salesObject = db.addObject(300, "Sales", "Income Statement", 1);
        bank = db.addAccount(centre, bankObject, "Bank account");
        sales = db.addAccount(centre, salesObject, "Sales account");
        year = db.addYear(company, "2026", QDate(2026, 3, 1));
        if (login)
            w.Login(user);
    }
};

// Text arriving in a cell as its editor delivers each keystroke.
inline void typeCell(StringGrid* sg, int col, int row, const QString& text)
{
    sg->model()->setData(sg->model()->index(row - 1, col), text, Qt::EditRole);
}

inline void typeLine(
    TfrmJournalEntry& f, int row, const QString& account, const QString& description, const QString& amount)
{
    typeCell(f.sg, JE.AccountNumber, row, account);
    typeCell(f.sg, JE.LineDescription, row, description);
    typeCell(f.sg, JE.Amount, row, amount);
}

// A balanced two-line entry dated today.
inline void typeBalancedEntry(TfrmJournalEntry& f, const QString& description = "Cash sale")
{
    f.edtJournalEntryDescription->setText(description);
    typeLine(f, 1, "1000.200", "Deposit", "150.25");
    typeLine(f, 2, "1000.300", "Sale", "-150.25");
}

// What a user's click on the journal entries tab does.
inline void showJournalEntries(TfrmMain& w)
{
    if (w.pcMain->currentWidget() == w.tsJournalEntries)
        w.RefreshFilters();
    else
        w.pcMain->setCurrentWidget(w.tsJournalEntries);
}
