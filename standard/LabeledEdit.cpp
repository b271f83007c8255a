#include "standard/LabeledEdit.h"

LabeledEdit::LabeledEdit(const QString& caption, QWidget* parent)
    : QLineEdit(parent), m_label(new QLabel(caption, parent))
{
    m_label->setBuddy(this);
}

void LabeledEdit::place(int left, int top, int width)
{
    setGeometry(left, top, width, 21);
    followBox();
}

void LabeledEdit::followBox()
{
    m_label->adjustSize();
    m_label->move(x(), y() - 16);
}

void LabeledEdit::moveEvent(QMoveEvent* e)
{
    QLineEdit::moveEvent(e);
    followBox();
}

void LabeledEdit::showEvent(QShowEvent* e)
{
    QLineEdit::showEvent(e);
    m_label->show();
}

void LabeledEdit::hideEvent(QHideEvent* e)
{
    QLineEdit::hideEvent(e);
    m_label->hide();
}
