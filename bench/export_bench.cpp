// Times the trial balance export on a grid the size of the large books' (1 705 objects,
// 5 120 accounts, the opening balance and twelve periods: 6 825 rows x 23 columns): the
// template read, every cell filled, the workbook written to a new file.
//
//   export_bench --template "Trial Balance.xlsx" [--runs 9] [--workdir DIR]
#include "BenchTiming.h"
#include "standard/Money.h"
#include "trialbalance/TrialBalanceColumns.h"
#include "trialbalance/TrialBalanceExport.h"
#include "trialbalance/Xlsx.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <functional>

namespace {
TrialBalanceTable largeGrid()
{
    const int levels[] = {5, 20, 80, 320, 1280}; // objects per level, as tb_generate makes them
    constexpr int costCentres = 4, periods = 12;
    int objects = 0;
    for (int n : levels)
        objects += n;
    const int rows = 1 + objects + levels[4] * costCentres;
    TrialBalanceTable t(TB.OpeningBalance + 1 + periods, rows);
    QRandomGenerator random(17);
    auto amount = [&random] {
        // Cents, a fifth of them zero, as a refreshed grid shows them.
        const qint64 cents = random.bounded(5) == 0 ? 0 : qint64(random.bounded(2000000)) - 1000000;
        return cents == 0 ? QStringLiteral("0") : Money::fromUnits(__int128(cents) * 100).toString();
    };
    int row = 1;
    auto fill = [&](int level, int number, bool account, int costCentre) {
        t.setCell(TB.PostingType, row,
            number < 40000 ? QStringLiteral("Balance Sheet") : QStringLiteral("Income Statement"));
        t.setCell(TB.Classification, row, QStringLiteral("Class %1").arg(number / 10000));
        t.setCell(TB.ObjectNumber, row, QString::number(number));
        t.setCell(TB.ObjectDescription, row, QStringLiteral("Object %1 of level %2").arg(number).arg(level));
        t.setCell(TB.UseForAccount, row, level == 5 ? QStringLiteral("Yes") : QStringLiteral("No"));
        if (account) {
            t.setCell(TB.CompanyName, row, QStringLiteral("Bench Company 1"));
            t.setCell(TB.CostCentreNumber, row, QString::number(costCentre * 10));
            t.setCell(TB.CostCentreDescription, row, QStringLiteral("Cost centre %1").arg(costCentre * 10));
            t.setCell(
                TB.AccountDescription, row, QStringLiteral("Account %1.%2").arg(costCentre * 10).arg(number));
        } else {
            t.setCell(TB.Level, row, QString::number(level));
        }
        for (int c = TB.OpeningBalance; c < t.columnCount(); ++c)
            t.setCell(c, row, amount());
        ++row;
    };
    // Depth first, so every object is followed by its children, as the chart's numbering orders them.
    std::function<void(int, int)> walk = [&](int level, int number) {
        fill(level, number, false, 0);
        if (level == 5) {
            for (int cc = 1; cc <= costCentres; ++cc)
                fill(level, number, true, cc);
            return;
        }
        const int children = levels[level] / levels[level - 1];
        for (int i = 0; i < children; ++i)
            walk(level + 1, number + (i + 1) * int(std::pow(10, 4 - level)));
    };
    for (int i = 0; i < levels[0]; ++i)
        walk(1, (i + 1) * 10000);
    return t;
}
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString templateFile, workDir = QStringLiteral(".");
    int runs = 9;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--template"))
            templateFile = args[i + 1];
        else if (args[i] == QLatin1String("--runs"))
            runs = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--workdir"))
            workDir = args[i + 1];
    }
    QTextStream out(stdout);
    if (templateFile.isEmpty() || runs < 1) {
        out << "usage: export_bench --template FILE [--runs N] [--workdir DIR]\n";
        return 2;
    }
    const TrialBalanceTable grid = largeGrid();
    QStringList periods;
    for (int c = TB.OpeningBalance + 1; c < grid.columnCount(); ++c)
        periods << QStringLiteral("Period %1").arg(c - TB.OpeningBalance);
    const TrialBalanceExportInput input{QStringLiteral("Bench Company 1"), QStringLiteral("2024"), periods};

    // Wall time is what the user waits; the process's CPU time shows the cost apart from
    // what other programs on a shared machine take.
    QList<double> ms, cpuMs;
    qint64 size = 0;
    for (int run = 0; run <= runs; ++run) { // run 0 warms up
        const std::clock_t cpu = std::clock();
        QString path;
        const double elapsed = seconds([&] {
            path = exportTrialBalance(templateFile, workDir, grid, input, QLatin1Char('.'));
        }) * 1000;
        const double cpuElapsed = double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
        size = QFileInfo(path).size();
        QFile::remove(path);
        if (run > 0) {
            ms << elapsed;
            cpuMs << cpuElapsed;
        }
    }
    // The split, from separate runs: filling the cells, and writing the file.
    QList<double> fillMs, writeMs;
    for (int run = 0; run < runs; ++run) {
        XlsxWorkbook workbook(templateFile);
        fillMs << seconds([&] { fillTrialBalanceWorkbook(workbook, grid, input); }) * 1000;
        const QString path = workDir + QStringLiteral("/split.xlsx");
        QFile(path).open(QIODevice::WriteOnly);
        writeMs << seconds([&] { workbook.saveAs(path); }) * 1000;
        QFile::remove(path);
    }
    const auto shown = [](double v) { return QString::number(v, 'f', 1); };
    std::sort(ms.begin(), ms.end());
    out << "grid: " << grid.rowCount() - 1 << " rows x " << grid.columnCount() << " columns; workbook "
        << size / 1024 << " KiB\n";
    out << "export median of " << runs << ": " << shown(median(ms)) << " ms (min " << shown(ms.front())
        << ", max " << shown(ms.back()) << ")\n";
    out << "  CPU time median " << shown(median(cpuMs)) << " ms\n";
    out << "  of which filling the cells " << shown(median(fillMs)) << " ms, writing the file (XML and zip) "
        << shown(median(writeMs)) << " ms\n";
    return 0;
}
