#include "journal/JournalVerification.h"

#include "db/Connection.h"
#include "db/Query.h"
#include "db/RawField.h"
#include "journal/JournalChain.h"

#include <QByteArray>

JournalVerification JournalVerificationStore::verify(
    int companyId, const std::function<bool(qint64, qint64)>& progress)
{
    JournalVerification result;
    result.total = Query::firstValue(
        {QStringLiteral("SELECT COUNT(*) AS entries FROM transactions"),
            QStringLiteral("WHERE (`company id` = :company) and (`transaction type` = \"JE\")")},
        {{QStringLiteral("company"), companyId}}, QStringLiteral("entries"))
                       .value_or(0)
                       .toLongLong();
    if (!progress(0, result.total)) {
        result.cancelled = true;
        return result;
    }
    const QByteArray company = QByteArray::number(companyId);
    QByteArray previousHash; // the chain as recomputed, not as stored
    QByteArray number, storedHash;
    std::optional<JournalChainHash> hash;
    bool stopped = false;
    // Closes the entry read so far: false when it does not match.
    auto finish = [&]() {
        if (!hash)
            return true;
        previousHash = hash->result();
        hash.reset();
        ++result.checked;
        if (previousHash != storedHash) {
            result.firstAltered = number.toLongLong();
            return false;
        }
        if (result.checked % 2000 == 0 && !progress(result.checked, result.total)) {
            result.cancelled = true;
            return false;
        }
        return true;
    };
    // One row per line (a row with empty line fields for an entry without lines), the
    // entries in number order and each entry's lines in line order, as the keys hold them.
    Connection::program().stream(
        QStringLiteral("SELECT t.`transaction number`, t.`transaction date`, t.`transaction description`,\n"
                       "t.`chain hash`, d.`account id`, d.amount, d.`line description`, d.deleted\n"
                       "FROM transactions t LEFT JOIN `transaction details` d ON d.`transaction id` = t.id\n"
                       "WHERE (t.`company id` = %1) and (t.`transaction type` = \"JE\")\n"
                       "ORDER BY t.`transaction number`, d.`line nr`")
            .arg(companyId),
        [&](const char* const* f, const unsigned long* n) {
            if (stopped)
                return;
            const QByteArrayView rowNumber = RawField::bytes(f[0], n[0]);
            if (!hash || rowNumber != number) {
                if (!finish()) {
                    stopped = true;
                    return;
                }
                number = rowNumber.toByteArray();
                storedHash = f[3] ? QByteArray(f[3], qsizetype(n[3])) : QByteArray();
                hash.emplace(previousHash, rowNumber, RawField::bytes(f[1], n[1]),
                    RawField::bytes(f[2], n[2]), company);
            }
            if (f[4])
                hash->addLine(RawField::bytes(f[4], n[4]), RawField::bytes(f[5], n[5]),
                    RawField::bytes(f[6], n[6]), RawField::bytes(f[7], n[7]));
        });
    if (!stopped && finish())
        progress(result.checked, result.total);
    return result;
}
