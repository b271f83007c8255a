#pragma once
#include <QtGlobal>
#include <functional>
#include <optional>

// What recomputing a company's chain of journal entries found.
struct JournalVerification {
    qint64 total = 0; // the company's entries
    qint64 checked = 0; // entries recomputed before the answer (or the cancel)
    bool cancelled = false;
    // The number of the first entry, in number order, whose stored header or lines no
    // longer hash to its stored chain hash (or whose predecessor's changed); empty when every
    // entry checked is as saved.
    std::optional<qint64> firstAltered;
};

namespace JournalVerificationStore {
// Recomputes the chain hashes of the company's journal entries in number order, reading
// the entries and their lines as one stream, and compares each with the stored one.
// `progress(checked, total)` is told now and then; false from it cancels. Throws DbError.
JournalVerification verify(int companyId, const std::function<bool(qint64 checked, qint64 total)>& progress);
}
