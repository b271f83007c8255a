// Times the trial-balance refresh on the books tb_generate made, against hledger on the
// same entries: logs in as the bench user, selects the first company and its second
// year (twelve periods, the first year before it), and runs RefreshFilterstsTrialBalance
// several times. Prints the median, the client's peak memory, the same read from every
// line instead of the monthly totals (time, and the cells that differ: none may), hledger's
// median on a journal of the same company's entries for the same year, and the ratio.
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
#include "standard/Standard.h"
#include "standard/StringGrid.h"
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

namespace {
QTextStream out(stdout);

// hledger account names follow the chart: the object numbers from level 1 down to the
// account's object, then the cost centre, so --tree shows the same hierarchy.
QHash<int, QString> accountNames(int company)
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
    Query accounts;
    accounts.open({QStringLiteral("SELECT accounts.id, `object number`, `cost centre number`"),
        QStringLiteral("FROM accounts, objects, `cost centres`"),
        QStringLiteral("WHERE (accounts.`object id` = objects.id) and "
                       "(accounts.`cost centre id` = `cost centres`.id)"),
        QStringLiteral("and (`cost centres`.`company id` = %1)").arg(company)});
    QHash<int, QString> names;
    for (accounts.first(); !accounts.eof(); accounts.next())
        names.insert(accounts.asInteger(QStringLiteral("id")),
            pathOf.value(accounts.asInteger(QStringLiteral("object number"))) + QStringLiteral(":cc")
                + accounts.asString(QStringLiteral("cost centre number")));
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
    return 0;
}
