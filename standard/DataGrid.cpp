#include "standard/DataGrid.h"

#include "db/Query.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {
// Amount columns drawn as figures: right-aligned, grouped, two decimals at least. The
// cells' texts (what is read and exported) stay the program's shortest form.
class FigureDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto* query = qobject_cast<const Query*>(index.model());
        if (!query || !query->isAmountColumn(index.column()) || option->text.isEmpty())
            return;
        if (const std::optional<Money> amount = Money::parse(option->text)) {
            option->text = amount->toDisplayString();
            option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
        }
    }
};
}

DataGrid::DataGrid(QWidget* parent) : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new FigureDelegate(this));
    // Rows are picked with the arrow keys; Tab goes on to the window's next control.
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(false);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (m_syncing || !m_query)
            return;
        const QString field = m_query->fieldNames().value(logical).toLower();
        for (auto& c : m_columns)
            if (c.field.toLower() == field)
                c.width = size;
    });
}

Query* DataGrid::query() const { return m_query; }

void DataGrid::setQuery(Query* query)
{
    if (m_query)
        disconnect(m_query, nullptr, this, nullptr);
    m_query = query;
    setModel(query);
    if (!query)
        return;
    connect(query, &QAbstractItemModel::modelReset, this, &DataGrid::applyColumns);
    connect(query, &Query::currentRowChanged, this, &DataGrid::followQuery);
    connect(
        selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
            if (!m_syncing && m_query && current.isValid())
                m_query->setCurrentRow(current.row());
        });
    applyColumns();
}

void DataGrid::setColumns(const QList<GridColumn>& columns)
{
    m_columns = columns;
    // The designed widths, wider where this system's font needs it for the whole title; a
    // width the user chose (setGridColumnWidth, from the layout file) is kept as it is.
    const QHeaderView* header = horizontalHeader();
    const QFontMetrics metrics(header->font());
    const int margins = 2 * (header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 1);
    for (auto& c : m_columns)
        c.width = std::max(c.width, metrics.horizontalAdvance(c.title) + margins);
    if (m_query)
        for (const auto& c : columns)
            m_query->setDisplayLabel(c.field, c.title);
    applyColumns();
}

int DataGrid::gridColumnWidth(int n) const { return m_columns.value(n).width; }

void DataGrid::setGridColumnWidth(int n, int width)
{
    if (n < 0 || n >= m_columns.size())
        return;
    m_columns[n].width = width;
    applyColumns();
}

void DataGrid::applyColumns()
{
    if (!m_query)
        return;
    m_syncing = true;
    QHeaderView* header = horizontalHeader();
    const QStringList fields = m_query->fieldNames();
    for (int i = 0; i < fields.size(); ++i)
        setColumnHidden(i, true);
    int visual = 0;
    for (const auto& c : m_columns) {
        const int logical = m_query->fieldIndex(c.field);
        if (logical < 0)
            continue;
        setColumnHidden(logical, false);
        header->moveSection(header->visualIndex(logical), visual++);
        setColumnWidth(logical, c.width);
    }
    m_syncing = false;
    followQuery(m_query->currentRow());
}

void DataGrid::followQuery(int row)
{
    if (!m_query || m_syncing || m_query->recordCount() == 0)
        return;
    m_syncing = true;
    const int firstShown = m_columns.isEmpty() ? 0 : std::max(0, m_query->fieldIndex(m_columns[0].field));
    setCurrentIndex(m_query->index(row, firstShown));
    m_syncing = false;
}
