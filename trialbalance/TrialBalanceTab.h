#pragma once
#include "context/Session.h"
#include "standard/Money.h"

#include <QWidget>

class StringGrid;
class QPushButton;

// The trial balance tab: the grid of the selected books rolled up the chart of objects,
// the button to the accounts of its selected object and the export.
class TrialBalanceTab : public QWidget {
    Q_OBJECT
public:
    TrialBalanceTab(const BookContext& books, QWidget* parent = nullptr);

    // Reads the selected books afresh, keeping the selected row where it can. False,
    // after saying why, when the user may not view the trial balance of the selection.
    bool refresh();
    // Adds an amount just written into a row to the rows above it in the hierarchy.
    void MaakTotaleOpNaBo(int RowCounter, int Col, const Money& NewValue);
    // Writes the grid to a workbook and opens it.
    void exportTrialBalance();

    QPushButton* const btnAccounts;
    StringGrid* const sgTB;
    QPushButton* const btnExportTrialBalance;

signals:
    // What the window's status bar should say.
    void statusMessage(const QString& message);

private:
    BookContext m_books;
};
