#include "journal/JournalEntries.h"

#include "app/Main.h"
#include "db/Query.h"
#include "journal/JournalEntry.h"
#include "journal/JournalLogic.h"
#include "standard/Standard.h"

#include <QComboBox>
#include <QLabel>

QList<GridColumn> journalEntriesColumns()
{
    return {{QStringLiteral("company name"), QStringLiteral("Company Name"), 95},
        {QStringLiteral("transaction number"), QStringLiteral("Journal Entry Number"), 117},
        {QStringLiteral("transaction date"), QStringLiteral("Journal Entry Date"), 108},
        {QStringLiteral("transaction description"), QStringLiteral("Journal Entry Description"), 129},
        {QStringLiteral("posted"), QStringLiteral("Posted"), 50},
        {QStringLiteral("created by"), QStringLiteral("Created By"), 63},
        {QStringLiteral("edited by"), QStringLiteral("Edited By"), 58},
        {QStringLiteral("posted by"), QStringLiteral("Posted By"), 68},
        {QStringLiteral("debit amount"), QStringLiteral("Debit Amount"), 78},
        {QStringLiteral("credit amount"), QStringLiteral("Credit Amount"), 77}};
}

void TfrmMain::RefreshFilterstsJournalEntries(QObject*)
{
    if (!TestAccess(QStringLiteral("journal entries"), QStringLiteral("view"))) {
        showTab(tsWelcome);
        Boodskap(QStringLiteral(
            "The selected company/companies does not all have view access to journal entries."));
        return;
    }
    std::optional<JournalPeriod> period;
    if (const int id = selectedId(cbFinancialPeriod); id >= 0) {
        qrFinancialPeriods->open({QStringLiteral("SELECT * FROM `financial periods` WHERE id = %1").arg(id)});
        // A period another workstation removed since the box was filled holds no entries.
        if (!qrFinancialPeriods->isEmpty())
            period = JournalPeriod{qrFinancialPeriods->asDate(QStringLiteral("start date")),
                qrFinancialPeriods->asDate(QStringLiteral("end date"))};
    }
    qrTransactions->open(journalEntriesSql(period, companyCondition(QStringLiteral("`company id`"))));
    // An empty list hides the grid and so uncovers "~ No journal entries ~" beneath it.
    dbgJournalEntries->setVisible(!qrTransactions->isEmpty());
}

void TfrmMain::btnNewJournalEntryClick(QObject* Sender)
{
    const std::optional<int> company = selectedCompanyId();
    if (!company) {
        Boodskap(QStringLiteral("Please select/create a spesific company first."));
        cbCompany->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (lblPeriodOpen->text() != QLatin1String("Period Open: Yes")) {
        Boodskap(TfrmJournalEntry::PeriodNotOpen);
        cbFinancialPeriod->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!TestAccess(QStringLiteral("journal entries"), QStringLiteral("create"))) {
        Boodskap(QStringLiteral(
            "You must have \"create\" access to journal entries on this company to access this "
            "function."));
        return;
    }
    qrAccounts->open({QStringLiteral("SELECT `object id`"), QStringLiteral("FROM accounts, `cost centres`"),
        QStringLiteral("WHERE"), QStringLiteral("(accounts.`cost centre id` = `cost centres`.id)"),
        QStringLiteral("and (`cost centres`.`company id` = %1)").arg(*company), QStringLiteral("LIMIT 1")});
    if (qrAccounts->isEmpty()) {
        Boodskap(QStringLiteral(
            "No accounts exist for this company.  Please create accounts before you can create "
            "journal entries."));
        return;
    }
    {
        TfrmJournalEntry frmJournalEntry(this);
        frmJournalEntry.exec();
    }
    RefreshFilters(Sender);
}
