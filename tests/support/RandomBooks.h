#pragma once
// Randomized books for the tests that hold the trial balance against its lines: one to
// three companies with objects of every level (none, 0, deep), posting types in any letter
// case, cost centres, years whose periods cut months or span whole ones, deleted periods,
// and entries before, inside and after the year.
#include "TestSupport.h"

#include "standard/Money.h"

#include <QRandomGenerator>
#include <QStringList>

struct RandomBooks {
    int user = 0;
    int companies = 0;
    bool has38000 = false;

    RandomBooks(TestDatabase& db, quint32 seed)
    {
        QRandomGenerator rng(seed);
        auto chance = [&](int percent) { return int(rng.bounded(100)) < percent; };
        user = db.addUser("ann", "ann@example.com", "secret");
        companies = 1 + int(rng.bounded(3));

        // The chart.
        QList<int> numbers;
        has38000 = chance(65);
        if (has38000)
            numbers << 38000;
        const int objectCount = 10 + int(rng.bounded(30));
        while (numbers.size() < objectCount) {
            const int n = 10000 + int(rng.bounded(80000));
            if (!numbers.contains(n))
                numbers << n;
        }
        std::sort(numbers.begin(), numbers.end());
        QStringList rows;
        int previous = 1;
        const QStringList postingTypes{"Balance Sheet", "Balance Sheet", "Balance Sheet", "Income Statement",
            "Income Statement", "Income Statement", "balance sheet", "INCOME STATEMENT", "Memo"};
        for (int i = 0; i < numbers.size(); ++i) {
            QString level;
            const int r = int(rng.bounded(100));
            if (r < 8) {
                level = "NULL";
            } else if (r < 13) {
                level = "0";
            } else if (r < 20) {
                level = QString::number(6 + int(rng.bounded(3)));
            } else if (r < 30) {
                previous = 1 + int(rng.bounded(5));
                level = QString::number(previous);
            } else {
                previous = std::clamp(previous + int(rng.bounded(4)) - 2, 1, 5);
                level = QString::number(previous);
            }
            rows << QString("(%1, %2, 'Object %2', '%3', %4, '%5', 'C%6')")
                        .arg(i + 1)
                        .arg(numbers[i])
                        .arg(postingTypes[int(rng.bounded(int(postingTypes.size())))])
                        .arg(level)
                        .arg(chance(50) ? "Yes" : "No")
                        .arg(rng.bounded(4));
        }
        db.exec("INSERT INTO objects (id, `object number`, `object description`, `posting type`, level, "
                "`use for account`, classification) VALUES "
            + rows.join(','));

        // Companies, cost centres, accounts, years and entries.
        int centreId = 0, accountId = 0, yearId = 0, entryId = 0;
        QStringList centres, accounts, years, periods, entries, lines;
        for (int c = 1; c <= companies; ++c) {
            const int company = db.addCompany(QString("Company %1").arg(c));
            db.addAccess(user, company);
            QList<int> companyAccounts;
            const int centreCount = 1 + int(rng.bounded(3));
            for (int k = 1; k <= centreCount; ++k) {
                ++centreId;
                centres
                    << QString("(%1, %2, %3, 'Centre %4.%3')").arg(centreId).arg(company).arg(k * 10).arg(c);
                for (int o = 1; o <= numbers.size(); ++o)
                    if (chance(35)) {
                        accounts
                            << QString("(%1, %2, %3, 'Account %1')").arg(++accountId).arg(centreId).arg(o);
                        companyAccounts << accountId;
                    }
            }
            // One year with periods, and for the first company one without any. The periods
            // are months from the 1st (whole months of totals), months from the 15th (every
            // month cut), or of random lengths.
            const int layout = int(rng.bounded(3));
            const QDate yearStart = layout == 0 ? QDate(2024, 1 + int(rng.bounded(3)), 1)
                : layout == 1                   ? QDate(2024, 1 + int(rng.bounded(3)), 15)
                                                : QDate(2024, 1, 1).addDays(rng.bounded(60));
            years << QString("(%1, %2, 'Year %1', '2024-12-31')").arg(++yearId).arg(company);
            const int periodCount = 1 + int(rng.bounded(layout == 2 ? 6 : 13));
            QList<int> periodNumbers;
            for (int p = 1; p <= periodCount; ++p)
                periodNumbers.insert(
                    layout == 2 ? int(rng.bounded(int(periodNumbers.size()) + 1)) : p - 1, p);
            QDate from = yearStart, last = yearStart;
            for (int p = 0; p < periodCount; ++p) {
                const int days = chance(30) ? 1 : 1 + int(rng.bounded(40));
                const QDate to = layout == 2 ? from.addDays(days - 1) : from.addMonths(1).addDays(-1);
                // The first-numbered period stays, so the year always has a first period.
                const bool deleted = periodNumbers[p] != 1 && chance(15);
                periods << QString("(%1, %2, '%3', '%4', 'P%2 of %1', 'Yes', '%5')")
                               .arg(yearId)
                               .arg(periodNumbers[p])
                               .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate),
                                   deleted ? "Yes" : "No");
                last = std::max(last, to);
                if (layout != 2)
                    from = to.addDays(1);
                else
                    from = chance(15) ? from.addDays(rng.bounded(days))
                                      : to.addDays(1 + (chance(30) ? rng.bounded(5) : 0));
            }
            if (c == 1)
                years << QString("(%1, %2, 'Empty year', '2023-12-31')").arg(++yearId).arg(company);
            if (companyAccounts.isEmpty())
                continue;
            const int entryCount = 10 + int(rng.bounded(40));
            // Entries from before the year (up to two years, so that the opening balance adds
            // many whole months), inside it and after it.
            const int before = chance(50) ? 700 : 60;
            const int span = int(yearStart.daysTo(last)) + before + 60;
            for (int e = 0; e < entryCount; ++e) {
                const QDate date = yearStart.addDays(int(rng.bounded(span)) - before);
                entries << QString("(%1, %2, %1, 'JE', '%3', 'Entry %1', 'No')")
                               .arg(++entryId)
                               .arg(company)
                               .arg(date.toString(Qt::ISODate));
                const int lineCount = 1 + int(rng.bounded(4));
                for (int l = 1; l <= lineCount; ++l) {
                    const int account = companyAccounts[int(rng.bounded(int(companyAccounts.size())))];
                    const qint64 scale = QList<qint64>{1, 100, 10000}[int(rng.bounded(3))];
                    qint64 units = (qint64(rng.bounded(2000000)) - 1000000) / scale * scale;
                    if (units == 0)
                        units = 1;
                    lines << QString("(%1, %2, %3, 'Line', %4, 'No')")
                                 .arg(entryId)
                                 .arg(l)
                                 .arg(account)
                                 .arg(Money::fromUnits(units).toDbString());
                }
            }
        }
        auto insert = [&](const QString& head, const QStringList& values) {
            if (!values.isEmpty())
                db.exec(head + values.join(','));
        };
        insert(
            "INSERT INTO `cost centres` (id, `company id`, `cost centre number`, `cost centre description`) "
            "VALUES ",
            centres);
        insert("INSERT INTO accounts (id, `cost centre id`, `object id`, `account description`) VALUES ",
            accounts);
        insert("INSERT INTO `financial years` (id, `company id`, `financial year description`, "
               "`last day of financial year`) VALUES ",
            years);
        insert(
            "INSERT INTO `financial periods` (`financial year id`, `period number`, `start date`, `end date`, "
            "`period description`, `period open`, `period deleted`) VALUES ",
            periods);
        insert("INSERT INTO transactions (id, `company id`, `transaction number`, `transaction type`, "
               "`transaction date`, `transaction description`, posted) VALUES ",
            entries);
        insert(
            "INSERT INTO `transaction details` (`transaction id`, `line nr`, `account id`, `line description`, "
            "amount, deleted) VALUES ",
            lines);
    }
};

// What scripts and imports may do to the books after they were written, each statement
// firing the totals' triggers on many rows at once or on one: amounts changed, lines moved
// to another account or entry, added and removed, entries moved to other months and
// removed, accounts moved to another cost centre of their company, and a year's periods
// given other dates (months from the 1st become months from the 15th and back) and other
// deleted flags.
