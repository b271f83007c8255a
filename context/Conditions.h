#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// The lines that restrict a statement to a set of ids in one column, as written in it:
// one id gives " and (COLUMN = ID)"; several give " and ((COLUMN = ID1)", then
// " or (COLUMN = IDn)" for each further id, then ")". No id gives " and (COLUMN = -1)",
// which matches nothing, so an empty set never widens a statement. With leadingBlank
// false each line starts without its blank.
QStringList idCondition(const QString& column, const QList<int>& ids, bool leadingBlank = true);
