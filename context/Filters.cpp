#include "app/Main.h"

void TfrmMain::RefreshFilters(QObject*) {}
void TfrmMain::RefreshFilterscbCompanies() {}
void TfrmMain::RefreshFilterscbFinancialYear() {}
int TfrmMain::RefreshFiltersSelectFinancialYear() { return 0; }
void TfrmMain::RefreshFilterscbFinancialPeriod() {}
void TfrmMain::RefreshFiltersFinancialPeriodInformation() {}
QString TfrmMain::SelCompany() { return {}; }
QStringList TfrmMain::CompanyCondition(const QString&, bool) const { return {}; }
