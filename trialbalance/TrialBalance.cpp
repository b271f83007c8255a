#include "app/Main.h"

void TfrmMain::RefreshFilterstsTrialBalance(QObject*) {}
void TfrmMain::MaakTotaleOpNaBo(int, int, const Money&) {}
