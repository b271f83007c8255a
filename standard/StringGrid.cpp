#include "standard/StringGrid.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPalette>
#include <QStyledItemDelegate>

namespace {
// Editor that writes every keystroke into its cell, so handlers see each change.
class KeystrokeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(
        QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            QPersistentModelIndex pi(index);
            auto* model = const_cast<QAbstractItemModel*>(index.model());
            QObject::connect(edit, &QLineEdit::textEdited, edit, [model, pi](const QString& t) {
                if (pi.isValid())
                    model->setData(pi, t, Qt::EditRole);
            });
            if (auto* grid = qobject_cast<StringGrid*>(this->parent()))
                emit grid->editorOpened(edit, index.column(), index.row() + 1);
        }
        return w;
    }
};
}

int StringGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows - 1; }

int StringGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_cols; }

QVariant StringGridModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return cell(index.column(), index.row() + 1);
    if (role == Qt::BackgroundRole && index.column() < fixedCols)
        return QGuiApplication::palette().brush(QPalette::Button);
    return {};
}

bool StringGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole)
        return false;
    const int row = index.row() + 1;
    const QString text = value.toString();
    if (cell(index.column(), row) == text)
        return true;
    setCell(index.column(), row, text);
    emit edited(index.column(), row, text);
    return true;
}

QVariant StringGridModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole)
        return cell(section, 0);
    if (o == Qt::Horizontal && role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (editable && index.column() >= fixedCols)
        f |= Qt::ItemIsEditable;
    return f;
}

QString StringGridModel::cell(int col, int row) const
{
    if (col < 0 || row < 0 || col >= m_cols || row >= m_rows)
        return {};
    return m_cells[row * m_cols + col];
}

void StringGridModel::setCell(int col, int row, const QString& text)
{
    if (col < 0 || row < 0 || col >= m_cols || row >= m_rows)
        return;
    m_cells[row * m_cols + col] = text;
    if (updating)
        return;
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
    else
        emit dataChanged(index(row - 1, col), index(row - 1, col));
}

void StringGridModel::resize(int cols, int rows)
{
    cols = std::max(cols, 1);
    rows = std::max(rows, 1);
    if (cols == m_cols && rows == m_rows)
        return;
    // Row and column changes are announced as such (not as a reset), so the view
    // keeps the widths of the columns that stay.
    const bool tell = !updating;
    if (tell && cols < m_cols)
        beginRemoveColumns({}, cols, m_cols - 1);
    if (tell && cols > m_cols)
        beginInsertColumns({}, m_cols, cols - 1);
    QVector<QString> cells(qsizetype(cols) * m_rows);
    const int keepCols = std::min(cols, m_cols);
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < keepCols; ++c)
            cells[r * cols + c] = std::move(m_cells[r * m_cols + c]);
    const int oldCols = m_cols;
    m_cells = std::move(cells);
    m_cols = cols;
    if (tell && cols < oldCols)
        endRemoveColumns();
    if (tell && cols > oldCols)
        endInsertColumns();

    if (rows == m_rows)
        return;
    if (tell && rows < m_rows)
        beginRemoveRows({}, rows - 1, m_rows - 2);
    if (tell && rows > m_rows)
        beginInsertRows({}, m_rows - 1, rows - 2);
    const int oldRows = m_rows;
    m_cells.resize(qsizetype(cols) * rows);
    m_rows = rows;
    if (tell && rows < oldRows)
        endRemoveRows();
    if (tell && rows > oldRows)
        endInsertRows();
}

void StringGridModel::beginBulk()
{
    if (updating++ == 0)
        beginResetModel();
}

void StringGridModel::endBulk()
{
    if (--updating == 0)
        endResetModel();
}

StringGrid::StringGrid(QWidget* parent) : QTableView(parent), m_model(new StringGridModel(this))
{
    setModel(m_model);
    setItemDelegate(new KeystrokeDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultSectionSize(90);
    horizontalHeader()->setHighlightSections(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A read-only grid is left with Tab; an editable one moves from cell to cell with it.
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    connect(m_model, &StringGridModel::edited, this, &StringGrid::cellEdited);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col) {
        // Only a width set from outside the grid (a drag, a saved layout) is a choice.
        if (m_settingWidths > 0 || m_model->updating > 0)
            return;
        if (m_chosenWidth.size() <= col)
            m_chosenWidth.resize(col + 1);
        m_chosenWidth[col] = true;
    });
    connect(m_model, &QAbstractItemModel::headerDataChanged, this, [this] {
        if (m_model->updating == 0)
            fitHeadings();
    });
}

void StringGrid::setGivenWidth(int col, int width)
{
    ++m_settingWidths;
    setColumnWidth(col, width);
    --m_settingWidths;
}

void StringGrid::fitHeadings()
{
    for (int c = 0; c < m_model->cols(); ++c) {
        if (c < m_chosenWidth.size() && m_chosenWidth[c])
            continue;
        const int heading = cell(c, 0).isEmpty() ? 0 : horizontalHeader()->sectionSizeHint(c);
        setGivenWidth(c, std::max(defaultColumnWidth(), heading));
    }
}

QString StringGrid::cell(int col, int row) const { return m_model->cell(col, row); }
void StringGrid::setCell(int col, int row, const QString& text) { m_model->setCell(col, row, text); }
int StringGrid::columnCount() const { return m_model->cols(); }
int StringGrid::rowCount() const { return m_model->rows(); }

void StringGrid::setColumnCount(int count)
{
    const int before = m_model->cols();
    ++m_settingWidths;
    m_model->resize(count, m_model->rows());
    --m_settingWidths;
    // New columns start at the grid's default width, as a designed grid's do, and are
    // nobody's choice; a dropped column's choice goes with it.
    for (int c = before; c < count; ++c)
        setGivenWidth(c, defaultColumnWidth());
    if (m_chosenWidth.size() > columnCount())
        m_chosenWidth.resize(columnCount());
    for (int c = before; c < m_chosenWidth.size(); ++c)
        m_chosenWidth[c] = false;
    if (m_model->updating == 0)
        fitHeadings();
}

void StringGrid::setRowCount(int count)
{
    ++m_settingWidths;
    m_model->resize(m_model->cols(), count);
    --m_settingWidths;
}

int StringGrid::currentRow() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

int StringGrid::currentColumn() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() : 0;
}

void StringGrid::setCurrentCell(int col, int row)
{
    if (row < 1 || row >= rowCount())
        return;
    setCurrentIndex(m_model->index(row - 1, std::clamp(col, 0, columnCount() - 1)));
}

void StringGrid::setEditable(bool editable)
{
    m_model->editable = editable;
    setTabKeyNavigation(editable);
    setEditTriggers(editable ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
}

void StringGrid::setFixedCols(int count)
{
    m_model->fixedCols = std::max(count, 0);
    if (m_model->cols() > 0 && m_model->rows() > 1)
        emit m_model->dataChanged(
            m_model->index(0, 0), m_model->index(m_model->rows() - 2, m_model->cols() - 1));
}

int StringGrid::fixedCols() const { return m_model->fixedCols; }

void StringGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // A fixed column is never the current one: the cursor goes on to the first free column.
    if (current.isValid() && current.column() < m_model->fixedCols && m_model->fixedCols < m_model->cols()) {
        setCurrentIndex(m_model->index(current.row(), m_model->fixedCols));
        return;
    }
    QTableView::currentChanged(current, previous);
}

int StringGrid::defaultColumnWidth() const { return horizontalHeader()->defaultSectionSize(); }
void StringGrid::setDefaultColumnWidth(int width) { horizontalHeader()->setDefaultSectionSize(width); }

void StringGrid::beginUpdate()
{
    if (m_model->updating == 0) {
        // A reset forgets the header's widths: keep the user's across it.
        m_savedWidths.clear();
        for (int c = 0; c < m_model->cols(); ++c)
            m_savedWidths << columnWidth(c);
    }
    m_model->beginBulk();
}

void StringGrid::endUpdate()
{
    ++m_settingWidths;
    m_model->endBulk();
    --m_settingWidths;
    if (m_model->updating == 0) {
        for (int c = 0; c < m_model->cols(); ++c)
            setGivenWidth(c, c < m_savedWidths.size() ? m_savedWidths[c] : defaultColumnWidth());
        fitHeadings();
    }
}
