#pragma once
#include <QList>
#include <QPointer>
#include <QTableView>

class Query;

struct GridColumn {
    QString field;
    QString title;
    int width = 64;
};

// A read-only grid on a Query: it shows the given columns in order with their titles
// (the query's other columns hidden), and its selected row is the query's current row.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);
    void setQuery(Query* query);
    Query* query() const;
    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return m_columns; }
    // Width of the n-th shown column (the n-th GridColumn), as layout files store them.
    int gridColumnWidth(int n) const;
    void setGridColumnWidth(int n, int width);

private:
    void applyColumns();
    void followQuery(int row);

    QPointer<Query> m_query;
    QList<GridColumn> m_columns;
    bool m_syncing = false;
};
