#include "journal/JournalVerification.h"

#include "db/Connection.h"
#include "db/Query.h"
#include "db/RawField.h"
#include "journal/JournalChain.h"

#include <QByteArray>
#include <algorithm>
#include <cstdlib>
#include <vector>

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
    // The entry's lines as they come, put in line order when the entry is closed.
    struct Line {
        qint64 nr;
        QByteArray account, amount, description, deleted;
    };
    std::vector<Line> lines;
    bool stopped = false;
    // Closes the entry read so far: false when it does not match.
    auto finish = [&]() {
        if (!hash)
            return true;
        std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) { return a.nr < b.nr; });
        for (const Line& l : lines)
            hash->addLine(l.account, l.amount, l.description, l.deleted);
        lines.clear();
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
    // entries in number order as their key holds them, so the server streams from the first
    // row on; each entry's few lines are put in order here. Sorted by the server, the join
    // of a large company's lines was set aside whole first, for longer than a read may wait.
    Connection::program().stream(
        QStringLiteral(
            "SELECT t.`transaction number`, t.`transaction date`, t.`transaction description`,\n"
            "t.`chain hash`, d.`line nr`, d.`account id`, d.amount, d.`line description`, d.deleted\n"
            "FROM transactions t FORCE INDEX (`company type number`)\n"
            "LEFT JOIN `transaction details` d ON d.`transaction id` = t.id\n"
            "WHERE (t.`company id` = %1) and (t.`transaction type` = \"JE\")\n"
            "ORDER BY t.`transaction number`")
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
            // Any line number a client stored, negative ones too.
            if (f[4])
                lines.push_back({std::strtoll(f[4], nullptr, 10), RawField::bytes(f[5], n[5]).toByteArray(),
                    RawField::bytes(f[6], n[6]).toByteArray(), RawField::bytes(f[7], n[7]).toByteArray(),
                    RawField::bytes(f[8], n[8]).toByteArray()});
        });
    if (!stopped && finish())
        progress(result.checked, result.total);
    return result;
}
