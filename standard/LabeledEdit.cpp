#include "standard/LabeledEdit.h"

#include <QApplication>
#include <QEvent>
#include <QToolTip>
#include <QValidator>

// The one validator QLineEdit sees: the length in code points, then the box's own
// validator. A refused change is undone whole by QLineEdit, so a paste that is not wholly
// valid leaves the box as it was instead of being filtered or cut.
class LabeledEditValidator : public QValidator {
public:
    explicit LabeledEditValidator(LabeledEdit* edit) : QValidator(edit), m_edit(edit) { }
    State validate(QString& input, int& pos) const override
    {
        // What may be typed at all is told before how much of it fits.
        State s = Acceptable;
        if (m_edit->m_inner) {
            s = m_edit->m_inner->validate(input, pos);
            if (s == Invalid) {
                m_edit->m_cause = LabeledEdit::Cause::Validator;
                return s;
            }
        }
        if (input.toUcs4().size() > m_edit->m_limit) {
            m_edit->m_cause = LabeledEdit::Cause::Length;
            return Invalid;
        }
        return s;
    }
    void fixup(QString& input) const override
    {
        if (m_edit->m_inner)
            m_edit->m_inner->fixup(input);
    }

private:
    LabeledEdit* m_edit;
};

LabeledEdit::LabeledEdit(const QString& caption, QWidget* parent)
    : QLineEdit(parent), m_label(new QLabel(caption, parent))
{
    m_label->setBuddy(this);
    QLineEdit::setValidator(new LabeledEditValidator(this));
    connect(this, &QLineEdit::inputRejected, this, &LabeledEdit::showRefusal);
}

void LabeledEdit::setText(const QString& text)
{
    QLineEdit::setText(text);
    // A text put in by the program (an edited row's value) shows from its start, not its end.
    setCursorPosition(0);
}

// The caption is the box's sibling, so it goes with the box: to a new parent (a box made
// without one and then put into a layout) and away when the box is deleted.
LabeledEdit::~LabeledEdit() { delete m_label; }

void LabeledEdit::setMaxLength(int length) { m_limit = std::max(length, 0); }

void LabeledEdit::setValidator(const QValidator* validator, const QString& refusal)
{
    m_inner = validator;
    m_innerRefusal = refusal;
}

void LabeledEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    // Tabbing in selects the whole text, as usual, but keeps the cursor at its start, so
    // the box shows the beginning of a long text rather than its end.
    if (hasSelectedText() && selectedText() == text())
        setSelection(int(text().size()), -int(text().size()));
}

void LabeledEdit::showRefusal()
{
    if (m_cause == Cause::Length)
        m_lastRefusal = QStringLiteral("This box takes at most %1 characters.").arg(m_limit);
    else if (!m_innerRefusal.isEmpty())
        m_lastRefusal = m_innerRefusal;
    else
        m_lastRefusal = QStringLiteral("This box does not take these characters.");
    m_cause = Cause::None;
    QApplication::beep();
    QToolTip::showText(mapToGlobal(QPoint(0, height())), m_lastRefusal, this);
    emit refused(m_lastRefusal);
}

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
