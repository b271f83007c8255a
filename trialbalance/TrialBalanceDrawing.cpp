#include "trialbalance/TrialBalanceDrawing.h"

#include "standard/Money.h"
#include "standard/StringGrid.h"
#include "trialbalance/TrialBalanceColumns.h"

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
    : QStyledItemDelegate(grid), m_grid(grid), m_kind(kind)
{
}

void TBDrawCellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() < TB.OpeningBalance || option->text.isEmpty())
        return;
    if (const std::optional<Money> amount = Money::parse(option->text)) {
        option->text = amount->toDisplayString();
        option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
        if (m_kind == MarkNonZero && *amount != Money())
            option->palette.setColor(QPalette::Text, QColor(0xC0, 0x00, 0x00));
    }
}

void TBDrawCellDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const int ARow = index.row() + 1; // the heading row is the view's header, never drawn here
    const QString level = m_grid->cell(TB.Level, ARow);
    if (level.isEmpty())
        return; // an account row
    if (option.state & (QStyle::State_Selected | QStyle::State_HasFocus))
        return; // the grid's own highlighting stays
    QColor fill = TBLevelShade(level.toLongLong());
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
