#pragma once
#include "standard/Money.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

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

// A stored entry's line as the entry window shows it.
struct StoredJournalLine {
    int lineNr = 0;
    QString accountNumber; // "cost centre number.object number"
    QString costCentreDescription;
    QString accountDescription;
    QString description;
    Money amount;
};

struct StoredJournalEntry {
    int id = 0;
    qint64 number = 0;
    int companyId = 0;
    QDate date;
    QString description;
    QList<StoredJournalLine> lines; // in line order
};

// The end of a company's chain of entries, which the next entry follows.
struct JournalChainTail {
    qint64 lastNumber = 0; // see lastNumberForUpdate
    QString lastHash; // the chain hash of the company's last entry; empty before its first
};

// The statements that number and write journal entries. Each throws DbError.
namespace JournalStore {
// Inside the saving transaction: writes and so locks the company's row, which every save of the company
// takes first and holds to its commit, so saves are numbered and chained one after the
// other; then answers the number the next entry follows (the company's last entry number,
// or before its first entry the number of its newest cost centre, else 0) and the last
// entry's chain hash. Throws DbError when the company no longer exists.
JournalChainTail lastNumberForUpdate(int companyId);
// Writes the entry and its lines, chained after `tail`, which then ends with this entry;
// answers the entry's id. The entry's number must follow tail's.
int insert(const NewJournalEntry& entry, JournalChainTail& tail);
// The chain hash of the entry after `previousHash` (journal/JournalChain.h).
QString chainHash(const QString& previousHash, const NewJournalEntry& entry);
// The entry the journal list shows as "JE <number>" of the company of that name, with its
// lines; empty when there is none.
std::optional<StoredJournalEntry> readByNumber(const QString& companyName, qint64 number);
// Whether an entry with this id is stored (asked after a COMMIT whose reply was lost).
bool exists(int entryId);
// Whether an entry was saved under the window's save key.
bool savedUnderKey(const QString& saveKey);
}
