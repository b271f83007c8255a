// Times the journal import through its window on a generated file of 10 000 entries with
// 40 000 lines: reading and detecting the format, checking every line, and saving all in
// one transaction; with the program's peak memory. Then checks the largest file the window
// accepts (memory), and offers it a 100 MB file, which it refuses before reading.
//
// usage: import_bench --port P [--host H --user U --password W --database D] [--runs N]
// The database D (default veldra_import_bench) is made afresh from db/schema.sql, found
// beside this source's folder or through VELDRA_SCHEMA.
#include "BenchOptions.h"
#include "BenchTiming.h"

#include "app/Main.h"
#include "import/Import.h"
#include "standard/Standard.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

namespace {
QTextStream out(stdout);
QStringList messages;

void fail(const QString& why)
{
    out << why << "\n";
    out.flush();
    std::exit(1);
}

void exec(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        fail(QStringLiteral("%1\n%2").arg(q.lastError().text(), sql.left(300)));
}

int lastId(QSqlDatabase& db)
{
    QSqlQuery q(db);
    q.exec(QStringLiteral("SELECT LAST_INSERT_ID()"));
    q.next();
    return q.value(0).toInt();
}

// The file's entries: four lines each, dated through 2026, on accounts 10.1 to 10.20.
QByteArray generate(int entries)
{
    QByteArray csv = "Entry,Date,Description,Account,Line Description,Amount\n";
    csv.reserve(qsizetype(entries) * 4 * 64);
    const QDate first(2026, 1, 1);
    for (int e = 1; e <= entries; ++e) {
        const QByteArray key = "E" + QByteArray::number(e);
        const QByteArray date = first.addDays(e % 365).toString(QStringLiteral("dd/MM/yyyy")).toLatin1();
        const QByteArray description = "\"Entry " + QByteArray::number(e) + ", imported\"";
        const long long a = 10000 + e % 9000, b = 2575 + e % 100, c = 5000 + e % 777;
        const long long amounts[4] = {a, b, -c, -(a + b - c)};
        for (int l = 0; l < 4; ++l) {
            const long long cents = amounts[l];
            csv += key + ',' + date + ',' + description + ",10." + QByteArray::number(1 + (e + l) % 20)
                + ",Line " + QByteArray::number(l + 1) + ',' + (cents < 0 ? "-" : "")
                + QByteArray::number(std::abs(cents) / 100) + '.'
                + QByteArray::number(std::abs(cents) % 100).rightJustified(2, '0') + '\n';
        }
    }
    return csv;
}

QString schemaPath()
{
    const QString env = qEnvironmentVariable("VELDRA_SCHEMA");
    return env.isEmpty() ? QStringLiteral(VELDRA_SOURCE_DIR "/db/schema.sql") : env;
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitApplication();
    BenchOptions opt = BenchOptions::parse(app.arguments());
    if (!app.arguments().contains(QStringLiteral("--database")))
        opt.database = QStringLiteral("veldra_import_bench");
    if (!app.arguments().contains(QStringLiteral("--runs")))
        opt.runs = 3;
    SetBoodskapHandler([](const QString& text, bool) {
        messages << text;
        return true;
    });
    SetClockForTesting(QDateTime(QDate(2026, 6, 15), QTime(9, 0)));

    // A fresh database with the schema, one user and the chart's twenty objects.
    {
        BenchOptions server = opt;
        server.database.clear();
        QSqlDatabase admin = server.connect(QStringLiteral("admin"));
        exec(admin, QStringLiteral("DROP DATABASE IF EXISTS %1").arg(opt.database));
        exec(admin, QStringLiteral("CREATE DATABASE %1 CHARACTER SET utf8mb4").arg(opt.database));
        exec(admin, QStringLiteral("USE %1").arg(opt.database));
        QFile schema(schemaPath());
        if (!schema.open(QIODevice::ReadOnly))
            fail(QStringLiteral("Cannot read the schema %1").arg(schema.fileName()));
        QString statement;
        for (const QString& line : QString::fromUtf8(schema.readAll()).split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("--")))
                continue;
            statement += line + QLatin1Char('\n');
            if (line.trimmed().endsWith(QLatin1Char(';'))) {
                exec(admin, statement);
                statement.clear();
            }
        }
        exec(admin,
            QStringLiteral("INSERT INTO wp_users (user_login, user_pass, user_nicename, user_email, "
                           "user_registered, display_name) VALUES ('bench', '', 'bench', "
                           "'bench@example.com', NOW(), 'bench')"));
        for (int o = 1; o <= 20; ++o)
            exec(admin,
                QStringLiteral("INSERT INTO objects (`object number`, `object description`, `posting "
                               "type`, level, `use for account`, classification) VALUES (%1, 'Object "
                               "%1', 'Balance Sheet', 1, 'Yes', '')")
                    .arg(o));
        // One company per run, so that no run meets the file as already imported.
        for (int r = 1; r <= opt.runs + 1; ++r) {
            exec(admin, QStringLiteral("INSERT INTO companies (`company name`) VALUES ('Run %1')").arg(r));
            const int company = lastId(admin);
            exec(admin,
                QStringLiteral("INSERT INTO access (`company id`, `wp_user id`, `access company`, "
                               "administrator, `trial balance`, `journal entries`) VALUES (%1, 1, 'Yes', "
                               "'Yes', 'View', 'Create')")
                    .arg(company));
            exec(admin,
                QStringLiteral("INSERT INTO `cost centres` (`company id`, `cost centre number`, `cost "
                               "centre description`) VALUES (%1, 10, 'Head Office')")
                    .arg(company));
            const int centre = lastId(admin);
            exec(admin,
                QStringLiteral("INSERT INTO accounts (`cost centre id`, `object id`, `account "
                               "description`) SELECT %1, id, `object description` FROM objects")
                    .arg(centre));
            exec(admin,
                QStringLiteral("INSERT INTO `financial years` (`company id`, `financial year "
                               "description`, `last day of financial year`) VALUES (%1, '2026', "
                               "'2026-12-31')")
                    .arg(company));
            const int year = lastId(admin);
            for (int p = 0; p < 12; ++p) {
                const QDate from(2026, p + 1, 1);
                exec(admin,
                    QStringLiteral("INSERT INTO `financial periods` (`financial year id`, `period "
                                   "number`, `start date`, `end date`, `period description`, `period "
                                   "open`, `period deleted`) VALUES (%1, %2, '%3', '%4', '%5', 'Yes', "
                                   "'No')")
                        .arg(year)
                        .arg(p + 1)
                        .arg(from.toString(Qt::ISODate), from.addMonths(1).addDays(-1).toString(Qt::ISODate),
                            from.toString(QStringLiteral("MMM yyyy"))));
            }
        }
    }
    SetConnectionSettings({opt.host, opt.port, opt.database, opt.user, opt.password});

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("entries.csv"));
    {
        QFile f(path);
        const QByteArray csv = generate(10000);
        if (!f.open(QIODevice::WriteOnly) || f.write(csv) != csv.size())
            fail(QStringLiteral("Cannot write %1").arg(path));
        out << "File: 10000 entries, 40000 lines, " << csv.size() / 1024 << " kB\n";
    }
    out << "Peak memory before the first import: " << peakMemory() << "\n";

    TfrmMain w;
    w.Login(1);
    QList<double> reads, checks, saves, totals;
    for (int r = 1; r <= opt.runs; ++r) {
        w.RefreshFilters();
        if (!selectId(w.cbCompany, r))
            fail(QStringLiteral("Company %1 not listed").arg(r));
        w.RefreshFilters(w.cbCompany);
        messages.clear();
        TfrmImport f(w.books(), &w);
        bool ok = false;
        const double read = seconds([&] { ok = f.openFile(path); });
        if (!ok)
            fail(messages.join(QLatin1Char('\n')));
        const double check = seconds([&] { ok = f.checkInput(); });
        if (!ok)
            fail(QStringLiteral("Check refused: ") + messages.join(QLatin1Char('\n'))
                + f.problemsText().left(2000));
        const double save = seconds([&] { f.Save(); });
        if (f.result() != QDialog::Accepted)
            fail(QStringLiteral("Save failed: ") + messages.join(QLatin1Char('\n')));
        reads << read;
        checks << check;
        saves << save;
        totals << read + check + save;
        out << QStringLiteral("Run %1: read %2 s, check %3 s, save %4 s (%5)\n")
                   .arg(r)
                   .arg(read, 0, 'f', 2)
                   .arg(check, 0, 'f', 2)
                   .arg(save, 0, 'f', 2)
                   .arg(messages.value(0));
    }
    out << QStringLiteral("Median of %1 runs: read %2 s, check %3 s, save %4 s, total %5 s\n")
               .arg(opt.runs)
               .arg(median(reads), 0, 'f', 2)
               .arg(median(checks), 0, 'f', 2)
               .arg(median(saves), 0, 'f', 2)
               .arg(median(totals), 0, 'f', 2);
    out << "Peak memory after the imports: " << peakMemory() << "\n";
    out.flush();

    // The largest file accepted: read and checked (not saved), for its memory.
    {
        const int entries = int(MaxCsvFileBytes / (4 * 66));
        QByteArray csv = generate(entries);
        while (csv.size() > MaxCsvFileBytes)
            csv.chop(csv.size() - csv.lastIndexOf('\n', csv.size() - 300) - 1);
        const QString largest = dir.filePath(QStringLiteral("largest.csv"));
        QFile f(largest);
        if (!f.open(QIODevice::WriteOnly) || f.write(csv) != csv.size())
            fail(QStringLiteral("Cannot write %1").arg(largest));
        f.close();
        csv.clear();
        csv.squeeze();
        w.RefreshFilters();
        selectId(w.cbCompany, opt.runs + 1);
        w.RefreshFilters(w.cbCompany);
        TfrmImport window(w.books(), &w);
        bool ok = false;
        const double read = seconds([&] { ok = window.openFile(largest); });
        const double check = seconds([&] { window.checkInput(); });
        out << QStringLiteral(
            "Largest accepted file (%1 kB, %2 lines): read %3 s, check %4 s, %5 problems; peak "
            "memory %6\n")
                   .arg(QFileInfo(largest).size() / 1024)
                   .arg(window.lastCheck().lineCount)
                   .arg(read, 0, 'f', 2)
                   .arg(check, 0, 'f', 2)
                   .arg(window.lastCheck().problems.size())
                   .arg(peakMemory());
        if (!ok)
            fail(QStringLiteral("The largest file was refused"));
    }

    // A 100 MB file is refused before it is read.
    {
        const QString huge = dir.filePath(QStringLiteral("huge.csv"));
        QFile f(huge);
        if (!f.open(QIODevice::WriteOnly) || !f.resize(100LL * 1024 * 1024))
            fail(QStringLiteral("Cannot make %1").arg(huge));
        f.close();
        messages.clear();
        TfrmImport window(w.books(), &w);
        const bool accepted = window.openFile(huge);
        out << "100 MB file: " << (accepted ? QStringLiteral("accepted") : QStringLiteral("refused")) << ": "
            << messages.value(0) << "\n";
        out << "Peak memory at the end: " << peakMemory() << "\n";
    }
    return 0;
}
