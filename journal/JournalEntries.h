#pragma once
#include "standard/DataGrid.h"

// The columns of the journal entries list, with their titles and first widths.
QList<GridColumn> journalEntriesColumns();
