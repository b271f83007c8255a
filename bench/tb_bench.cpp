// Times the trial-balance refresh on the books tb_generate made, against hledger on the
// same entries: logs in as the bench user, selects the first company and its second
// year (twelve periods, the first year before it), and runs RefreshFilterstsTrialBalance
// several times. Prints the median, the client's peak memory, the same read from every
// line instead of the monthly totals (time, and the cells that differ: none may), hledger's
// median on a journal of the same company's entries for the same year, the ratio, and the
// cells that differ between our trial balance and hledger's report of every account and
// month (none may).
//
// usage: tb_bench --port P [--host H --user U --password W --database D]
//                 [--runs N] [--hledger-runs N] [--workdir DIR]
// --hledger-runs 0 leaves hledger out (for the 10 M-line books, where it would take hours).
#include "BenchOptions.h"
#include "BenchTiming.h"
#include "BenchWindow.h"

#include "app/Main.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "standard/Money.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"
#include "trialbalance/TrialBalanceColumns.h"
#include "trialbalance/TrialBalanceReader.h"
#include "trialbalance/TrialBalanceTable.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QScrollBar>
#include <QTableView>
#include <QTextStream>

#include <algorithm>
#include <optional>

namespace {
QTextStream out(stdout);

// hledger account names follow the chart: the object numbers from level 1 down to the
// account's object, then the cost centre, so --tree shows the same hierarchy.
QHash<int, QString> objectPaths()
{
    Query objects;
    objects.open({QStringLiteral("SELECT `object number`, level FROM objects ORDER BY `object number`")});
    QHash<int, QString> pathOf;
    QStringList path;
    for (objects.first(); !objects.eof(); objects.next()) {
        const int level = std::max(1, objects.asInteger(QStringLiteral("level")));
        path = path.mid(0, level - 1);
        path << objects.asString(QStringLiteral("object number"));
        pathOf.insert(objects.asInteger(QStringLiteral("object number")), path.join(QLatin1Char(':')));
    }
    return pathOf;
}

QString accountName(const QString& objectPath, const QString& costCentreNumber)
{
    return objectPath + QStringLiteral(":cc") + costCentreNumber;
}

QHash<int, QString> accountNames(int company)
{
    const QHash<int, QString> pathOf = objectPaths();
    Query accounts;
    accounts.open({QStringLiteral("SELECT accounts.id, `object number`, `cost centre number`"),
        QStringLiteral("FROM accounts, objects, `cost centres`"),
        QStringLiteral("WHERE (accounts.`object id` = objects.id) and "
                       "(accounts.`cost centre id` = `cost centres`.id)"),
        QStringLiteral("and (`cost centres`.`company id` = %1)").arg(company)});
    QHash<int, QString> names;
    for (accounts.first(); !accounts.eof(); accounts.next())
        names.insert(accounts.asInteger(QStringLiteral("id")),
            accountName(pathOf.value(accounts.asInteger(QStringLiteral("object number"))),
                accounts.asString(QStringLiteral("cost centre number"))));
    return names;
}

// Every entry of the company, all dates, as a plain-text journal; returns the entry count.
int exportJournal(int company, const QString& path)
{
    const QHash<int, QString> names = accountNames(company);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        out << "Cannot write " << path << "\n";
        std::exit(1);
    }
    QByteArray buffer;
    int entries = 0, last = -1;
    Connection::program().stream(
        QStringLiteral(
            "SELECT transactions.id, `transaction date`, `account id`, amount\n"
            "FROM transactions, `transaction details`\n"
            "WHERE (`transaction details`.`transaction id` = transactions.id) and (`company id` = %1)\n"
            "ORDER BY transactions.id, `line nr`")
            .arg(company),
        [&](const char* const* f, const unsigned long* n) {
            const int id = QByteArray(f[0], n[0]).toInt();
            if (id != last) {
                buffer += "\n" + QByteArray(f[1], n[1]) + " Entry " + QByteArray(f[0], n[0]) + "\n";
                last = id;
                ++entries;
            }
            buffer += "    " + names.value(QByteArray(f[2], n[2]).toInt()).toUtf8() + "  "
                + QByteArray(f[3], n[3]) + "\n";
            if (buffer.size() > (1 << 20)) {
                file.write(buffer);
                buffer.clear();
            }
        });
    file.write(buffer);
    return entries;
}
// hledger's own report of the journal: every account of every level (--tree --no-elide),
// its movement in every month up to the year's end. Returns the months' headings
// ("2024-03") and each account's amounts, or nothing when hledger fails.
struct LedgerReport {
    QStringList months;
    QHash<QString, QVector<Money>> amounts;
};
std::optional<LedgerReport> ledgerReport(const QString& journal, const QDate& until)
{
    QProcess p;
    p.start(QStringLiteral("hledger"),
        {QStringLiteral("-f"), journal, QStringLiteral("balance"), QStringLiteral("--monthly"),
            QStringLiteral("--tree"), QStringLiteral("--no-elide"), QStringLiteral("-O"),
            QStringLiteral("csv"), QStringLiteral("-e"), until.toString(Qt::ISODate)});
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        out << "hledger failed: " << p.readAllStandardError() << "\n";
        return std::nullopt;
    }
    // Every field is quoted and none holds a quote: "account","2023-03",...
    auto fields = [](const QByteArray& line) {
        return QString::fromUtf8(line.trimmed().mid(1).chopped(1)).split(QStringLiteral("\",\""));
    };
    const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    LedgerReport report;
    report.months = fields(lines.value(0)).mid(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        const QStringList f = fields(lines[i]);
        QVector<Money> row;
        for (qsizetype m = 1; m < f.size(); ++m) {
            const std::optional<Money> amount = Money::parseDb(f[m]);
            if (!amount) {
                out << "hledger printed an amount that is not a number: " << f[m] << "\n";
                return std::nullopt;
            }
            row << *amount;
        }
        report.amounts.insert(f[0], row);
    }
    return report;
}

// Every cell of the trial balance against hledger's report of the same entries. The bench's
// periods are calendar months, so a period's cell is hledger's month; the opening balance is
// the sum of the months before the year for balance-sheet rows, with the income-statement
// accounts' sum brought into object 38000 and the rows above it. Returns the cells that
// differ, or -1 when the comparison could not be made.
int cellsDifferingFromLedger(
    const TrialBalanceTable& table, const QList<TBPeriod>& periods, const QString& journal)
{
    for (const TBPeriod& period : periods)
        if (period.start.day() != 1 || period.end != period.start.addMonths(1).addDays(-1)) {
            out << "The periods are not calendar months: no comparison with hledger.\n";
            return -1;
        }
    const std::optional<LedgerReport> ledger = ledgerReport(journal, periods.last().end.addDays(1));
    if (!ledger)
        return -1;
    const QString firstMonth = periods.first().start.toString(QStringLiteral("yyyy-MM"));
    const qsizetype yearStart = ledger->months.indexOf(firstMonth);
    if (yearStart < 0) {
        out << "hledger's report has no column " << firstMonth << "\n";
        return -1;
    }
    auto month = [&](const QString& name, qsizetype column) {
        const QVector<Money> row = ledger->amounts.value(name);
        return column >= 0 && column < row.size() ? row[column] : Money();
    };
    auto before = [&](const QString& name) {
        Money sum;
        for (qsizetype m = 0; m < yearStart; ++m)
            sum += month(name, m);
        return sum;
    };
    auto balanceSheet = [&](int row) {
        return table.cell(TB.PostingType, row).compare(QLatin1String("Balance Sheet"), Qt::CaseInsensitive)
            == 0;
    };
    const QHash<int, QString> pathOf = objectPaths();
    Money resultBefore; // the income statement of the years before, brought into 38000
    for (int r = 1; r < table.rowCount(); ++r)
        if (table.cell(TB.Level, r) == QLatin1String("1") && table.cell(TB.CostCentreNumber, r).isEmpty()
            && !balanceSheet(r))
            resultBefore += before(pathOf.value(table.cell(TB.ObjectNumber, r).toInt()));
    const QString resultPath = pathOf.value(38000);

    int differing = 0;
    for (int r = 1; r < table.rowCount(); ++r) {
        const QString objectPath = pathOf.value(table.cell(TB.ObjectNumber, r).toInt());
        const QString costCentre = table.cell(TB.CostCentreNumber, r);
        const QString name = costCentre.isEmpty() ? objectPath : accountName(objectPath, costCentre);
        QVector<Money> expected{balanceSheet(r) ? before(name) : Money()};
        if (costCentre.isEmpty() && (resultPath == name || resultPath.startsWith(name + QLatin1Char(':'))))
            expected[0] += resultBefore;
        for (qsizetype p = 0; p < periods.size(); ++p)
            expected << month(name, yearStart + p);
        for (qsizetype c = 0; c < expected.size(); ++c) {
            const QString cell = table.cell(TB.OpeningBalance + int(c), r);
            if (Money::parse(cell).value_or(Money()) == expected[c])
                continue;
            if (++differing <= 5)
                out << "  differs from hledger: " << name << ", column " << c << ": ours " << cell
                    << ", hledger " << expected[c].toString() << "\n";
        }
    }
    return differing;
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitApplication();
    QStringList args = app.arguments();
    int hledgerRuns = 3;
    const qsizetype h = args.indexOf(QStringLiteral("--hledger-runs"));
    if (h > 0 && h + 1 < args.size()) {
        hledgerRuns = args[h + 1].toInt();
        args.remove(h, 2);
    }
    const BenchOptions opt = BenchOptions::parse(args);
    useBenchServer(opt, out);

    TfrmMain w;
    if (!openBenchBooks(w, out))
        return 1;
    const int company = BenchBooks::ShownCompany, year = BenchBooks::ShownYear;

    // One refresh to warm the server's buffers, then the timed ones.
    w.RefreshFilterstsTrialBalance();
    QList<double> ours;
    for (int i = 0; i < opt.runs; ++i)
        ours << seconds([&] { w.RefreshFilterstsTrialBalance(); });
    const QString peak = peakMemory();
    out << "Trial balance: " << w.sgTB->rowCount() - 1 << " rows x " << w.sgTB->columnCount() << " columns\n";

    // Where the time goes, from separate runs of the parts; and the same read from every
    // line instead of the monthly totals, which must give the same cells.
    TrialBalanceRequest request{{company}, year, true};
    QList<double> reading, building, lineReading, lineBuilding;
    TrialBalanceTable fromTotals(0, 0), fromLines(0, 0);
    for (int i = 0; i < opt.runs; ++i) {
        TrialBalanceData data;
        reading << seconds([&] { data = readTrialBalance(request); });
        building << seconds([&] { fromTotals = buildTrialBalanceTable(data); });
    }
    for (int i = 0; i < opt.runs; ++i) {
        TrialBalanceData data;
        lineReading << seconds([&] { data = readTrialBalance(request, TBSource::Lines); });
        lineBuilding << seconds([&] { fromLines = buildTrialBalanceTable(data); });
    }
    int differing = fromTotals.rowCount() == fromLines.rowCount() ? 0 : -1;
    for (int r = 0; differing >= 0 && r < fromTotals.rowCount(); ++r)
        for (int c = 0; c < fromTotals.columnCount(); ++c)
            differing += fromTotals.cell(c, r) != fromLines.cell(c, r);
    const double totalsMedian = median(reading) + median(building),
                 linesMedian = median(lineReading) + median(lineBuilding);
    out << QStringLiteral("Our refresh, median of %1: %2 s  (reading %3 s, building the cells %4 s)\n")
               .arg(opt.runs)
               .arg(median(ours), 0, 'f', 3)
               .arg(median(reading), 0, 'f', 3)
               .arg(median(building), 0, 'f', 3);
    out << QStringLiteral("Reading every line instead, median of %1: %2 s  (reading %3 s, building the cells "
                          "%4 s); with the totals %5 s, %6x faster\n")
               .arg(opt.runs)
               .arg(linesMedian, 0, 'f', 3)
               .arg(median(lineReading), 0, 'f', 3)
               .arg(median(lineBuilding), 0, 'f', 3)
               .arg(totalsMedian, 0, 'f', 3)
               .arg(linesMedian / totalsMedian, 0, 'f', 1);
    out << "Cells differing between the totals and the lines: "
        << (differing < 0 ? QStringLiteral("the row counts differ") : QString::number(differing)) << "\n";
    out << "Our peak memory (VmHWM): " << peak << "\n";

    // What reading the grid costs on screen: the total row worked out at each refresh, and
    // a screen of the grid painted (with its fixed descriptive columns, figures drawn
    // right-aligned and grouped) at the window's default size, page by page down the grid.
    QList<double> totalRow, painting;
    for (int i = 0; i < opt.runs; ++i)
        totalRow << seconds([&] { trialBalanceTotals(fromTotals); });
    w.resize(1046, 531);
    w.show();
    QCoreApplication::processEvents();
    QScrollBar* down = w.sgTB->verticalScrollBar();
    auto* frozen = w.sgTB->findChild<QTableView*>(QStringLiteral("sgTBFrozen"));
    for (int i = 0; i < 40; ++i) {
        down->setValue(std::min(down->maximum(), i * down->pageStep()));
        painting << seconds([&] {
            w.sgTB->viewport()->repaint();
            if (frozen && frozen->isVisible())
                frozen->viewport()->repaint();
        });
    }
    out << QStringLiteral(
        "Total row worked out, median of %1: %2 ms; a screen of the grid painted, median of "
        "%3 pages: %4 ms (slowest %5 ms)\n")
               .arg(opt.runs)
               .arg(median(totalRow) * 1000, 0, 'f', 2)
               .arg(painting.size())
               .arg(median(painting) * 1000, 0, 'f', 2)
               .arg(*std::max_element(painting.begin(), painting.end()) * 1000, 0, 'f', 2);
    out.flush();
    if (differing != 0)
        return 1;
    if (hledgerRuns <= 0)
        return 0;

    const QString journal = opt.workDir + QStringLiteral("/bench.journal");
    const int entries = exportJournal(company, journal);
    const QStringList hledgerArgs{QStringLiteral("-f"), journal, QStringLiteral("balance"),
        QStringLiteral("--monthly"), QStringLiteral("--tree"), QStringLiteral("-b"),
        QStringLiteral("2024-03-01"), QStringLiteral("-e"), QStringLiteral("2025-03-01")};
    QList<double> theirs;
    for (int i = 0; i < hledgerRuns; ++i) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        theirs << seconds([&] {
            p.start(QStringLiteral("hledger"), hledgerArgs);
            p.waitForFinished(-1);
        });
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            out << "hledger failed: " << p.readAllStandardError() << "\n";
            return 1;
        }
    }

    out << QStringLiteral("hledger balance --monthly --tree on %1 entries, median of %2: %3 s\n")
               .arg(entries)
               .arg(hledgerRuns)
               .arg(median(theirs), 0, 'f', 3);
    out << QStringLiteral("Ratio: %1x faster\n").arg(median(theirs) / median(ours), 0, 'f', 1);

    const int fromLedger = cellsDifferingFromLedger(fromTotals, readPeriods(year), journal);
    out << "Cells differing between our trial balance and hledger's report: "
        << (fromLedger < 0 ? QStringLiteral("not compared") : QString::number(fromLedger)) << " of "
        << (fromTotals.rowCount() - 1) * (fromTotals.columnCount() - TB.OpeningBalance) << "\n";
    return fromLedger == 0 ? 0 : 1;
}
