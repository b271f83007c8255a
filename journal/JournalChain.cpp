#include "journal/JournalChain.h"

#include "standard/Money.h"

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

QByteArray JournalChainHash::amountText(const Money& amount)
{
    QByteArray text = amount.toDbString().toLatin1();
    const qsizetype point = text.indexOf('.');
    if (point < 0)
        return text + ".0000";
    return text + QByteArray(Money::Decimals - (text.size() - point - 1), '0');
}
