#pragma once
#include <QAbstractTableModel>
#include <QTableView>
#include <QVector>

class StringGridModel;
class QLineEdit;

// A grid of texts addressed as cell(col, row). Row 0 is the heading row: it is shown as
// the view's fixed header, so the view's row r is the grid's row r + 1.
class StringGrid : public QTableView {
    Q_OBJECT
public:
    explicit StringGrid(QWidget* parent = nullptr);

    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    int columnCount() const;
    void setColumnCount(int count);
    int rowCount() const;
    void setRowCount(int count);
    int currentRow() const; // grid row (1 upward), 0 when nothing is selected
    int currentColumn() const;
    void setCurrentCell(int col, int row);
    void setEditable(bool editable);
    // Whether a cell's editor is open.
    bool isEditing() const { return state() == EditingState; }
    // The first `count` columns are fixed: shown greyed, never edited, never the current cell.
    void setFixedCols(int count);
    int fixedCols() const;
    int defaultColumnWidth() const;
    void setDefaultColumnWidth(int width);

    // Mass changes: the view is told once, at endUpdate, instead of per cell.
    void beginUpdate();
    void endUpdate();

signals:
    void cellEdited(int col, int row, const QString& text);
    // A cell's editor was opened (grid column and row), before the user types in it.
    void editorOpened(QLineEdit* editor, int col, int row);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    // A column keeps the width the user dragged or the layout file gave it; any other
    // column is as wide as the default or its heading, whichever is wider, so that no
    // heading is cut off by a width the grid itself chose.
    void fitHeadings();
    void setGivenWidth(int col, int width);
    StringGridModel* m_model;
    QVector<int> m_savedWidths;
    QVector<bool> m_chosenWidth;
    int m_settingWidths = 0;
};

class StringGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    void resize(int cols, int rows);
    void beginBulk();
    void endBulk();
    int cols() const { return m_cols; }
    int rows() const { return m_rows; }
    bool editable = false;
    int fixedCols = 0;
    int updating = 0;

signals:
    void edited(int col, int row, const QString& text);

private:
    int m_cols = 5, m_rows = 5;
    QVector<QString> m_cells = QVector<QString>(25);
};
