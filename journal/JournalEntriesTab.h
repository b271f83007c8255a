#pragma once
#include "context/Session.h"

#include <QWidget>

class DataGrid;
class Query;
class QLabel;
class QPushButton;
class QSplitter;
class QStandardItemModel;
class QTableView;

// Whether journal entries may be made in the selection: one company chosen, its selected
// period open (when `openPeriod`), the user's "create" right on its journal entries and
// accounts to book on. When not, says why (and puts the cursor in the box to change).
bool mayCreateJournalEntries(const BookContext& books, bool openPeriod);

// The journal entries tab: the selected period's entries of the selected books, read-only,
// and the button to a new entry.
class JournalEntriesTab : public QWidget {
    Q_OBJECT
public:
    JournalEntriesTab(const BookContext& books, QWidget* parent = nullptr);

    // Lists the selected books' entries. False, after saying why, when the user may not
    // view the journal entries of the selection.
    bool refresh();
    // Selects the next row whose number or description holds `text` (in any letter case),
    // going down or up; `again` moves on past the current row, else a current row that
    // matches stays. False when no row matches.
    bool findRow(const QString& text, bool forward, bool again);
    // Opens the window for a new entry after the checks that it may be typed; answers
    // whether it was opened (and the books may have changed).
    bool newJournalEntry();
    // The window for a new entry, filled with the selected entry's lines negated (a
    // reversal) or as they are (a copy); the same checks as a new entry first. Answers
    // whether it was opened.
    bool reverseJournalEntry();
    bool copyJournalEntry();
    // Selects the company's entry "JE <number>" in the list; false when it is not listed.
    bool selectEntry(const QString& companyName, qint64 number);

    QPushButton* const btnNewJournalEntry;
    QPushButton* const btnReverseJournalEntry;
    QPushButton* const btnCopyJournalEntry;
    QLabel* const lblJournalEntryInfo;
    DataGrid* const dbgJournalEntries;
    // The list's rows; the grid's selected row is its current row.
    Query* const qrTransactions;
    // Below the list, read-only: the lines of the list's current entry.
    QTableView* const dbgJournalEntryLines;

private:
    void showEntryLines();
    QSplitter* m_split;
    QStandardItemModel* m_lines;
    enum class Draft { Reversal, Copy };
    bool openFromSelected(Draft kind);
    BookContext m_books;
};
