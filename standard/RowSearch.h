#pragma once
#include <QList>
#include <QString>

class QAbstractItemModel;

// The next row of the model after `from` (going down, or up when not `forward`, round past
// the end) whose text in one of `columns` contains `text` in any letter case; `from`
// itself is looked at last, so a match on it is kept while more letters are typed.
// -1 when no row matches or the text is empty.
int findRow(
    const QAbstractItemModel& model, const QList<int>& columns, const QString& text, int from, bool forward);
