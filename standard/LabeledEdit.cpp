#include "standard/LabeledEdit.h"

#include <QEvent>

LabeledEdit::LabeledEdit(const QString& caption, QWidget* parent)
    : QLineEdit(parent), m_label(new QLabel(caption, parent))
{
    m_label->setBuddy(this);
}

// The caption is the box's sibling, so it goes with the box: to a new parent (a box made
// without one and then put into a layout) and away when the box is deleted.
LabeledEdit::~LabeledEdit() { delete m_label; }

bool LabeledEdit::event(QEvent* e)
{
    if (e->type() == QEvent::ParentChange && m_label && m_label->parentWidget() != parentWidget()) {
        m_label->setParent(parentWidget());
        followBox();
        if (isVisible())
            m_label->show();
    }
    return QLineEdit::event(e);
}

void LabeledEdit::place(int left, int top, int width)
{
    setGeometry(left, top, width, 21);
    followBox();
}

void LabeledEdit::followBox()
{
    if (!m_label)
        return;
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
    if (m_label)
        m_label->show();
}

void LabeledEdit::hideEvent(QHideEvent* e)
{
    QLineEdit::hideEvent(e);
    if (m_label)
        m_label->hide();
}
