#include "app/Main.h"

#include <QAction>
#include <QTabWidget>

void TfrmMain::Logout()
{
    UserID = 0;
    acLogin->setText(QStringLiteral("Login"));
    setWindowTitle(QStringLiteral("Veldra"));
    pnlFilters->hide();
    for (QAction* a : {acCompanies, acAccess, acCostCentres, acFinancialYears})
        a->setEnabled(false);
    SetTabShown(tsTrialBalance, false);
    SetTabShown(tsJournalEntries, false);
    ShowTab(tsWelcome);
}

void TfrmMain::acLoginExecute() {}
void TfrmMain::Login(int) {}
