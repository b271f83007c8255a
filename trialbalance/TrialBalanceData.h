#pragma once
// The trial balance as plain data: what ReadTrialBalance takes from the database and
// BuildTrialBalanceTable turns into the grid's cells. No widget is involved.
#include "standard/Money.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVector>

// What is shown: the selected company, or every listed company under "All"; the selected
// financial year (-1 for none); and whether a period is selected, which brings the
// amount columns.
struct TrialBalanceRequest {
    QList<int> companyIds;
    int yearId = -1;
    bool periodSelected = false;
};

struct TBPeriod {
    int number = 0;
    QString description;
    QDate start, end;
};

// An object of the chart with its texts as read (an empty level stays empty).
struct TBObject {
    QString number, description, postingType, level, useForAccount, classification;
};

// One account row. With periods it stands for the accounts of one company that share a
// cost centre number and an object number, their amounts added.
struct TBAccount {
    int companyId = 0;
    QString companyName, costCentreNumber, costCentreDescription, objectNumber, accountDescription;
    QVector<Money> amounts; // opening balance, then one per period; empty without periods
    QList<int> accountIds; // the accounts the row stands for
    // What the object's posting type means for lines before the first period: a balance
    // sheet account opens the year with them, an income statement account brings them
    // forward into object 38000.
    bool balanceSheet = false, incomeStatement = false;
};

struct TrialBalanceData {
    bool withPeriods = false;
    QList<TBPeriod> periods; // the year's periods that are not deleted, by number
    QList<TBObject> objects; // the whole chart, by object number
    QList<TBAccount> accounts; // by company, then cost centre number
    Money profitBroughtForward; // income-statement result before the first period
};

// The grid's cells, row 0 the headings, as plain texts, with the account row of the data
// each grid row shows (-1 for an object row and the heading row).
class TrialBalanceTable {
public:
    TrialBalanceTable(int columns, int rows)
        : m_columns(columns), m_rows(rows), m_cells(columns * rows), m_accountOfRow(rows, -1)
    {
    }
    int columnCount() const { return m_columns; }
    int rowCount() const { return m_rows; }
    const QString& cell(int col, int row) const { return m_cells[row * m_columns + col]; }
    void setCell(int col, int row, const QString& text) { m_cells[row * m_columns + col] = text; }
    int accountOfRow(int row) const { return m_accountOfRow[row]; }
    void setAccountOfRow(int row, int account) { m_accountOfRow[row] = account; }

private:
    int m_columns, m_rows;
    QVector<QString> m_cells;
    QVector<int> m_accountOfRow;
};
