#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QCryptographicHash>

class Money;

// The chain hash of one journal entry: SHA-256 over the previous entry's hash (empty for a
// company's first entry), then the entry's number, date (yyyy-mm-dd), description and
// company id, then per line in line order its account id, amount (as the database writes
// it, four decimals: "-12.5000"), line description and deleted flag. Every field goes in as
// its length in bytes, a colon and its UTF-8 text, so no two entries hash the same bytes.
// db/upgrade.sql computes exactly this in SQL for the entries stored before the chain.
class JournalChainHash {
public:
    JournalChainHash(QByteArrayView previousHash, QByteArrayView number, QByteArrayView date,
        QByteArrayView description, QByteArrayView companyId);
    void addLine(
        QByteArrayView accountId, QByteArrayView amount, QByteArrayView description, QByteArrayView deleted);
    // Lower-case hex, 64 characters.
    QByteArray result() const;
    // An amount as the database writes its amount column: always four decimals.
    static QByteArray amountText(const Money& amount);

private:
    void field(QByteArrayView text);
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
};
