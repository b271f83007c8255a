#pragma once
#include <QObject>
#include <QPointer>

class QTableView;

// Keeps a grid's first `count` columns (those of them not hidden) fixed at its left while
// the others scroll under them: a second view over the same model and selection, laid on
// the grid's left edge and following its rows, widths and vertical scrolling. Clicks and
// double clicks on the fixed part act on the grid itself.
class FrozenColumns : public QObject {
    Q_OBJECT
public:
    FrozenColumns(QTableView* grid, int count);
    QTableView* view() const { return m_frozen; }
    // The fixed part's width: the visible fixed columns' widths.
    int width() const;

private:
    void follow();
    bool eventFilter(QObject* watched, QEvent* event) override;
    QTableView* m_grid;
    QPointer<QTableView> m_frozen;
    QWidget* m_viewport = nullptr; // the grid's, kept: while the grid is destroyed it cannot be asked

    int m_count;
};
