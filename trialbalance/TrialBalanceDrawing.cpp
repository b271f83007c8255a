#include "trialbalance/TrialBalanceDrawing.h"

#include "standard/Money.h"
#include "standard/StringGrid.h"
#include "trialbalance/TrialBalanceColumns.h"
#include "trialbalance/TrialBalanceTable.h"

#include <QFontMetrics>
#include <QPainter>

QColor TBLevelShade(qint64 level)
{
    switch (level) {
    case 1:
        return QColor(0x9B, 0x9B, 0x9B);
    case 2:
        return QColor(0xAD, 0xAD, 0xAD);
    case 3:
        return QColor(0xC3, 0xC3, 0xC3);
    case 4:
        return QColor(0xD6, 0xD6, 0xD6);
    case 5:
        return QColor(0xE6, 0xE6, 0xE6);
    default:
        return {};
    }
}

TBDrawCellDelegate::TBDrawCellDelegate(StringGrid* grid, Kind kind)
    : TBDrawCellDelegate(
        grid,
        [grid, kind](int row) {
            return RowLook{levelOf(grid->cell(TB.Level, row)), kind == MarkNonZero};
        },
        TB.OpeningBalance)
{
}

TBDrawCellDelegate::TBDrawCellDelegate(
    StringGrid* grid, std::function<RowLook(int gridRow)> lookOf, int firstFigureColumn)
    : QStyledItemDelegate(grid), m_lookOf(std::move(lookOf)), m_firstFigureColumn(firstFigureColumn)
{
}

void TBDrawCellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() < m_firstFigureColumn || option->text.isEmpty())
        return;
    if (const std::optional<Money> amount = Money::parse(option->text)) {
        option->text = amount->toDisplayString();
        option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
        if (*amount != Money() && m_lookOf(index.row() + 1).markNonZero)
            option->palette.setColor(QPalette::Text, QColor(0xC0, 0x00, 0x00));
    }
}

void TBDrawCellDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const int ARow = index.row() + 1; // the heading row is the view's header, never drawn here
    const std::optional<qint64> level = m_lookOf(ARow).level;
    if (!level)
        return; // an account row
    if (option.state & (QStyle::State_Selected | QStyle::State_HasFocus))
        return; // the grid's own highlighting stays
    QColor fill = TBLevelShade(*level);
    if (!fill.isValid())
        fill = option.palette.color(QPalette::Base);
    painter->save();
    // Widened to the left over the gap before the cell, so a shaded row reads as one band.
    painter->fillRect(option.rect.adjusted(-4, 0, 0, 0), fill);
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->setClipRect(option.rect);
    // A text wider than its cell ends in "…", as the grid's own drawing of account rows does.
    QStyleOptionViewItem shown(option);
    initStyleOption(&shown, index);
    const bool figure = shown.displayAlignment & Qt::AlignRight;
    const QRect textRect = option.rect.adjusted(2, 2, figure ? -4 : 0, 0);
    const QString text
        = QFontMetrics(option.font).elidedText(shown.text, Qt::ElideRight, textRect.width() - 2);
    painter->drawText(
        textRect, (figure ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop | Qt::TextSingleLine, text);
    painter->restore();
}
