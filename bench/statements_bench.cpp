// Times opening the statements beside the trial balance's refresh, on the books
// tb_generate made, in one run: logs in as the bench user, selects the first company and
// its second year with a period, then alternates refreshes of the trial balance and
// openings of the statements window (reading both years' figures is the trial balance's
// reading; building the two statements and filling their grids is what is added). Then
// checks every cell of both statements against the trial balance (it fails on any
// difference, and on a balance sheet whose check total is not 0 at some date), and saves
// the trial balance (about 6 700 rows) as a PDF and times it, with the peak memory.
//
// usage: statements_bench --port P [--host H --user U --password W --database D]
//                         [--runs N] [--workdir DIR]
#include "BenchOptions.h"
#include "BenchTiming.h"
#include "BenchWindow.h"
#include "StatementTesting.h"

#include "app/Main.h"
#include "db/Connection.h"
#include "print/TablePrinter.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"
#include "statements/StatementsWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

namespace {
QTextStream out(stdout);
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitApplication();
    QStringList args = app.arguments();
    // bench/run may pass tb_bench's hledger option along; it means nothing here.
    if (const qsizetype h = args.indexOf(QStringLiteral("--hledger-runs")); h > 0 && h + 1 < args.size())
        args.remove(h, 2);
    const BenchOptions opt = BenchOptions::parse(args);
    useBenchServer(opt, out);

    TfrmMain w;
    if (!openBenchBooks(w, out))
        return 1;
    w.RefreshFilterstsTrialBalance(); // warms the server's buffers

    QList<double> refresh, statements;
    int rows = 0;
    for (int i = 0; i < opt.runs; ++i) {
        refresh << seconds([&] { w.RefreshFilterstsTrialBalance(); });
        statements << seconds([&] {
            TfrmStatements window(w.books(), &w);
            if (!window.load())
                std::exit(1);
            rows = window.sgBalanceSheet->rowCount() + window.sgProfitAndLoss->rowCount();
        });
    }
    const double r = median(refresh), s = median(statements);
    out << QStringLiteral("Trial balance refresh: median %1 ms over %2 runs (%3 rows)\n")
               .arg(r * 1000, 0, 'f', 0)
               .arg(opt.runs)
               .arg(w.sgTB->rowCount());
    out << QStringLiteral("Statements opened:     median %1 ms (%2 grid rows), %3 ms more than the refresh\n")
               .arg(s * 1000, 0, 'f', 0)
               .arg(rows)
               .arg((s - r) * 1000, 0, 'f', 0);
    out.flush();

    {
        TfrmStatements window(w.books(), &w);
        if (!window.load())
            return 1;
        window.chkStatementAccounts->setChecked(true);
        const QStringList wrong = statementDifferences(*w.sgTB, *window.sgProfitAndLoss, false)
            + statementDifferences(*w.sgTB, *window.sgBalanceSheet, true);
        out << QStringLiteral("Statements against the trial balance (%1 and %2 rows with accounts): %3\n")
                   .arg(window.sgProfitAndLoss->rowCount() - 1)
                   .arg(window.sgBalanceSheet->rowCount() - 1)
                   .arg(wrong.isEmpty() ? QStringLiteral("every cell agrees, check total 0 at every date")
                                        : wrong.join(QStringLiteral("; ")));
        out.flush();
        if (!wrong.isEmpty())
            return 1;
    }

    const long long before = statusKb("VmRSS");
    const QString path = QDir(opt.workDir).filePath(QStringLiteral("statements-bench.pdf"));
    PrintableTable table;
    const double gather = seconds([&] { table = w.tsTrialBalance->printable(); });
    bool written = false;
    const double pdf = seconds([&] { written = writeTablePdf(table, path); });
    if (!written)
        return 1;
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    info.waitForFinished();
    const QString pages = QString::fromUtf8(info.readAllStandardOutput())
                              .section(QStringLiteral("Pages:"), 1)
                              .section(QLatin1Char('\n'), 0, 0)
                              .trimmed();
    out << QStringLiteral("Trial balance PDF: %1 rows, %2 pages, %3 kB; gathering %4 s, writing %5 s; "
                          "memory before %6 kB, peak %7\n")
               .arg(table.rows.size())
               .arg(pages.isEmpty() ? QStringLiteral("?") : pages)
               .arg(QFileInfo(path).size() / 1024)
               .arg(gather, 0, 'f', 2)
               .arg(pdf, 0, 'f', 2)
               .arg(before)
               .arg(peakMemory());
    QFile::remove(path);
    return 0;
}
