#pragma once
// What an import decides without the database or a window: how the file's columns map to
// an entry's parts, how the rows become entries, and every problem found on the way,
// checked with the entry window's own rules.
#include "import/CsvFile.h"
#include "journal/JournalLogic.h"
#include "standard/Money.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class QSettings;

enum class DateFormat { DayMonthYear, YearMonthDay, MonthDayYear };

// Which column (0-based; -1 none) holds each part of an entry, and how its text reads.
struct ImportMapping {
    int entryKey = -1; // lines with the same key form one entry; without, date + description
    int date = -1;
    int description = -1; // the entry's
    int account = -1; // "cost centre.object"
    int lineDescription = -1;
    bool debitCredit = false; // a debit and a credit column instead of one signed amount
    int amount = -1;
    int debit = -1;
    int credit = -1;
    DateFormat dateFormat = DateFormat::DayMonthYear;
    QChar decimalSeparator = QLatin1Char('.');
    QChar thousandsSeparator; // null: none
    bool operator==(const ImportMapping&) const = default;
};

// Named mappings kept in the user's settings, under "import mappings/<name>".
QStringList savedMappingNames(QSettings& settings);
void saveMapping(QSettings& settings, const QString& name, const ImportMapping& mapping);
std::optional<ImportMapping> loadMapping(QSettings& settings, const QString& name);

// The date text as the format reads it (one- or two-digit day and month, four-digit year).
std::optional<QDate> readImportDate(const QString& text, DateFormat format);
// The amount text with the chosen separators; thousands separators only between groups of
// three digits. Empty when it is not an amount.
std::optional<Money> readImportAmount(const QString& text, QChar decimalSeparator, QChar thousandsSeparator);

// A period the entries may be dated in: the selected year's open periods.
struct ImportPeriod {
    int id = -1;
    QDate start;
    QDate end;
};

// One problem of the file: the line it is on, the column's name, the text found there.
struct ImportProblem {
    qsizetype line = 0;
    QString column;
    QString found;
    QString message;
    bool operator==(const ImportProblem&) const = default;
};

struct ImportLine {
    qsizetype fileLine = 0;
    int accountId = 0;
    QString description;
    Money amount;
};

struct ImportEntry {
    qsizetype fileLine = 0; // of its first line
    int periodId = -1;
    QDate date;
    QString description;
    QList<ImportLine> lines;
};

struct ImportCheck {
    QList<ImportEntry> entries; // in the order of their first line in the file
    QList<ImportProblem> problems; // in file order
    qsizetype lineCount = 0;
    bool cancelled = false;
};

// Reads and checks every row; entries are only usable when there are no problems.
// `progress(done, total)` is called now and then; answering false cancels.
ImportCheck checkImport(const CsvTable& table, const ImportMapping& mapping, const AccountLookup& accounts,
    const QList<ImportPeriod>& periods, const std::function<bool(qsizetype, qsizetype)>& progress = {});

// The mapping's own faults (a required part without a column), before any row is read.
QString mappingProblem(const ImportMapping& mapping);

// A column's name in messages: its heading, else "Column 3".
QString columnName(const CsvTable& table, int column);
