#include "journal/JournalEntries.h"

#include "context/BookSelection.h"
#include "db/Query.h"
#include "journal/JournalEntriesTab.h"
#include "journal/JournalEntry.h"
#include "journal/JournalLogic.h"
#include "journal/JournalStore.h"
#include "setup/AccountStore.h"
#include "standard/AnchorAll.h"
#include "standard/LabeledEdit.h"
#include "standard/RowSearch.h"
#include "standard/Standard.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

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

JournalEntriesTab::JournalEntriesTab(const BookContext& books, QWidget* parent)
    : QWidget(parent), btnNewJournalEntry(named(
                           new QPushButton(QStringLiteral("New Journal Entry"), this), "btnNewJournalEntry")),
      btnReverseJournalEntry(
          named(new QPushButton(QStringLiteral("Reverse Journal Entry"), this), "btnReverseJournalEntry")),
      btnCopyJournalEntry(
          named(new QPushButton(QStringLiteral("Copy Journal Entry"), this), "btnCopyJournalEntry")),
      lblJournalEntryInfo(
          named(new QLabel(QStringLiteral("~ No journal entries ~"), this), "lblJournalEntryInfo")),
      dbgJournalEntries(named(new DataGrid(this), "dbgJournalEntries")),
      qrTransactions(new Query(this, QStringLiteral("qrTransactions"))), m_books(books)
{
    setObjectName(QStringLiteral("tsJournalEntries"));
    btnNewJournalEntry->setGeometry(8, 8, 154, 25);
    btnReverseJournalEntry->setGeometry(8, 39, 154, 25);
    btnCopyJournalEntry->setGeometry(8, 70, 154, 25);
    lblJournalEntryInfo->move(240, 48);
    dbgJournalEntries->setGeometry(169, 8, 856, 401);
    dbgJournalEntries->setQuery(qrTransactions);
    dbgJournalEntries->setColumns(journalEntriesColumns());
    new AnchorAll(dbgJournalEntries, 8, 8);
}

bool JournalEntriesTab::refresh()
{
    if (!m_books.session.TestAccess(QStringLiteral("journal entries"), QStringLiteral("view"))) {
        Boodskap(QStringLiteral(
            "The selected company/companies does not all have view access to journal entries."));
        return false;
    }
    // A period another workstation removed since the box was filled holds no entries.
    std::optional<JournalPeriod> period;
    if (const std::optional<SelectedPeriod> selected = m_books.selection.period())
        period = JournalPeriod{selected->start, selected->end};
    qrTransactions->open(
        journalEntriesSql(period, m_books.selection.companyCondition(QStringLiteral("`company id`"))));
    // An empty list hides the grid and so uncovers "~ No journal entries ~" beneath it.
    dbgJournalEntries->setVisible(!qrTransactions->isEmpty());
    return true;
}

bool mayCreateJournalEntries(const BookContext& books, bool openPeriod)
{
    const std::optional<int> company = books.selection.companyId();
    if (!company) {
        Boodskap(QStringLiteral("Please select/create a spesific company first."));
        books.selection.askCorrection(BookPart::Company);
        return false;
    }
    if (openPeriod && !books.selection.periodOpen()) {
        Boodskap(TfrmJournalEntry::PeriodNotOpen);
        books.selection.askCorrection(BookPart::Period);
        return false;
    }
    if (!books.session.TestAccess(QStringLiteral("journal entries"), QStringLiteral("create"))) {
        Boodskap(QStringLiteral(
            "You must have \"create\" access to journal entries on this company to access this "
            "function."));
        return false;
    }
    if (!AccountStore::companyHasAccounts(*company)) {
        Boodskap(QStringLiteral(
            "No accounts exist for this company.  Please create accounts before you can create "
            "journal entries."));
        return false;
    }
    return true;
}

bool JournalEntriesTab::findRow(const QString& text, bool forward, bool again)
{
    const int current = qrTransactions->isEmpty() ? -1 : qrTransactions->currentRow();
    const int from = again || current < 0 ? current : current + (forward ? -1 : 1);
    const int row = ::findRow(*qrTransactions,
        {qrTransactions->fieldIndex(QStringLiteral("transaction number")),
            qrTransactions->fieldIndex(QStringLiteral("transaction description"))},
        text, from, forward);
    if (row < 0)
        return false;
    dbgJournalEntries->setCurrentIndex(
        qrTransactions->index(row, qrTransactions->fieldIndex(QStringLiteral("transaction number"))));
    return true;
}

bool JournalEntriesTab::newJournalEntry()
{
    if (!mayCreateJournalEntries(m_books, true))
        return false;
    TfrmJournalEntry frmJournalEntry(m_books, window());
    frmJournalEntry.exec();
    return true;
}

bool JournalEntriesTab::reverseJournalEntry() { return openFromSelected(Draft::Reversal); }

bool JournalEntriesTab::copyJournalEntry() { return openFromSelected(Draft::Copy); }

bool JournalEntriesTab::openFromSelected(Draft kind)
{
    if (!mayCreateJournalEntries(m_books, true))
        return false;
    const int row = qrTransactions->currentRow();
    if (qrTransactions->isEmpty() || row < 0 || row >= qrTransactions->recordCount()) {
        Boodskap(QStringLiteral("Please select a journal entry first."));
        return false;
    }
    // The list shows "JE <number>" of a company by its name; the entry is read afresh.
    const QString companyName = qrTransactions->asString(QStringLiteral("company name"));
    if (companyName != m_books.selection.companyText()) {
        Boodskap(QStringLiteral(
            "The selected journal entry belongs to another company.  Please select its company "
            "first."));
        return false;
    }
    const qint64 number = qrTransactions->asString(QStringLiteral("transaction number")).mid(3).toLongLong();
    const std::optional<StoredJournalEntry> entry = JournalStore::readByNumber(companyName, number);
    if (!entry) {
        Boodskap(QStringLiteral("The selected journal entry no longer exists."));
        return false;
    }
    if (entry->lines.size() > MaxJournalLines) {
        Boodskap(QStringLiteral("This journal entry has %1 lines; the journal entry window holds at most %2.")
                     .arg(entry->lines.size())
                     .arg(MaxJournalLines));
        return false;
    }
    QList<JournalSourceLine> lines;
    for (const StoredJournalLine& line : entry->lines)
        lines.append({line.accountNumber, line.description, line.amount});
    TfrmJournalEntry frmJournalEntry(m_books, window());
    frmJournalEntry.fill(kind == Draft::Reversal ? reversalDraft(entry->number, entry->description, lines,
                             frmJournalEntry.edtJournalEntryDescription->maxLength())
                                                 : copyDraft(entry->description, lines));
    frmJournalEntry.exec();
    return true;
}
