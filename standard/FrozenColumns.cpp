#include "standard/FrozenColumns.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

FrozenColumns::FrozenColumns(QTableView* grid, int count)
    : QObject(grid), m_grid(grid), m_frozen(new QTableView(grid)), m_count(count)
{
    m_frozen->setObjectName(grid->objectName() + QStringLiteral("Frozen"));
    m_frozen->setModel(grid->model());
    m_frozen->setSelectionModel(grid->selectionModel());
    m_frozen->setItemDelegate(grid->itemDelegate());
    m_frozen->setFocusPolicy(Qt::NoFocus);
    m_frozen->verticalHeader()->hide();
    m_frozen->horizontalHeader()->setVisible(grid->horizontalHeader()->isVisible());
    m_frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_frozen->horizontalHeader()->setHighlightSections(false);
    m_frozen->horizontalHeader()->setDefaultAlignment(grid->horizontalHeader()->defaultAlignment());
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollMode(grid->verticalScrollMode());
    m_frozen->setSelectionBehavior(grid->selectionBehavior());
    m_frozen->setSelectionMode(grid->selectionMode());
    m_frozen->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_frozen->setWordWrap(grid->wordWrap());
    m_frozen->setFrameShape(QFrame::NoFrame);
    m_frozen->setStyleSheet(QStringLiteral("QTableView { border-right: 1px solid palette(mid); }"));
    m_frozen->verticalHeader()->setDefaultSectionSize(grid->verticalHeader()->defaultSectionSize());

    connect(m_frozen->verticalScrollBar(), &QScrollBar::valueChanged, grid->verticalScrollBar(),
        &QScrollBar::setValue);
    connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, m_frozen->verticalScrollBar(),
        &QScrollBar::setValue);
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this, &FrozenColumns::follow);
    connect(grid->horizontalHeader(), &QHeaderView::sectionCountChanged, this, &FrozenColumns::follow);
    // After everything else a rebuild sets off (the columns the user hid among it).
    connect(
        grid->model(), &QAbstractItemModel::modelReset, this, &FrozenColumns::follow, Qt::QueuedConnection);
    connect(grid->model(), &QAbstractItemModel::layoutChanged, this, &FrozenColumns::follow,
        Qt::QueuedConnection);
    connect(m_frozen, &QAbstractItemView::doubleClicked, grid, &QAbstractItemView::doubleClicked);
    connect(m_frozen, &QAbstractItemView::clicked, grid, [this](const QModelIndex& index) {
        m_grid->setFocus(Qt::MouseFocusReason);
        m_grid->setCurrentIndex(index);
    });
    m_viewport = grid->viewport();
    m_viewport->installEventFilter(this);
    grid->installEventFilter(this);
    follow();
}

int FrozenColumns::width() const
{
    int w = 0;
    for (int c = 0; c < m_count && c < m_grid->model()->columnCount(); ++c)
        if (!m_grid->isColumnHidden(c))
            w += m_grid->columnWidth(c);
    return w;
}

void FrozenColumns::follow()
{
    if (!m_frozen)
        return;
    const int columns = m_grid->model()->columnCount();
    for (int c = 0; c < columns; ++c) {
        const bool shown = c < m_count && !m_grid->isColumnHidden(c);
        m_frozen->setColumnHidden(c, !shown);
        if (shown)
            m_frozen->setColumnWidth(c, m_grid->columnWidth(c));
    }
    const int w = width();
    // Nothing to keep when the fixed part would fill the grid: it scrolls as one then.
    const bool fits = w > 0 && w < m_grid->viewport()->width() * 3 / 4;
    m_frozen->setVisible(fits);
    if (!fits)
        return;
    const int left = m_grid->frameWidth()
        + (m_grid->verticalHeader()->isVisible() ? m_grid->verticalHeader()->width() : 0);
    const int headerHeight
        = m_grid->horizontalHeader()->isVisible() ? m_grid->horizontalHeader()->height() : 0;
    m_frozen->setGeometry(left, m_grid->frameWidth(), w + 1, m_grid->viewport()->height() + headerHeight);
    m_frozen->verticalScrollBar()->setValue(m_grid->verticalScrollBar()->value());
    m_frozen->raise();
}

bool FrozenColumns::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: events reach here while the grid is being destroyed, when it is no
    // longer a table view to call.
    if (event->type() == QEvent::Resize && (watched == m_grid || watched == m_viewport))
        follow();
    return QObject::eventFilter(watched, event);
}
