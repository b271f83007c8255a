// Fills an empty database (made from db/schema.sql) with large books for the trial-balance
// benchmark: 2 companies, a five-level chart of 1 705 objects, 10 000 accounts and
// 250 000 journal entries of 2 to 6 lines over two financial years (one month of company 1
// dense with about 20 000 of them, for the journal list). The books are the
// same on every run (fixed seed), so figures of different runs compare.
//
// --entries N writes N entries instead (2 500 000 for books of about 10 M lines) over the
// same chart, accounts and years.
//
// usage: tb_generate --host H --port P --user U [--password W] --database D [--entries N]
#include "BenchOptions.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <cstdio>
#include <random>

namespace {
QTextStream out(stdout);

void run(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql)) {
        out << "Statement failed: " << q.lastError().text() << "\n" << sql.left(300) << "\n";
        out.flush();
        std::exit(1);
    }
}

// Collects rows and sends them as multi-row INSERTs of a few thousand rows each. The rows
// of `parent` (an entry's row for its lines) are sent first, since the foreign keys are not
// checked here and the lines' trigger adds to the sums on the entry's row.
class BulkInsert {
public:
    BulkInsert(QSqlDatabase& db, const QString& head, BulkInsert* parent = nullptr)
        : m_db(db), m_head(head), m_parent(parent)
    {
    }
    ~BulkInsert() { flush(); }
    void add(const QString& row)
    {
        if (m_count)
            m_sql += QLatin1Char(',');
        m_sql += row;
        if (++m_count == 5000)
            flush();
    }
    void flush()
    {
        if (m_parent)
            m_parent->flush();
        if (m_count)
            run(m_db, m_head + QStringLiteral(" VALUES ") + m_sql);
        m_sql.clear();
        m_count = 0;
    }

private:
    QSqlDatabase& m_db;
    QString m_head, m_sql;
    BulkInsert* m_parent;
    int m_count = 0;
};

QString money(long long cents)
{
    const char* sign = cents < 0 ? "-" : "";
    const long long a = cents < 0 ? -cents : cents;
    return QString::asprintf("%s%lld.%02lld", sign, a / 100, a % 100);
}
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const BenchOptions opt = BenchOptions::parse(app.arguments());
    QSqlDatabase db = opt.connect(QStringLiteral("generate"));
    QElapsedTimer timer;
    timer.start();
    run(db, QStringLiteral("SET unique_checks = 0, foreign_key_checks = 0"));

    // The user who logs in: password "bench", administrator of both companies.
    run(db,
        QStringLiteral("INSERT INTO wp_users (ID, user_login, user_pass, user_nicename, user_email, "
                       "user_registered, display_name) VALUES (1, 'bench', '', 'bench', "
                       "'bench@example.org', NOW(), 'bench')"));
    for (int c = 1; c <= BenchBooks::Companies; ++c) {
        run(db,
            QStringLiteral("INSERT INTO companies (id, `company name`) VALUES (%1, 'Bench Company %1')")
                .arg(c));
        run(db,
            QStringLiteral("INSERT INTO access (`company id`, `wp_user id`, `access company`, "
                           "administrator, `trial balance`, `journal entries`) "
                           "VALUES (%1, 1, 'Yes', 'Yes', 'View', 'View')")
                .arg(c));
    }

    // The chart: level 1 d0000 (d = 1..5), level 2 dm000 (m = 2, 4, 6, 8), levels 3 to 5
    // one digit each (1..4). Classes 1 to 3 are balance sheet, 4 and 5 income statement;
    // 38000 is a level-2 object of class 3. Accounts are opened on level 5 only.
    QList<int> leaves; // object ids of level 5
    {
        BulkInsert objects(db,
            QStringLiteral("INSERT INTO objects (id, `object number`, `object description`, "
                           "`posting type`, level, `use for account`, classification)"));
        int id = 0;
        auto add = [&](int number, int level) {
            const bool bs = number / 10000 <= 3;
            objects.add(QStringLiteral("(%1, %2, 'Object %2', '%3', %4, '%5', 'Class %6')")
                            .arg(++id)
                            .arg(number)
                            .arg(bs ? QStringLiteral("Balance Sheet") : QStringLiteral("Income Statement"))
                            .arg(level)
                            .arg(level == 5 ? QStringLiteral("Yes") : QStringLiteral("No"))
                            .arg(number / 10000));
            if (level == 5)
                leaves << id;
        };
        for (int d = 1; d <= 5; ++d) {
            add(d * 10000, 1);
            for (int m = 2; m <= 8; m += 2) {
                add(d * 10000 + m * 1000, 2);
                for (int k = 1; k <= 4; ++k) {
                    add(d * 10000 + m * 1000 + k * 100, 3);
                    for (int j = 1; j <= 4; ++j) {
                        add(d * 10000 + m * 1000 + k * 100 + j * 10, 4);
                        for (int i = 1; i <= 4; ++i)
                            add(d * 10000 + m * 1000 + k * 100 + j * 10 + i, 5);
                    }
                }
            }
        }
    }

    // Cost centres and accounts: every leaf object on every cost centre of a company.
    const int accountsPerCompany = BenchBooks::CostCentres * int(leaves.size());
    {
        BulkInsert centres(db,
            QStringLiteral("INSERT INTO `cost centres` (id, `company id`, "
                           "`cost centre number`, `cost centre description`)"));
        BulkInsert accounts(db,
            QStringLiteral("INSERT INTO accounts (id, `cost centre id`, `object id`, "
                           "`account description`)"));
        int centre = 0, account = 0;
        for (int c = 1; c <= BenchBooks::Companies; ++c)
            for (int n = 1; n <= BenchBooks::CostCentres; ++n) {
                centres.add(
                    QStringLiteral("(%1, %2, %3, 'Cost centre %3')").arg(++centre).arg(c).arg(n * 10));
                for (int leaf : leaves)
                    accounts.add(
                        QStringLiteral("(%1, %2, %3, 'Account %1')").arg(++account).arg(centre).arg(leaf));
            }
    }

    // Two years of twelve monthly periods per company.
    {
        BulkInsert years(db,
            QStringLiteral("INSERT INTO `financial years` (id, `company id`, "
                           "`financial year description`, `last day of financial year`)"));
        BulkInsert periods(db,
            QStringLiteral("INSERT INTO `financial periods` (`financial year id`, "
                           "`period number`, `start date`, `end date`, "
                           "`period description`, `period open`, `period deleted`)"));
        int year = 0;
        for (int c = 1; c <= BenchBooks::Companies; ++c)
            for (int y = 0; y < 2; ++y) {
                const QDate start = BenchBooks::FirstDay.addYears(y);
                years.add(QStringLiteral("(%1, %2, 'Year %3', '%4')")
                              .arg(++year)
                              .arg(c)
                              .arg(start.year())
                              .arg(start.addYears(1).addDays(-1).toString(Qt::ISODate)));
                for (int p = 0; p < 12; ++p)
                    periods.add(QStringLiteral("(%1, %2, '%3', '%4', '%5', 'Yes', 'No')")
                                    .arg(year)
                                    .arg(p + 1)
                                    .arg(start.addMonths(p).toString(Qt::ISODate),
                                        start.addMonths(p + 1).addDays(-1).toString(Qt::ISODate),
                                        start.addMonths(p).toString(QStringLiteral("MMM yyyy"))));
            }
    }

    // Journal entries: balanced, 2 to 6 lines, amounts in cents, dates over both years.
    std::mt19937_64 rng(20240301);
    std::uniform_int_distribution<int> lineCount(2, 6),
        day(0, int(BenchBooks::FirstDay.daysTo(BenchBooks::FirstDay.addYears(2))) - 1);
    std::uniform_int_distribution<int> account(0, accountsPerCompany - 1);
    std::uniform_int_distribution<long long> cents(1, 5000000);
    long long lines = 0;
    {
        BulkInsert transactions(db,
            QStringLiteral("INSERT INTO transactions (id, `company id`, "
                           "`transaction number`, `transaction type`, "
                           "`transaction date`, `transaction description`, posted, "
                           "`created by`)"));
        std::uniform_int_distribution<int> denseDay(0, BenchBooks::DenseMonth.daysInMonth() - 1);
        BulkInsert details(db,
            QStringLiteral("INSERT INTO `transaction details` (`transaction id`, `line nr`, "
                           "`account id`, `line description`, amount, deleted)"),
            &transactions);
        int number[BenchBooks::Companies + 1] = {};
        for (int t = 1; t <= opt.entries; ++t) {
            const int company = 1 + (t - 1) % BenchBooks::Companies;
            const bool dense
                = company == 1 && ((t - 1) / BenchBooks::Companies) % BenchBooks::DenseShare == 0;
            const QDate date = dense ? BenchBooks::DenseMonth.addDays(denseDay(rng))
                                     : BenchBooks::FirstDay.addDays(day(rng));
            transactions.add(QStringLiteral("(%1, %2, %3, 'JE', '%4', 'Entry %1', 'No', 1)")
                                 .arg(t)
                                 .arg(company)
                                 .arg(++number[company])
                                 .arg(date.toString(Qt::ISODate)));
            const int n = lineCount(rng);
            long long amounts[6];
            long long balance = 0;
            for (int l = 0; l < n - 1; ++l) {
                amounts[l] = cents(rng) * (l % 2 ? -1 : 1);
                balance += amounts[l];
            }
            if (balance == 0) { // the closing line must not be zero
                amounts[0] += 1;
                balance = 1;
            }
            amounts[n - 1] = -balance;
            for (int l = 0; l < n; ++l) {
                const int acc = (company - 1) * accountsPerCompany + 1 + account(rng);
                details.add(QStringLiteral("(%1, %2, %3, 'Line', %4, 'No')")
                                .arg(t)
                                .arg(l + 1)
                                .arg(acc)
                                .arg(money(amounts[l])));
                ++lines;
            }
        }
    }
    run(db, QStringLiteral("ANALYZE TABLE transactions, `transaction details`, accounts, objects"));
    out << "Generated " << opt.entries << " entries with " << lines << " lines, "
        << BenchBooks::Companies * accountsPerCompany << " accounts in " << timer.elapsed() / 1000.0
        << " s\n";
    return 0;
}
