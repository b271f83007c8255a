// Times the journal lines window on the books tb_generate made, through the real windows,
// beside the trial balance refresh it opens from (one run, the same books): the first
// company's second year, twelve periods.
// - an account's period figure: the window opened and its rows painted, median over
//   random account × period cells;
// - the largest level-1 object's whole year (hundreds of thousands of lines): the window
//   opened and its first rows painted, its count, and the client's memory growth;
// - the window's total against the figure of random cells of every kind: none may differ.
//
// usage: jl_bench --port P [--host H --user U --password W --database D] [--runs N]
#include "BenchOptions.h"
#include "BenchTiming.h"
#include "BenchWindow.h"

#include "app/Main.h"
#include "db/Connection.h"
#include "journallines/JournalLinesModel.h"
#include "journallines/JournalLinesWindow.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"
#include "trialbalance/TrialBalanceColumns.h"
#include "trialbalance/TrialBalanceTab.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRandomGenerator>
#include <QSettings>
#include <QTableView>
#include <QTextStream>

namespace {
QTextStream out(stdout);

[[noreturn]] void fail(const QString& why)
{
    out << why << "\n";
    out.flush();
    std::exit(1);
}

// Opens the window on the grid's cell and lets it paint; answers the window.
TfrmJournalLines* openOn(TfrmMain& w, int column, int row)
{
    w.sgTB->setCurrentCell(column, row);
    TfrmJournalLines* window = w.tsTrialBalance->openJournalLines();
    if (!window)
        fail(QStringLiteral("No window opened."));
    QCoreApplication::processEvents();
    return window;
}

Money figureOf(const StringGrid& g, int column, int row)
{
    if (column >= TB.OpeningBalance)
        return Money::parse(g.cell(column, row)).value_or(Money());
    Money sum;
    for (int c = TB.OpeningBalance; c < g.columnCount(); ++c)
        sum += Money::parse(g.cell(c, row)).value_or(Money());
    return sum;
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitApplication();
    const BenchOptions opt = BenchOptions::parse(app.arguments());
    useBenchServer(opt, out);
    QSettings().remove(QStringLiteral("selection"));
    QSettings().remove(QStringLiteral("frmJournalLines"));

    TfrmMain w;
    if (!openBenchBooks(w, out))
        fail(QStringLiteral("The books are not the generated ones."));
    w.RefreshFilterstsTrialBalance();
    QList<double> refresh;
    for (int i = 0; i < opt.runs; ++i)
        refresh << seconds([&] { w.RefreshFilterstsTrialBalance(); });
    out << "Trial balance refresh: median " << QString::number(median(refresh), 'f', 3) << " s\n";

    const StringGrid& g = *w.sgTB;
    QList<int> accountRows, levelOneRows;
    for (int r = 1; r < g.rowCount(); ++r) {
        if (!g.cell(TB.CostCentreNumber, r).isEmpty())
            accountRows << r;
        else if (g.cell(TB.Level, r) == QLatin1String("1"))
            levelOneRows << r;
    }
    if (accountRows.isEmpty() || levelOneRows.isEmpty())
        fail(QStringLiteral("The grid has no account or no level-1 row."));
    QRandomGenerator rng(20261211);

    // 1. Account × period.
    QList<double> accountCells;
    qint64 accountLines = 0;
    for (int i = 0; i <= opt.runs * 3; ++i) {
        const int row = accountRows[int(rng.bounded(int(accountRows.size())))];
        const int column = TB.OpeningBalance + 1 + int(rng.bounded(12));
        TfrmJournalLines* window = nullptr;
        const double s = seconds([&] { window = openOn(w, column, row); });
        if (i > 0)
            accountCells << s;
        accountLines += window->model()->lineCount();
        window->close();
        QCoreApplication::processEvents();
    }
    out << "Journal lines, account x period: median " << QString::number(median(accountCells) * 1000, 'f', 1)
        << " ms (" << accountCells.size() << " cells, " << accountLines << " lines in all)\n";

    // 2. The level-1 object over the whole year with the most lines.
    int bigRow = levelOneRows.first();
    qint64 bigCount = -1;
    for (int row : levelOneRows) {
        w.sgTB->setCurrentCell(TB.ObjectDescription, row);
        const qint64 n
            = JournalLinesModel(JournalLinesStore::chunks(w.tsTrialBalance->linesSubject()->ranges))
                  .lineCount();
        if (n > bigCount) {
            bigCount = n;
            bigRow = row;
        }
    }
    QList<double> bigCells, bigChunks, bigFirstChunk;
    const long long rssStart = statusKb("VmRSS");
    long long growth = 0;
    for (int i = 0; i <= opt.runs; ++i) {
        // Where the time goes: counting the lines from the totals, and reading the first month.
        w.sgTB->setCurrentCell(TB.ObjectDescription, bigRow);
        const QList<TBLinesRange> ranges = w.tsTrialBalance->linesSubject()->ranges;
        QList<JournalLinesChunk> chunks;
        bigChunks << seconds([&] { chunks = JournalLinesStore::chunks(ranges); });
        bigFirstChunk << seconds([&] { JournalLinesStore::lines(chunks.first()); });
        TfrmJournalLines* window = nullptr;
        const double s = seconds([&] { window = openOn(w, TB.ObjectDescription, bigRow); });
        // Scrolled to the end and back, as a user paging through it would.
        window->dbgJournalLines->scrollToBottom();
        QCoreApplication::processEvents();
        window->dbgJournalLines->scrollToTop();
        QCoreApplication::processEvents();
        growth = std::max(growth, statusKb("VmRSS") - rssStart);
        if (window->model()->total() != figureOf(g, TB.ObjectDescription, bigRow))
            fail(QStringLiteral("The level-1 object's total differs from its figures."));
        if (i > 0)
            bigCells << s;
        window->close();
        QCoreApplication::processEvents();
    }
    out << "Journal lines, level-1 object " << g.cell(TB.ObjectNumber, bigRow) << " x whole year ("
        << bigCount << " lines): first rows shown, median "
        << QString::number(median(bigCells) * 1000, 'f', 1) << " ms; memory growth at most " << growth / 1024
        << " MB\n"
        << "  of which counting it from the monthly totals "
        << QString::number(median(bigChunks) * 1000, 'f', 1) << " ms, reading its first month "
        << QString::number(median(bigFirstChunk) * 1000, 'f', 1) << " ms\n";

    // 3. Totals against figures, random cells of every kind.
    int checked = 0, differing = 0;
    for (int i = 0; i < 60; ++i) {
        const int row = 1 + int(rng.bounded(g.rowCount() - 1));
        const int pick = int(rng.bounded(14));
        const int column = pick == 13 ? TB.ObjectDescription : TB.OpeningBalance + pick;
        w.sgTB->setCurrentCell(column, row);
        const JournalLinesModel model(JournalLinesStore::chunks(w.tsTrialBalance->linesSubject()->ranges));
        ++checked;
        if (model.total() != figureOf(g, column, row)) {
            ++differing;
            out << "  differs: row " << row << ", column " << column << ": lines " << model.total().toString()
                << ", figure " << figureOf(g, column, row).toString() << "\n";
        }
    }
    out << "Journal lines totals against their figures: " << checked << " random cells, " << differing
        << " differ\n";
    return differing == 0 ? 0 : 1;
}
