#pragma once
// The window the benchmarks of the trial balance work in: the bench user logged in, the
// first company and its second year (twelve periods, the first year before it) selected,
// the trial balance tab shown.
#include "BenchOptions.h"

#include "app/Main.h"
#include "db/Connection.h"
#include "standard/Standard.h"

#include <QComboBox>
#include <QTextStream>

namespace BenchBooks {
constexpr int ShownCompany = 1, ShownYear = 2; // the first company's second year
}

// The program's connection to the bench server; its messages printed on `out` instead of
// shown. Before the main window is made.
inline void useBenchServer(const BenchOptions& opt, QTextStream& out)
{
    SetConnectionSettings({opt.host, opt.port, opt.database, opt.user, opt.password});
    SetBoodskapHandler([&out](const QString& text, bool) {
        out << "Message: " << text << "\n";
        return true;
    });
}

// False, after saying why on `out`, when the books are not the generated ones.
inline bool openBenchBooks(TfrmMain& w, QTextStream& out)
{
    w.Login(1);
    const int company = BenchBooks::ShownCompany, year = BenchBooks::ShownYear;
    if (!selectId(w.cbCompany, company)) {
        out << "The bench user sees no company " << company << ": run tb_generate first.\n";
        return false;
    }
    w.RefreshFilters();
    selectId(w.cbFinancialYear, year);
    w.RefreshFilters();
    if (w.cbFinancialPeriod->currentIndex() < 0 || w.cbFinancialPeriod->count() != 12) {
        out << "Year " << year << " should have twelve periods and one selected.\n";
        return false;
    }
    w.showTab(w.tsTrialBalance);
    return true;
}
