#include "journal/JournalEntries.h"

#include "context/BookSelection.h"
#include "db/Query.h"
#include "journal/JournalEntriesTab.h"
#include "journal/JournalEntry.h"
#include "journal/JournalLogic.h"
#include "journal/JournalStore.h"
#include "setup/AccountStore.h"
#include "standard/AnchorAll.h"
#include "standard/FrozenColumns.h"
#include "standard/LabeledEdit.h"
#include "standard/RowSearch.h"
#include "standard/Standard.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStandardItemModel>

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
      qrTransactions(new Query(this, QStringLiteral("qrTransactions"))),
      dbgJournalEntryLines(named(new QTableView, "dbgJournalEntryLines")),
      m_split(named(new QSplitter(Qt::Vertical, this), "spJournalEntries")),
      m_lines(new QStandardItemModel(this)), m_books(books)
{
    setObjectName(QStringLiteral("tsJournalEntries"));
    btnNewJournalEntry->setGeometry(8, 8, 154, 25);
    btnReverseJournalEntry->setGeometry(8, 39, 154, 25);
    btnCopyJournalEntry->setGeometry(8, 70, 154, 25);
    lblJournalEntryInfo->move(240, 48);
    // The list and, below it, its current entry's lines share the list's place; where the
    // user drags the line between them is kept.
    m_split->setGeometry(169, 8, 856, 401);
    m_split->addWidget(dbgJournalEntries);
    m_split->addWidget(dbgJournalEntryLines);
    m_split->setChildrenCollapsible(false);
    m_split->setStretchFactor(0, 3);
    m_split->setStretchFactor(1, 1);
    const QString splitKey = QStringLiteral("layout/tsJournalEntries/split");
    if (!m_split->restoreState(QSettings().value(splitKey).toByteArray()))
        m_split->setSizes({290, 111});
    connect(m_split, &QSplitter::splitterMoved, this,
        [this, splitKey] { QSettings().setValue(splitKey, m_split->saveState()); });
    dbgJournalEntries->setQuery(qrTransactions);
    dbgJournalEntries->setColumns(journalEntriesColumns());
    // The entry's company, number, date and description stay in sight beside its sums.
    new FrozenColumns(dbgJournalEntries, 4);
    new AnchorAll(m_split, 8, 8);

    m_lines->setHorizontalHeaderLabels({QStringLiteral("Line nr"), QStringLiteral("Account number"),
        QStringLiteral("Cost Centre Description"), QStringLiteral("Account Description"),
        QStringLiteral("Line Description"), QStringLiteral("Amount")});
    dbgJournalEntryLines->setModel(m_lines);
    dbgJournalEntryLines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbgJournalEntryLines->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgJournalEntryLines->setTabKeyNavigation(false);
    dbgJournalEntryLines->verticalHeader()->hide();
    dbgJournalEntryLines->verticalHeader()->setDefaultSectionSize(20);
    dbgJournalEntryLines->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int widths[] = {50, 100, 150, 170, 220, 90};
    for (int c = 0; c < 6; ++c)
        dbgJournalEntryLines->setColumnWidth(c, widths[c]);
    connectGuarded(qrTransactions, &Query::currentRowChanged, this, [this] { showEntryLines(); });
}

void JournalEntriesTab::showEntryLines()
{
    m_lines->removeRows(0, m_lines->rowCount());
    const int row = qrTransactions->currentRow();
    // The query is the design's, and other code runs its own statements on it.
    if (qrTransactions->isEmpty() || row < 0 || row >= qrTransactions->recordCount()
        || qrTransactions->fieldIndex(QStringLiteral("transaction number")) < 0
        || qrTransactions->fieldIndex(QStringLiteral("company name")) < 0)
        return;
    const QString number = qrTransactions->asString(QStringLiteral("transaction number"));
    const std::optional<StoredJournalEntry> entry = JournalStore::readByNumber(
        qrTransactions->asString(QStringLiteral("company name")), number.mid(3).toLongLong());
    if (!entry)
        return;
    for (const StoredJournalLine& l : entry->lines) {
        auto* amount = new QStandardItem(l.amount.toDisplayString());
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_lines->appendRow({new QStandardItem(QString::number(l.lineNr)), new QStandardItem(l.accountNumber),
            new QStandardItem(l.costCentreDescription), new QStandardItem(l.accountDescription),
            new QStandardItem(l.description), amount});
    }
}

bool JournalEntriesTab::selectEntry(const QString& companyName, qint64 number)
{
    if (!qrTransactions->locate(QStringLiteral("company name"), companyName,
            QStringLiteral("transaction number"), QStringLiteral("JE %1").arg(number)))
        return false;
    dbgJournalEntries->setCurrentIndex(qrTransactions->index(
        qrTransactions->currentRow(), qrTransactions->fieldIndex(QStringLiteral("transaction number"))));
    dbgJournalEntries->setFocus();
    return true;
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
    m_split->setVisible(!qrTransactions->isEmpty());
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
