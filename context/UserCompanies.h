#pragma once
#include <QStringList>

// The statement that lists the companies a user may work with (an access row with
// "access company" set), ordered by id: the company box of the filter bar and the
// companies window show the same list.
QStringList userCompaniesSql(int UserID);
