#pragma once
#include "db/Query.h"
#include "standard/ComboItem.h"

#include <QDate>
#include <QList>
#include <optional>

// A row of `financial years` as the year dialog reads it.
struct FinancialYearRecord {
    int companyId = 0;
    QString description;
    QDate lastDay;
};

// A row of `financial periods`, deleted ones included.
struct FinancialPeriodRecord {
    int id = 0;
    int number = 0;
    QDate startDate;
    QDate endDate;
    QString description;
    QString open;
    QString deleted;
};

// The statements on `companies`: the books a user may choose in the filter bar, and the
// setup windows'. Each throws DbError.
namespace CompanyStore {
// The companies the user has a row of rights on, as the company box lists them.
QList<ComboItem> listedFor(int userId);
// Whether another company than `exceptId` has this name.
bool nameTaken(const QString& name, std::optional<int> exceptId);
// Counts a save of the company's years on its row: the saves of one company's years then
// wait for each other there, also across cluster nodes.
void countYearSave(int companyId);
// Counts a journal entry saved on the company's row. Year saves (which close periods) write
// the same row, so an entry save collides on it with another entry's numbering and with a
// close, on one server and across cluster nodes, where locking reads do not reach.
void countEntrySave(int companyId);
// Locks the company's row until the transaction ends.
void lock(int companyId);
}

// The statements on `financial years` and their `financial periods`. Each throws DbError.
namespace YearStore {
// The financial years of the companies, "company - year" as their text, in id order.
QList<ComboItem> listedFor(const QList<int>& companyIds);
// The company's years as their list shows them, in id order.
ListStatement listOf(int companyId);
std::optional<FinancialYearRecord> record(int yearId);
// The year a new-year window saved under its save key, if any.
std::optional<int> savedUnderKey(const QString& saveKey);
// Whether another year of the company than `exceptId` has this description.
bool descriptionTaken(int companyId, const QString& description, std::optional<int> exceptId);
// The last day of the company's latest year (the one with the latest last day), or none
// for a company without years. locking: read under a lock, inside a transaction.
std::optional<QDate> latestYearEnd(int companyId, bool locking);
// The first day of the live periods of the company's other years that meet start..end;
// none when no such period exists.
std::optional<QDate> firstOverlappingDay(int companyId, int yearId, QDate start, QDate end, bool locking);
// Every period of the year, deleted ones too, by number.
QList<FinancialPeriodRecord> periodsOf(int yearId, bool locking);
// The year of the same company that ended last before the year starts (its first live
// period, or its last day when it has none); none when the company has no earlier year.
std::optional<int> previousYear(int yearId);
}
