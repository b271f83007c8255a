// Times the journal entries on the books tb_generate made: the list of the dense month
// (from the tab click to the filled grid, and the client memory it takes), saving a
// 100-line entry through the entry window's OK, and the two per-keystroke handlers with
// 100 filled lines and about 10 000 accounts loaded.
//
// usage: je_bench --port P [--host H --user U --password W --database D] [--runs N]
#include "BenchOptions.h"
#include "BenchTiming.h"
#include "BenchWindow.h"

#include "app/Main.h"
#include "db/Query.h"
#include "journal/JournalColumns.h"
#include "journal/JournalEntriesTab.h"
#include "journal/JournalEntry.h"
#include "standard/DataGrid.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTextStream>

namespace {
QTextStream out(stdout);

void fail(const QString& why)
{
    out << why << "\n";
    out.flush();
    std::exit(1);
}

// The accounts 100 lines use: leaf objects (level 5) on cost centre 10 of company 1.
QStringList leafAccounts(int count)
{
    Query q;
    q.open({QStringLiteral(
        "SELECT `object number` FROM objects WHERE level = 5 ORDER BY `object number` LIMIT %1")
                .arg(count)});
    QStringList numbers;
    for (q.first(); !q.eof(); q.next())
        numbers << QStringLiteral("10.") + q.asString(QStringLiteral("object number"));
    return numbers;
}

void fillHundredLines(TfrmJournalEntry& f, const QStringList& accounts)
{
    StringGrid* sg = f.sg;
    auto type = [&](int col, int row, const QString& text) {
        sg->model()->setData(sg->model()->index(row - 1, col), text, Qt::EditRole);
    };
    for (int r = 1; r <= 100; ++r) {
        type(JE.AccountNumber, r, accounts[(r - 1) % accounts.size()]);
        type(JE.LineDescription, r, QStringLiteral("Bench line %1").arg(r));
        type(JE.Amount, r, r % 2 ? QStringLiteral("%1.25").arg(r) : QStringLiteral("-%1.25").arg(r - 1));
    }
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
    const QDate day = BenchBooks::DenseMonth.addDays(14);
    SetClockForTesting(QDateTime(day, QTime(9, 0)));

    // A selection kept from an earlier run would be chosen again at login; the bench starts
    // from a workstation that has none.
    QSettings().remove(QStringLiteral("selection"));
    TfrmMain w;
    w.Login(1);
    const int company = 1;
    if (!selectId(w.cbCompany, company))
        fail(QStringLiteral("The bench user sees no company 1: run tb_generate first."));
    w.RefreshFilters();
    if (w.cbFinancialPeriod->currentText() != BenchBooks::DenseMonth.toString(QStringLiteral("MMM yyyy")))
        fail(QStringLiteral("The dense month is not the selected period."));

    // 1. The list: the tab click runs the whole refresh; the grid then lays out and paints.
    w.resize(1046, 531);
    w.show();
    const long long rssBefore = statusKb("VmRSS");
    QList<double> list;
    for (int i = 0; i <= opt.runs; ++i) {
        w.showTab(w.tsWelcome);
        QCoreApplication::processEvents();
        const double s = seconds([&] {
            w.pcMain->setCurrentWidget(w.tsJournalEntries);
            QCoreApplication::processEvents();
        });
        if (i > 0) // the first run warms the server's buffers
            list << s;
    }
    const long long rssAfter = statusKb("VmRSS");
    // Where the list's time goes: the statement with the reading of its rows alone.
    const QString sql = w.qrTransactions->sql();
    QList<double> reading;
    for (int i = 0; i < opt.runs; ++i) {
        Query q;
        q.setSql(sql.split(QLatin1Char('\n')));
        reading << seconds([&] { q.open(); });
    }
    const int rows = w.qrTransactions->recordCount();
    if (rows < 15000)
        fail(QStringLiteral("The dense month lists only %1 entries: regenerate the books.").arg(rows));

    // Selecting an entry of the list: its lines shown in the grid below it.
    QList<double> selecting;
    const int numberColumn = w.qrTransactions->fieldIndex(QStringLiteral("transaction number"));
    for (int i = 0; i <= opt.runs * 5; ++i) {
        const int row = (i * 997) % rows;
        const double s = seconds([&] {
            w.dbgJournalEntries->setCurrentIndex(w.qrTransactions->index(row, numberColumn));
            QCoreApplication::processEvents();
        });
        if (w.tsJournalEntries->dbgJournalEntryLines->model()->rowCount() < 2)
            fail(QStringLiteral("The selected entry's lines are not shown."));
        if (i > 0)
            selecting << s;
    }

    // 2. Saving a 100-line entry: OK's checks, the numbered transaction and its commit.
    const QStringList accounts = leafAccounts(100);
    QList<double> saves;
    for (int i = 0; i < opt.runs; ++i) {
        TfrmJournalEntry f(w.books(), &w);
        f.dtpJournalEntryDate->setDate(day);
        f.edtJournalEntryDescription->setText(QStringLiteral("Bench save"));
        fillHundredLines(f, accounts);
        saves << seconds([&] { f.btnOK->click(); });
        if (f.result() != QDialog::Accepted)
            fail(QStringLiteral("The 100-line entry was not saved."));
    }

    // 3. Keystrokes, with four more cost centres opened on every leaf object so the window
    // loads over 10 000 accounts; removed again afterwards, with the bench's own entries.
    auto cleanUp = [&] {
        // The ids first, then their lines, then the entries themselves.
        Query saved;
        saved.open(
            {QStringLiteral("SELECT id FROM transactions WHERE `transaction description` = 'Bench save'")});
        QStringList ids{QStringLiteral("0")};
        for (saved.first(); !saved.eof(); saved.next())
            ids << QString::number(saved.asInteger(QStringLiteral("id")));
        Query::execute(QStringLiteral("DELETE FROM `transaction details` WHERE `transaction id` IN (%1)")
                           .arg(ids.join(QLatin1Char(','))));
        Query::execute(
            QStringLiteral("DELETE FROM transactions WHERE `transaction description` = 'Bench save'"));
        Query::execute(
            QStringLiteral("DELETE a FROM accounts a, `cost centres` c WHERE a.`cost centre id` = c.id "
                           "AND c.`cost centre description` LIKE 'Bench extra %'"));
        Query::execute(QStringLiteral(
            "DELETE FROM `cost centres` WHERE `cost centre description` LIKE 'Bench extra %'"));
    };
    cleanUp();
    for (int n = 1; n <= 4; ++n) {
        Query::execute(QStringLiteral("INSERT INTO `cost centres` (`company id`, `cost centre number`, "
                                      "`cost centre description`) VALUES (%1, %2, 'Bench extra %2')")
                           .arg(company)
                           .arg(1000 + n));
        Query::execute(QStringLiteral(
            "INSERT INTO accounts (`cost centre id`, `object id`, `account description`) "
            "SELECT LAST_INSERT_ID(), id, 'Bench extra account' FROM objects WHERE level = 5"));
    }
    QList<double> lookups, totals;
    int loaded = 0;
    {
        TfrmJournalEntry f(w.books(), &w);
        loaded = int(f.accounts().size());
        fillHundredLines(f, accounts);
        auto keystrokes = [&](int col, const QString& text, QList<double>& times) {
            for (int i = 1; i <= text.size(); ++i) {
                const QString typed = text.left(i);
                times << seconds(
                    [&] { f.sg->model()->setData(f.sg->model()->index(49, col), typed, Qt::EditRole); });
            }
        };
        for (int round = 0; round < 50; ++round) {
            keystrokes(JE.AccountNumber, QStringLiteral("1004.54444"), lookups);
            keystrokes(JE.Amount, QStringLiteral("-12345.67"), totals);
        }
    }
    cleanUp();

    out << QStringLiteral("Journal list of %1 entries (tab click to filled grid), median of %2: %3 s; "
                          "client memory growth %4 MB\n")
               .arg(rows)
               .arg(list.size())
               .arg(median(list), 0, 'f', 3)
               .arg((rssAfter - rssBefore) / 1024.0, 0, 'f', 1);
    out << QStringLiteral("  of which the statement and reading its rows, median of %1: %2 s\n")
               .arg(reading.size())
               .arg(median(reading), 0, 'f', 3);
    out << QStringLiteral("Selecting an entry of the %1-entry list, its lines shown, median of %2: %3 ms\n")
               .arg(rows)
               .arg(selecting.size())
               .arg(median(selecting) * 1000, 0, 'f', 1);
    out << QStringLiteral("Saving a 100-line entry, median of %1: %2 ms\n")
               .arg(saves.size())
               .arg(median(saves) * 1000, 0, 'f', 1);
    out << QStringLiteral("Keystroke with %1 accounts and 100 lines: account number %2 µs (max %3 µs), "
                          "amount %4 µs (max %5 µs)\n")
               .arg(loaded)
               .arg(median(lookups) * 1e6, 0, 'f', 1)
               .arg(*std::max_element(lookups.begin(), lookups.end()) * 1e6, 0, 'f', 1)
               .arg(median(totals) * 1e6, 0, 'f', 1)
               .arg(*std::max_element(totals.begin(), totals.end()) * 1e6, 0, 'f', 1);
    out << "Peak memory (VmHWM): " << peakMemory() << "\n";
    return 0;
}
