#pragma once
#include "context/Session.h"
#include "print/PrintableTable.h"
#include "standard/Money.h"
#include "trialbalance/TrialBalanceData.h"

#include <QWidget>
#include <optional>

class StringGrid;
class QPushButton;

// Whether the user may view the trial balance of the selected books (every company under
// "All"); says why not when refusing. The trial balance and what opens from it ask this.
bool TestTrialBalanceViewAccess(const Session& session);

// Opens an exported workbook with the desktop's spreadsheet program, or says where it is.
void openExportedWorkbook(const QString& path);

// The trial balance tab: the grid of the selected books rolled up the chart of objects,
// the button to the accounts of its selected object and the export.
class TrialBalanceTab : public QWidget {
    Q_OBJECT
public:
    TrialBalanceTab(const BookContext& books, QWidget* parent = nullptr);

    // Reads the selected books afresh, keeping the selected row where it can. False,
    // after saying why, when the user may not view the trial balance of the selection.
    bool refresh();
    // Selects the next row whose number or description holds `text` (in any letter case),
    // going down or up; `again` moves on past the current row, else a current row that
    // matches stays. False when no row matches.
    bool findRow(const QString& text, bool forward, bool again);
    // Adds an amount just written into a row to the rows above it in the hierarchy.
    void MaakTotaleOpNaBo(int RowCounter, int Col, const Money& NewValue);
    // Writes the grid to a workbook and opens it.
    void exportTrialBalance();
    // Opens a window on the journal lines behind the current cell's figure; answers it, or
    // nullptr after saying why there is none.
    class TfrmJournalLines* openJournalLines();
    // What that window shows for the current cell; empty without periods or a body row.
    std::optional<struct JournalLinesSubject> linesSubject() const;
    // The grid as shown (visible columns, shading) with its total row, for the printer.
    PrintableTable printable() const;
    // "Print...": the print preview of the grid.
    void printTrialBalance();
    // "Save as PDF...": asks for a file and writes the grid to it.
    void saveTrialBalancePdf();
    // The profit and loss and the balance sheet of the selected books.
    void openStatements();

    QPushButton* const btnAccounts;
    StringGrid* const sgTB;
    QPushButton* const btnExportTrialBalance;
    QPushButton* const btnJournalLines;
    // Under the grid: each amount column's total over the top-level objects.
    StringGrid* const sgTBTotals;
    QPushButton* const btnStatements;
    QPushButton* const btnPrintTrialBalance;
    QPushButton* const btnSavePdfTrialBalance;

signals:
    // What the window's status bar should say.
    void statusMessage(const QString& message);
    // A journal lines window asks to show an entry in the journal entries list.
    void entryChosen(int companyId, const QString& companyName, qint64 number, const QDate& date);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BookContext m_books;
    // What the grid shows, as read: the journal lines behind a cell are worked out from it.
    TrialBalanceData m_data;
    TrialBalanceTable m_table{0, 0};
};
