#include "app/Main.h"

void TfrmMain::acCompaniesExecute(QObject*) {}
void TfrmMain::acCostCentresExecute(QObject*) {}
