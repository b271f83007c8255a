#include "app/Main.h"

#include "standard/Standard.h"

// The list itself comes with the journal list; until then the tab only checks the right.
void TfrmMain::RefreshFilterstsJournalEntries(QObject*)
{
    if (!TestAccess(QStringLiteral("journal entries"), QStringLiteral("view"))) {
        ShowTab(tsWelcome);
        Boodskap(QStringLiteral("The selected company/companies does not all have view access to journal entries."));
        return;
    }
}
