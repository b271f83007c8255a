#pragma once
// The profit and loss and the balance sheet as plain data, made from the trial balance's
// own table (its reading and its roll-up), so that every figure is a sum of trial balance
// cells. No widget is involved.
#include "trialbalance/TrialBalanceData.h"

#include <QStringList>
#include <optional>

enum class StatementKind { ProfitAndLoss, BalanceSheet };

// The posting type whose objects a statement shows: "Income Statement" or "Balance Sheet".
QString statementPostingType(StatementKind kind);

struct StatementLine {
    enum Kind { Object, Account, Result, Total };
    Kind kind = Object;
    QString objectNumber, objectDescription;
    std::optional<qint64> level; // an object row's level; an account row's object's level
    QString companyName, costCentreNumber, costCentreDescription, accountDescription;
    QVector<Money> amounts; // one per column
    QVector<std::optional<Money>> previous; // the previous year's figure per column, if any
};

struct StatementTable {
    StatementKind kind = StatementKind::ProfitAndLoss;
    QStringList columns; // the amount columns' headings
    QStringList previousColumns; // their previous-year headings (when compared)
    QList<StatementLine> lines; // objects with their accounts, then Result (balance sheet), Total
    qint64 deepestLevel = 0; // the deepest object level among the statement's objects
};

// Profit and loss: one column per period (its movement) and "Year to date". Balance sheet:
// one column per period end and "Year end", each the opening balance plus the movements up
// to that date, and the line "Result for the year to date" carrying the profit and loss
// total at that date, so that the last line, the check total, is 0 in balanced books.
// `trialBalance` is buildTrialBalanceTable(data), made once for both statements. Without
// periods the statement has no columns.
StatementTable buildStatement(
    const TrialBalanceData& data, const TrialBalanceTable& trialBalance, StatementKind kind);

// Adds the previous year's figure of every line and column: lines match by object number
// (and company and cost centre for accounts), columns by position; blank where the
// previous year has none.
void addPreviousYear(StatementTable& current, const std::optional<StatementTable>& previous);

// The lines shown down to `level`: objects of that level or higher, their accounts when
// `withAccounts`, and the Result and Total lines always.
QList<StatementLine> shownLines(const StatementTable& table, qint64 level, bool withAccounts);
