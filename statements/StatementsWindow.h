#pragma once
#include "context/Session.h"
#include "print/PrintableTable.h"
#include "statements/Statements.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class StringGrid;

// The profit and loss and the balance sheet of the selected books and year, from the
// trial balance's reading and roll-up, down to a chosen level of the chart; printed,
// saved as PDF or exported like the trial balance.
class TfrmStatements : public QDialog {
    Q_OBJECT
public:
    TfrmStatements(const BookContext& books, QWidget* parent = nullptr);

    // Reads the books. False, after saying why, when the user may not view the trial
    // balance of the selection or no year with periods is selected.
    bool load();
    // The statement on the shown page, as the printer takes it.
    PrintableTable printable() const;

    QTabWidget* const pcStatements;
    QWidget* const tsProfitAndLoss;
    QWidget* const tsBalanceSheet;
    StringGrid* const sgProfitAndLoss;
    StringGrid* const sgBalanceSheet;
    QComboBox* const cbStatementLevel;
    QCheckBox* const chkStatementAccounts;
    QCheckBox* const chkPreviousYear;
    QPushButton* const btnPrint;
    QPushButton* const btnSavePdf;
    QPushButton* const btnExportStatement;
    QLabel* const lblStatementBooks;

private:
    void showStatements();
    void showStatement(StringGrid& grid, const StatementTable& table);
    // Reads the previous year once, when the comparison is first asked for.
    void readPreviousYear();
    StringGrid& shownGrid() const;
    QString shownTitle() const; // "Profit and Loss" or "Balance Sheet"
    void exportStatement();

    BookContext m_books;
    StatementTable m_profitAndLoss, m_balanceSheet;
    bool m_previousRead = false;
    // Per grid row (0 the headings) of each grid, the line it shows.
    QList<StatementLine> m_shownProfitAndLoss, m_shownBalanceSheet;
};
