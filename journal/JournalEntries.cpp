#include "app/Main.h"

void TfrmMain::RefreshFilterstsJournalEntries(QObject*) {}
