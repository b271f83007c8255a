#pragma once
#include <QDate>
#include <QList>
#include <QString>

// A journal entry as it is written: its lines in order, amounts as the database reads them.
struct NewJournalLine {
    int accountId = 0;
    QString description;
    QString amount; // e.g. "-12.5000"
};

struct NewJournalEntry {
    qint64 number = 0;
    int companyId = 0;
    int createdBy = 0;
    QDate date;
    QString description;
    QString saveKey; // unique: a second save of the same entry collides on it
    QList<NewJournalLine> lines;
};

// The statements that number and write journal entries. Each throws DbError.
namespace JournalStore {
// Inside the saving transaction: locks the company's row, which every save of the company
// takes first and holds to its commit, so saves are numbered one after the other; then
// answers the number the next entry follows: the company's last entry number, or before
// its first entry the number of its newest cost centre, else 0. Throws DbError when the
// company no longer exists.
qint64 lastNumberForUpdate(int companyId);
// Writes the entry and its lines; answers the entry's id.
int insert(const NewJournalEntry& entry);
// Whether an entry with this id is stored (asked after a COMMIT whose reply was lost).
bool exists(int entryId);
}
