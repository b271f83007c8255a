#include "journal/JournalChain.h"

#include <cstdio>

JournalChainHash::JournalChainHash(QByteArrayView previousHash, QByteArrayView number, QByteArrayView date,
    QByteArrayView description, QByteArrayView companyId)
{
    for (const QByteArrayView f : {previousHash, number, date, description, companyId})
        field(f);
}

void JournalChainHash::addLine(
    QByteArrayView accountId, QByteArrayView amount, QByteArrayView description, QByteArrayView deleted)
{
    for (const QByteArrayView f : {accountId, amount, description, deleted})
        field(f);
}

QByteArray JournalChainHash::result() const { return m_hash.result().toHex(); }

void JournalChainHash::field(QByteArrayView text)
{
    char length[24];
    const int n = std::snprintf(length, sizeof length, "%lld:", static_cast<long long>(text.size()));
    m_hash.addData(QByteArrayView(length, n));
    m_hash.addData(text);
}
