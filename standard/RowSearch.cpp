#include "standard/RowSearch.h"

#include <QAbstractItemModel>

int findRow(
    const QAbstractItemModel& model, const QList<int>& columns, const QString& text, int from, bool forward)
{
    const int rows = model.rowCount();
    if (text.isEmpty() || rows == 0)
        return -1;
    const int start = from < 0 ? (forward ? -1 : rows) : from;
    for (int step = 1; step <= rows; ++step) {
        const int row = ((start + (forward ? step : -step)) % rows + rows) % rows;
        for (const int column : columns)
            if (model.index(row, column).data().toString().contains(text, Qt::CaseInsensitive))
                return row;
    }
    return -1;
}
