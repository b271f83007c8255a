#pragma once

class QTableView;

// A context menu on the grid's column headings that hides and shows columns, one
// checkable entry per column by its title. The choice is kept per grid (by its object
// name) with the user's layout and applied again whenever the grid's columns are rebuilt.
// The last visible column cannot be hidden.
void enableColumnChooser(QTableView* grid);
