#include "standard/ColumnChooser.h"

#include "db/Query.h"
#include "standard/DataGrid.h"
#include "standard/Standard.h"

#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QTableView>

namespace {
// The columns a user may choose among: logical index and title.
QList<QPair<int, QString>> choosable(QTableView* grid)
{
    QList<QPair<int, QString>> columns;
    QAbstractItemModel* model = grid->model();
    if (!model)
        return columns;
    if (auto* dg = qobject_cast<DataGrid*>(grid)) {
        // A data grid shows only its own columns of the query.
        if (const Query* query = dg->query())
            for (const GridColumn& c : dg->columns())
                if (const int i = query->fieldIndex(c.field); i >= 0)
                    columns.append({i, c.title});
        return columns;
    }
    for (int i = 0; i < model->columnCount(); ++i)
        columns.append({i, model->headerData(i, Qt::Horizontal).toString()});
    return columns;
}

QString settingsKey(const QTableView* grid)
{
    return QStringLiteral("layout/%1/hidden").arg(grid->objectName());
}

void applyHidden(QTableView* grid)
{
    const QStringList hidden = QSettings().value(settingsKey(grid)).toStringList();
    const auto columns = choosable(grid);
    int shown = 0;
    for (const auto& [index, title] : columns) {
        const bool hide = hidden.contains(title) && shown + 1 < columns.size();
        if (grid->isColumnHidden(index) != hide)
            grid->setColumnHidden(index, hide);
        shown += hide ? 0 : 1;
    }
}
}

void enableColumnChooser(QTableView* grid)
{
    QHeaderView* header = grid->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(header, &QHeaderView::customContextMenuRequested, grid, [grid](const QPoint& at) {
        QMenu menu(grid);
        const auto columns = choosable(grid);
        int visible = 0;
        for (const auto& column : columns)
            visible += grid->isColumnHidden(column.first) ? 0 : 1;
        for (const auto& [index, title] : columns) {
            QAction* a = menu.addAction(title);
            a->setCheckable(true);
            a->setChecked(!grid->isColumnHidden(index));
            a->setEnabled(!(visible == 1 && a->isChecked()));
            QObject::connect(a, &QAction::toggled, grid, [grid, index, title](bool show) {
                grid->setColumnHidden(index, !show);
                QSettings settings;
                QStringList hidden = settings.value(settingsKey(grid)).toStringList();
                hidden.removeAll(title);
                if (!show)
                    hidden << title;
                settings.setValue(settingsKey(grid), hidden);
            });
        }
        menu.exec(grid->horizontalHeader()->mapToGlobal(at));
    });
    if (QAbstractItemModel* model = grid->model()) {
        QObject::connect(model, &QAbstractItemModel::modelReset, grid, [grid] { applyHidden(grid); });
        QObject::connect(model, &QAbstractItemModel::headerDataChanged, grid, [grid] { applyHidden(grid); });
        QObject::connect(model, &QAbstractItemModel::columnsInserted, grid, [grid] { applyHidden(grid); });
    }
    applyHidden(grid);
}
