#include "trialbalance/TrialBalanceReader.h"

#include "context/Conditions.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "standard/Dates.h"

#include <QHash>
#include <algorithm>
#include <vector>

// A million journal lines cannot be summed per period by the server fast enough: every
// line needs its entry's date, and the server pays for that join line by line. So the
// dates of the entries and the lines of the selected accounts are streamed as they lie
// in their indexes, and the program joins and adds them itself, exactly, in Money.

namespace {

// A date as the number yyyymmdd, which orders as the dates do.
int dateKey(const QDate& date) { return date.year() * 10000 + date.month() * 100 + date.day(); }

int dateKey(const char* text, unsigned long length)
{
    // The server writes DATE values as "yyyy-mm-dd".
    if (length != 10)
        throw DbError(QStringLiteral("Unexpected date from the server: %1").arg(QLatin1String(text, length)));
    auto digits = [text](int from, int count) {
        int v = 0;
        for (int i = from; i < from + count; ++i)
            v = v * 10 + (text[i] - '0');
        return v;
    };
    return digits(0, 4) * 10000 + digits(5, 2) * 100 + digits(8, 2);
}

int toInt(const char* text, unsigned long length)
{
    int v = 0;
    for (unsigned long i = 0; i < length; ++i)
        v = v * 10 + (text[i] - '0');
    return v;
}

Money amountFromDb(const char* text, unsigned long length)
{
    const auto m = Money::parseDb(text, qsizetype(length));
    if (!m)
        throw DbError(
            QStringLiteral("Unexpected amount from the server: %1").arg(QLatin1String(text, length)));
    return *m;
}

// A cell's text as read; NULL (an object without a level) stays empty.
QString text(const Query& q, int row, int column)
{
    const QVariant v = q.value(row, column);
    return v.isNull() ? QString() : v.toString();
}

} // namespace

QList<TBPeriod> readPeriods(int yearId)
{
    Query q;
    q.open({QStringLiteral("SELECT * FROM `financial periods` WHERE"),
        QStringLiteral("(`financial year id` = %1)").arg(yearId),
        QStringLiteral("and (`period deleted` = \"No\")"), QStringLiteral("ORDER BY `period number`")});
    QList<TBPeriod> periods;
    for (q.first(); !q.eof(); q.next())
        periods.append(
            {q.asInteger(QStringLiteral("period number")), q.asString(QStringLiteral("period description")),
                q.asDate(QStringLiteral("start date")), q.asDate(QStringLiteral("end date"))});
    return periods;
}

namespace {

QList<TBObject> readObjects()
{
    Query q;
    q.open({QStringLiteral("SELECT `object number`, `object description`, `posting type`, level, "
                           "`use for account`, classification"),
        QStringLiteral("FROM objects"), QStringLiteral("ORDER BY `object number`")});
    QList<TBObject> objects;
    objects.reserve(q.recordCount());
    for (int r = 0; r < q.recordCount(); ++r)
        objects.append(
            {text(q, r, 0), text(q, r, 1), text(q, r, 2), text(q, r, 3), text(q, r, 4), text(q, r, 5)});
    return objects;
}

// The accounts of the selected companies, one row each, with what their object's posting
// type means for amounts before the first period (compared by the server, as it compares
// texts).
struct AccountRow {
    int id;
    TBAccount account;
    bool balanceSheet, incomeStatement;
};

QList<AccountRow> readAccounts(const QList<int>& companyIds)
{
    Query q;
    QStringList sql{
        QStringLiteral(
            "SELECT accounts.id AS `account id`, companies.id AS `company id`, `company name`, "
            "`cost centre number`, `cost centre description`, `object number`, `account description`,"),
        QStringLiteral("(`posting type` = \"Balance Sheet\") AS `balance sheet`, "
                       "(`posting type` = \"Income Statement\") AS `income statement`"),
        QStringLiteral("FROM objects, companies, `cost centres`, accounts"), QStringLiteral("WHERE"),
        QStringLiteral("(accounts.`object id` = objects.id)"),
        QStringLiteral("and (accounts.`cost centre id` = `cost centres`.id)"),
        QStringLiteral("and (`cost centres`.`company id` = companies.id)")};
    sql << idCondition(QStringLiteral("`companies`.id"), companyIds);
    sql << QStringLiteral("ORDER BY companies.id, `cost centre number`, `object number`, accounts.id");
    q.open(sql);
    QList<AccountRow> rows;
    rows.reserve(q.recordCount());
    for (int r = 0; r < q.recordCount(); ++r) {
        AccountRow row;
        row.id = q.value(r, 0).toInt();
        row.account.companyId = q.value(r, 1).toInt();
        row.account.companyName = text(q, r, 2);
        row.account.costCentreNumber = text(q, r, 3);
        row.account.costCentreDescription = text(q, r, 4);
        row.account.objectNumber = text(q, r, 5);
        row.account.accountDescription = text(q, r, 6);
        row.balanceSheet = q.value(r, 7).toInt() == 1;
        row.incomeStatement = q.value(r, 8).toInt() == 1;
        rows.append(std::move(row));
    }
    return rows;
}

// The date of every entry that can count: every one up to the last period's end (those
// before the first period open the year). Entries are looked up by id, in a plain array while the ids are dense.
class EntryDates {
public:
    void read(const QDate& lastEnd)
    {
        std::vector<std::pair<int, int>> pairs;
        int maxId = 0;
        Connection::program().stream(QStringLiteral("SELECT id, `transaction date` FROM transactions\n"
                                                    "WHERE (`transaction date` <= %1)")
                                         .arg(sqlDateLiteral(lastEnd)),
            [&](const char* const* f, const unsigned long* n) {
                if (!f[0] || !f[1])
                    return;
                const int id = toInt(f[0], n[0]);
                pairs.emplace_back(id, dateKey(f[1], n[1]));
                maxId = std::max(maxId, id);
            });
        if (qint64(maxId) <= 4 * qint64(pairs.size()) + 65536) {
            m_dense.assign(size_t(maxId) + 1, -1);
            for (const auto& [id, key] : pairs)
                m_dense[size_t(id)] = key;
        } else {
            std::sort(pairs.begin(), pairs.end());
            m_sorted = std::move(pairs);
        }
    }

    // The entry's date key, or -1 when the entry does not count.
    int key(int id) const
    {
        if (!m_dense.empty())
            return id >= 0 && size_t(id) < m_dense.size() ? m_dense[size_t(id)] : -1;
        const auto it = std::lower_bound(m_sorted.begin(), m_sorted.end(), std::pair{id, -1});
        return it != m_sorted.end() && it->first == id ? it->second : -1;
    }

private:
    std::vector<int> m_dense;
    std::vector<std::pair<int, int>> m_sorted;
};

// The time line cut at every period's first day, the day after its last, and the first
// period's start: each piece lies wholly inside or outside each period and wholly before
// or after the first period, so a line is placed by finding its piece.
class TimeLine {
public:
    explicit TimeLine(const QList<TBPeriod>& periods)
    {
        m_firstStart = dateKey(periods.first().start);
        m_bounds.push_back(m_firstStart);
        for (const TBPeriod& p : periods) {
            m_periods.push_back({dateKey(p.start), dayAfter(p.end)});
            m_bounds.push_back(m_periods.back().first);
            m_bounds.push_back(m_periods.back().second);
        }
        std::sort(m_bounds.begin(), m_bounds.end());
        m_bounds.erase(std::unique(m_bounds.begin(), m_bounds.end()), m_bounds.end());
    }

    int pieces() const { return int(m_bounds.size()) + 1; }
    // Piece i holds the keys from bound i-1 (inclusive) to bound i (exclusive).
    int piece(int key) const
    {
        return int(std::upper_bound(m_bounds.begin(), m_bounds.end(), key) - m_bounds.begin());
    }
    bool beforeFirstPeriod(int piece) const
    {
        return piece == 0 || (piece < pieces() - 1 && m_bounds[size_t(piece)] <= m_firstStart);
    }
    bool inPeriod(int piece, int period) const
    {
        if (piece == 0 || piece == pieces() - 1)
            return false;
        const auto [from, until] = m_periods[size_t(period)];
        return from <= m_bounds[size_t(piece - 1)] && m_bounds[size_t(piece)] <= until;
    }

private:
    static int dayAfter(const QDate& date)
    {
        return date.isValid() ? dateKey(date.addDays(1)) : dateKey(date) + 1;
    }
    int m_firstStart = 0;
    std::vector<std::pair<int, int>> m_periods; // first key, key of the day after
    std::vector<int> m_bounds;
};

// Adds every journal line of the selected accounts into its account's pieces of time,
// then turns the pieces into the opening balance and the periods' movements.
void addAmounts(TrialBalanceData& data, QList<AccountRow>& accounts, const QList<int>& companyIds)
{
    QDate lastEnd = data.periods.first().end;
    for (const TBPeriod& p : data.periods)
        lastEnd = std::max(lastEnd, p.end);
    EntryDates dates;
    dates.read(lastEnd);

    const TimeLine line(data.periods);
    const int pieces = line.pieces();
    QHash<int, int> slotOf;
    slotOf.reserve(accounts.size());
    for (int i = 0; i < accounts.size(); ++i)
        slotOf.insert(accounts[i].id, i);
    std::vector<Money> sums(size_t(accounts.size()) * size_t(pieces));

    QStringList sql{
        QStringLiteral("SELECT `transaction details`.`account id`, `transaction details`.`transaction id`, "
                       "`transaction details`.amount"),
        QStringLiteral("FROM `cost centres`, accounts, `transaction details`"), QStringLiteral("WHERE"),
        QStringLiteral("(accounts.`cost centre id` = `cost centres`.id)"),
        QStringLiteral("and (`transaction details`.`account id` = accounts.id)")};
    sql << idCondition(QStringLiteral("`cost centres`.`company id`"), companyIds);
    int lastAccount = -1, slot = -1;
    Connection::program().stream(
        sql.join(QLatin1Char('\n')), [&](const char* const* f, const unsigned long* n) {
            if (!f[0] || !f[1] || !f[2])
                return;
            const int account = toInt(f[0], n[0]);
            if (account != lastAccount) { // the lines come account by account
                lastAccount = account;
                slot = slotOf.value(account, -1);
            }
            if (slot < 0)
                return;
            const int key = dates.key(toInt(f[1], n[1]));
            if (key < 0)
                return;
            sums[size_t(slot) * size_t(pieces) + size_t(line.piece(key))] += amountFromDb(f[2], n[2]);
        });

    const int periods = int(data.periods.size());
    for (int a = 0; a < accounts.size(); ++a) {
        AccountRow& row = accounts[a];
        QVector<Money>& amounts = row.account.amounts;
        amounts.fill(Money(), periods + 1);
        for (int i = 0; i < pieces; ++i) {
            const Money& sum = sums[size_t(a) * size_t(pieces) + size_t(i)];
            if (sum.isZero())
                continue;
            if (line.beforeFirstPeriod(i)) {
                if (row.balanceSheet)
                    amounts[0] += sum;
                if (row.incomeStatement)
                    data.profitBroughtForward += sum;
            }
            for (int p = 0; p < periods; ++p)
                if (line.inPeriod(i, p))
                    amounts[p + 1] += sum;
        }
    }
}

// Accounts of one company with the same cost centre number and object number share a
// row; the first of them gives its texts.
QList<TBAccount> groupAccounts(QList<AccountRow>& rows)
{
    QList<TBAccount> grouped;
    QHash<QString, int> rowOf;
    for (AccountRow& r : rows) {
        const QString key = QString::number(r.account.companyId) + QLatin1Char('\t')
            + r.account.costCentreNumber + QLatin1Char('\t') + r.account.objectNumber;
        const auto it = rowOf.constFind(key);
        if (it == rowOf.constEnd()) {
            rowOf.insert(key, int(grouped.size()));
            grouped.append(std::move(r.account));
            continue;
        }
        TBAccount& into = grouped[*it];
        for (int i = 0; i < into.amounts.size(); ++i)
            into.amounts[i] += r.account.amounts[i];
    }
    return grouped;
}
}

TrialBalanceData readTrialBalance(const TrialBalanceRequest& request)
{
    TrialBalanceData data;
    if (request.periodSelected && request.yearId >= 0)
        data.periods = readPeriods(request.yearId);
    // A year whose periods are all deleted has no first period to open the year with.
    data.withPeriods = !data.periods.isEmpty();
    data.objects = readObjects();
    QList<AccountRow> accounts = readAccounts(request.companyIds);
    if (!data.withPeriods) {
        for (AccountRow& r : accounts)
            data.accounts.append(std::move(r.account));
        return data;
    }
    addAmounts(data, accounts, request.companyIds);
    data.accounts = groupAccounts(accounts);
    return data;
}
