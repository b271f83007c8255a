#pragma once
// The rules of a financial year's periods on plain texts, as the period grid holds them:
// what Calculate fills in and the checks OK runs on the rows. No widget, no database.
#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// Columns of the period grid; row n (1 to MaxPeriods) is period number n.
enum PeriodColumn { PeriodNumberColumn = 0, StartDateColumn, EndDateColumn, DescriptionColumn, OpenColumn };
inline constexpr int MaxPeriods = 18;
inline constexpr int CalculatedPeriods = 12;

// The texts of one grid row, columns 1 to 4, exactly as typed.
struct PeriodRow {
    QString startDate;
    QString endDate;
    QString description;
    QString open;
    QString text(int column) const;
    // Every cell the empty text; a cell of spaces counts as filled.
    bool isEmpty() const;
    bool operator==(const PeriodRow&) const = default;
};

// Calculate: twelve periods from firstDay. Period 1 runs to the end of firstDay's month
// (a part month when firstDay is not the 1st), periods 2 to 12 are whole calendar months;
// descriptions "Period 1" to "Period 12", all open.
QList<PeriodRow> calculatePeriods(const QDate& firstDay);

// The first refused check: its grid cell and message.
struct PeriodRefusal {
    int column = 0;
    int row = 0;
    QString message;
};

struct PeriodCheck {
    int lastRow = 0; // the year's periods are rows 1 to lastRow
    std::optional<PeriodRefusal> refusal; // set when a row is refused
};

// Runs OK's checks on rows (rows[0] is grid row 1; missing rows count as empty), row by
// row, stopping at the first failure. previousYearEnd: for a new year of a company that
// already has years, the last day of its latest year; period 1 must start the day after.
PeriodCheck checkPeriodRows(const QList<PeriodRow>& rows, std::optional<QDate> previousYearEnd);
