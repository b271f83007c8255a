#pragma once
#include "standard/Money.h"
#include "trialbalance/TrialBalanceCell.h"

#include <QDate>
#include <QList>
#include <QString>

// A piece of the lines behind a cell: the lines of some accounts in one calendar month (or
// the part of it a range holds), with their number and sum.
struct JournalLinesChunk {
    QList<int> accountIds;
    QDate from, to;
    qint64 count = 0;
    Money sum;
};

// One journal line as the journal lines window shows it.
struct JournalLineRow {
    int entryId = 0;
    int companyId = 0;
    QString companyName;
    qint64 number = 0;
    QDate date;
    QString entryDescription;
    QString accountNumber; // "cost centre number.object number", as typed in an entry
    QString accountDescription;
    QString lineDescription;
    Money amount;
};

// The statements of the journal lines window. Each throws DbError.
namespace JournalLinesStore {
// The ranges' lines cut into months, by date, each with its count and sum; months without
// lines are left out. Whole months are counted from the monthly totals the database keeps,
// so this costs one row per account and month, however many lines there are.
QList<JournalLinesChunk> chunks(const QList<TBLinesRange>& ranges);
// The chunk's lines per day: one chunk for each day that has any, by date.
QList<JournalLinesChunk> days(const JournalLinesChunk& chunk);
// The chunk's lines, by date, entry number and line number.
QList<JournalLineRow> lines(const JournalLinesChunk& chunk);
}
