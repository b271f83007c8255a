#pragma once
#include <QColor>
#include <QStyledItemDelegate>
#include <functional>
#include <optional>

class StringGrid;

// The grey of an object row of the given level: darkest for level 1, lighter for each
// level down to 5; other levels have no shade (an invalid colour).
QColor TBLevelShade(qint64 level);

// sgTBDrawCell: after the grid's standard drawing of a cell, an object row that is not
// selected is repainted in its level's grey (or, for a level without a shade, in the
// grid's plain background) with its text at 2 from the cell's top and its side. Account rows,
// the heading row and selected cells stay as the grid draws them.
class TBDrawCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // MarkNonZero: a total row, whose non-zero amounts (books out of balance) are drawn in
    // the error colour.
    enum Kind { Rows, MarkNonZero };
    explicit TBDrawCellDelegate(StringGrid* grid, Kind kind = Rows);
    // How a grid row is drawn: an object row's level (none for an account row, which the
    // grid draws itself) and whether its non-zero amounts show in the error colour.
    struct RowLook {
        std::optional<qint64> level;
        bool markNonZero = false;
    };
    // The same drawing for a grid laid out otherwise (the statements): the look of each
    // grid row, and the first column of figures.
    TBDrawCellDelegate(StringGrid* grid, std::function<RowLook(int gridRow)> lookOf, int firstFigureColumn);
    void paint(
        QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    // Amount columns as figures: right-aligned, grouped, two decimals at least; the cell's
    // own text (read and exported) stays as it is.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    std::function<RowLook(int gridRow)> m_lookOf;
    int m_firstFigureColumn;
};
