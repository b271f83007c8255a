#include "trialbalance/TrialBalanceReader.h"

#include "context/Conditions.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "db/RawField.h"
#include "standard/Dates.h"

#include <QHash>
#include <algorithm>
#include <functional>
#include <tuple>
#include <vector>

// The amounts come from the monthly totals the database keeps per account
// (`account month totals`), so a refresh reads one row per account and month, however
// many lines the books hold; only the days of a month that a period's bound cuts are read
// line by line. The line-level computation stays beside it, for checking and measuring:
// the dates of the entries and the lines of the selected accounts streamed as they lie in
// their indexes and joined and added by the program, exactly, in Money.

namespace {

// A date as the number yyyymmdd, which orders as the dates do.
int dateKey(const QDate& date) { return date.year() * 10000 + date.month() * 100 + date.day(); }
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
    QList<TBObject> objects;
    Connection::program().stream(
        QStringLiteral("SELECT `object number`, `object description`, `posting type`, "
                       "level, `use for account`, classification\n"
                       "FROM objects ORDER BY `object number`"),
        [&](const char* const* f, const unsigned long* n) {
            objects.append(
                {RawField::text(f[0], n[0]), RawField::text(f[1], n[1]), RawField::text(f[2], n[2]),
                    RawField::text(f[3], n[3]), RawField::text(f[4], n[4]), RawField::text(f[5], n[5])});
        });
    return objects;
}

// The accounts of the selected companies, one row each, with what their object's posting
// type means for amounts before the first period (compared by the server, as it compares
// texts).
struct AccountRow {
    int id;
    TBAccount account;
};

QList<AccountRow> readAccounts(const QList<int>& companyIds)
{
    // Streamed and put in order here (company, cost centre number, object number, account):
    // the server sorted the joined rows in a temporary table, which cost a refresh more than
    // the reading.
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
    struct Sorted {
        qint64 costCentre, object;
        AccountRow row;
    };
    std::vector<Sorted> read;
    Connection::program().stream(
        sql.join(QLatin1Char('\n')), [&](const char* const* f, const unsigned long* n) {
            Sorted s;
            s.row.id = int(RawField::number(f[0], n[0]));
            TBAccount& a = s.row.account;
            a.companyId = int(RawField::number(f[1], n[1]));
            a.companyName = RawField::text(f[2], n[2]);
            a.costCentreNumber = RawField::text(f[3], n[3]);
            a.costCentreDescription = RawField::text(f[4], n[4]);
            a.objectNumber = RawField::text(f[5], n[5]);
            a.accountDescription = RawField::text(f[6], n[6]);
            a.balanceSheet = RawField::number(f[7], n[7]) == 1;
            a.incomeStatement = RawField::number(f[8], n[8]) == 1;
            a.accountIds = {s.row.id};
            s.costCentre = a.costCentreNumber.toLongLong();
            s.object = a.objectNumber.toLongLong();
            read.push_back(std::move(s));
        });
    std::sort(read.begin(), read.end(), [](const Sorted& x, const Sorted& y) {
        return std::tie(x.row.account.companyId, x.costCentre, x.object, x.row.id)
            < std::tie(y.row.account.companyId, y.costCentre, y.object, y.row.id);
    });
    QList<AccountRow> rows;
    rows.reserve(qsizetype(read.size()));
    for (Sorted& s : read)
        rows.append(std::move(s.row));
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
                const int id = int(RawField::number(f[0], n[0]));
                pairs.emplace_back(id, RawField::dateKey(f[1], n[1]));
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
    int periodCount() const { return int(m_periods.size()); }
    const std::vector<int>& bounds() const { return m_bounds; }
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

// The sums of the selected accounts per piece of the time line, placed by account id.
class PieceSums {
public:
    PieceSums(const QList<AccountRow>& accounts, int pieces) : m_pieces(pieces)
    {
        m_slotOf.reserve(accounts.size());
        for (int i = 0; i < accounts.size(); ++i)
            m_slotOf.insert(accounts[i].id, i);
        m_sums.resize(size_t(accounts.size()) * size_t(pieces));
    }
    // The account's first sum, or nullptr for an account not selected. Rows come account
    // by account, so the last account's place is kept.
    Money* of(int account)
    {
        if (account != m_lastAccount) {
            m_lastAccount = account;
            const int slot = m_slotOf.value(account, -1);
            m_last = slot < 0 ? nullptr : &m_sums[size_t(slot) * size_t(m_pieces)];
        }
        return m_last;
    }
    const Money& at(int slot, int piece) const
    {
        return m_sums[size_t(slot) * size_t(m_pieces) + size_t(piece)];
    }
    // The selected accounts' ids as a condition on `column`: runs of consecutive ids as
    // ranges, so that the server reads each run in one pass of its key.
    QString accountCondition(const QString& column) const
    {
        std::vector<int> ids(m_slotOf.keyBegin(), m_slotOf.keyEnd());
        std::sort(ids.begin(), ids.end());
        QStringList ranges, single;
        for (size_t i = 0; i < ids.size();) {
            size_t j = i;
            while (j + 1 < ids.size() && ids[j + 1] == ids[j] + 1)
                ++j;
            if (j == i)
                single << QString::number(ids[i]);
            else
                ranges << QStringLiteral("(%1 BETWEEN %2 AND %3)").arg(column).arg(ids[i]).arg(ids[j]);
            i = j + 1;
        }
        if (!single.isEmpty())
            ranges << QStringLiteral("(%1 IN (%2))").arg(column, single.join(QLatin1Char(',')));
        return ranges.isEmpty() ? QStringLiteral("FALSE") : ranges.join(QStringLiteral(" OR "));
    }

private:
    int m_pieces;
    QHash<int, int> m_slotOf;
    std::vector<Money> m_sums;
    int m_lastAccount = -1;
    Money* m_last = nullptr;
};

QDate lastEndOf(const QList<TBPeriod>& periods)
{
    QDate lastEnd = periods.first().end;
    for (const TBPeriod& p : periods)
        lastEnd = std::max(lastEnd, p.end);
    return lastEnd;
}

// Streams rows of `select` (an account id, then two fields) from `tables` joined to the
// accounts of the selected companies by `accountColumn`, under the further `conditions`;
// each row of an account that is shown goes to `row` with that account's sums.
void streamAccountRows(const QString& select, const QString& tables, const QString& accountColumn,
    const QStringList& conditions, const QList<int>& companyIds, PieceSums& sums,
    const std::function<void(Money* account, const char* const* fields, const unsigned long* lengths)>& row)
{
    QStringList sql{select, QStringLiteral("FROM `cost centres`, accounts, ") + tables,
        QStringLiteral("WHERE"), QStringLiteral("(accounts.`cost centre id` = `cost centres`.id)"),
        QStringLiteral("and (%1 = accounts.id)").arg(accountColumn)};
    sql << conditions << idCondition(QStringLiteral("`cost centres`.`company id`"), companyIds);
    Connection::program().stream(
        sql.join(QLatin1Char('\n')), [&](const char* const* f, const unsigned long* n) {
            if (!f[0] || !f[1] || !f[2])
                return;
            if (Money* account = sums.of(int(RawField::number(f[0], n[0]))))
                row(account, f, n);
        });
}

// The line-level computation: every journal line of the selected accounts with its
// entry's date, added into its piece of time.
void sumLines(
    const QList<TBPeriod>& periods, const TimeLine& line, PieceSums& sums, const QList<int>& companyIds)
{
    EntryDates dates;
    dates.read(lastEndOf(periods));
    streamAccountRows(
        QStringLiteral("SELECT `transaction details`.`account id`, `transaction details`.`transaction "
                       "id`, `transaction details`.amount"),
        QStringLiteral("`transaction details`"), QStringLiteral("`transaction details`.`account id`"), {},
        companyIds, sums, [&](Money* account, const char* const* f, const unsigned long* n) {
            const int key = dates.key(int(RawField::number(f[1], n[1])));
            if (key >= 0)
                account[line.piece(key)] += RawField::money(f[2], n[2]);
        });
}

// Months counted from year 0, so that consecutive months are consecutive numbers.
int monthOf(int key) { return key / 10000 * 12 + key / 100 % 100 - 1; }
int firstDayKey(int month) { return month / 12 * 10000 + (month % 12 + 1) * 100 + 1; }
QDate dateOf(int key) { return QDate(key / 10000, key / 100 % 100, key % 100); }

// The sums from the monthly totals (`account month totals`): a month that lies wholly in
// one piece of the time line takes its totals as they are. A month that a bound cuts is
// split into segments at its bounds; the lines of its segments are read, except those of
// its longest segment, which gets the month's total less the segments read. When a
// segment counts in no column (after the last period, or between periods), that month's
// total is not needed and only the segments that count are read.
void sumMonthTotals(const TimeLine& line, PieceSums& sums, const QList<int>& companyIds)
{
    std::vector<bool> counts(size_t(line.pieces()), false);
    for (int i = 0; i < line.pieces(); ++i) {
        counts[size_t(i)] = line.beforeFirstPeriod(i);
        for (int p = 0; !counts[size_t(i)] && p < line.periodCount(); ++p)
            counts[size_t(i)] = line.inPeriod(i, p);
    }
    const std::vector<int>& bounds = line.bounds();
    QHash<int, QList<int>> cutsOf; // a cut month's bounds inside it, in order
    for (int b : bounds)
        if (b % 100 != 1)
            cutsOf[monthOf(b)].append(b);
    QHash<int, int> totalPieceOf; // cut month -> piece given its total less the lines read (-1: none)
    QStringList ranges; // the days whose lines are read
    for (auto it = cutsOf.cbegin(); it != cutsOf.cend(); ++it) {
        const int month = it.key();
        QList<int> starts{firstDayKey(month)};
        starts += it.value();
        const int nextMonth = firstDayKey(month + 1);
        int longest = -1, longestDays = -1;
        bool allCount = true;
        for (int s = 0; s < starts.size(); ++s) {
            const int until = s + 1 < starts.size() ? starts[s + 1] : nextMonth;
            const int days = int(dateOf(starts[s]).daysTo(dateOf(until)));
            if (!counts[size_t(line.piece(starts[s]))])
                allCount = false;
            else if (days > longestDays) {
                longest = s;
                longestDays = days;
            }
        }
        if (!allCount)
            longest = -1;
        totalPieceOf.insert(month, longest < 0 ? -1 : line.piece(starts[longest]));
        for (int s = 0; s < starts.size(); ++s) {
            if (s == longest || !counts[size_t(line.piece(starts[s]))])
                continue;
            const QDate from = dateOf(starts[s]);
            const QDate to = dateOf(s + 1 < starts.size() ? starts[s + 1] : nextMonth).addDays(-1);
            ranges << QStringLiteral("(transactions.`transaction date` BETWEEN %1 AND %2)")
                          .arg(sqlDateLiteral(from), sqlDateLiteral(to));
        }
    }

    // Nothing after the last bound counts, so no month after the last bound's is read. The
    // totals are read by the selected accounts' ids alone: joined with the accounts, the
    // server looked each account up on its own, which cost more than reading its rows.
    Connection::program().stream(
        QStringLiteral("SELECT `account id`, month, amount FROM `account month totals`\n"
                       "WHERE (month <= %1) AND (%2)")
            .arg(sqlDateLiteral(dateOf(firstDayKey(monthOf(bounds.back())))),
                sums.accountCondition(QStringLiteral("`account id`"))),
        [&](const char* const* f, const unsigned long* n) {
            if (!f[0] || !f[1] || !f[2])
                return;
            Money* account = sums.of(int(RawField::number(f[0], n[0])));
            if (!account)
                return;
            const int key = RawField::dateKey(f[1], n[1]);
            int piece = line.piece(key);
            const auto cut = totalPieceOf.constFind(monthOf(key));
            if (cut != totalPieceOf.constEnd())
                piece = *cut;
            if (piece >= 0 && counts[size_t(piece)])
                account[piece] += RawField::money(f[2], n[2]);
        });
    if (ranges.isEmpty())
        return;

    // The lines of the cut days. Entries are found by their date through the company's
    // date key, for every company: a line counts for its account's company, whatever
    // the company of its entry.
    Query companies;
    companies.open({QStringLiteral("SELECT id FROM companies")});
    QList<int> allCompanies;
    for (int r = 0; r < companies.recordCount(); ++r)
        allCompanies << companies.value(r, 0).toInt();
    QStringList conditions{QStringLiteral("and (`transaction details`.`transaction id` = transactions.id)")};
    conditions << idCondition(QStringLiteral("transactions.`company id`"), allCompanies);
    conditions << QStringLiteral("and (") + ranges.join(QStringLiteral("\nor ")) + QStringLiteral(")");
    streamAccountRows(
        QStringLiteral("SELECT `transaction details`.`account id`, transactions.`transaction date`, "
                       "`transaction details`.amount"),
        QStringLiteral("transactions, `transaction details`"),
        QStringLiteral("`transaction details`.`account id`"), conditions, companyIds, sums,
        [&](Money* account, const char* const* f, const unsigned long* n) {
            const int key = RawField::dateKey(f[1], n[1]);
            const Money amount = RawField::money(f[2], n[2]);
            account[line.piece(key)] += amount;
            const int fromTotal = totalPieceOf.value(monthOf(key), -1);
            if (fromTotal >= 0)
                account[fromTotal] -= amount;
        });
}

// Turns each account's sums per piece into the opening balance and the periods' movements.
void addAmounts(
    TrialBalanceData& data, QList<AccountRow>& accounts, const QList<int>& companyIds, TBSource source)
{
    // Months are cut at dates a calendar holds; a period date that is none (a zero date a
    // client stored, or the calendar's last day) is left to the line-level computation.
    for (const TBPeriod& p : data.periods)
        if (!p.start.isValid() || !p.end.isValid() || p.end >= QDate(9999, 12, 31))
            source = TBSource::Lines;
    const TimeLine line(data.periods);
    const int pieces = line.pieces();
    PieceSums sums(accounts, pieces);
    if (source == TBSource::Lines)
        sumLines(data.periods, line, sums, companyIds);
    else
        sumMonthTotals(line, sums, companyIds);

    const int periods = int(data.periods.size());
    for (int a = 0; a < accounts.size(); ++a) {
        AccountRow& row = accounts[a];
        QVector<Money>& amounts = row.account.amounts;
        amounts.fill(Money(), periods + 1);
        for (int i = 0; i < pieces; ++i) {
            const Money& sum = sums.at(a, i);
            if (sum.isZero())
                continue;
            if (line.beforeFirstPeriod(i)) {
                if (row.account.balanceSheet)
                    amounts[0] += sum;
                if (row.account.incomeStatement)
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
        into.accountIds.append(r.id);
    }
    return grouped;
}
}

TrialBalanceData readTrialBalance(const TrialBalanceRequest& request, TBSource source)
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
    addAmounts(data, accounts, request.companyIds, source);
    data.accounts = groupAccounts(accounts);
    return data;
}
