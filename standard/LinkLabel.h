#pragma once
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

// A label shown as a link (blue text, hand cursor) that reports clicks. It is reached
// with Tab like any control and followed with Enter or Space; it looks the same as
// before, with only the usual focus frame while it has the keyboard.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr) : QLabel(text, parent)
    {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::StrongFocus);
        QPalette p = palette();
        p.setColor(QPalette::WindowText, QColor(0, 0, 255));
        setPalette(p);
    }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        QLabel::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            emit clicked();
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            e->accept();
            emit clicked();
            return;
        default:
            QLabel::keyPressEvent(e);
        }
    }
    void paintEvent(QPaintEvent* e) override
    {
        QLabel::paintEvent(e);
        if (!hasFocus())
            return;
        QPainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
};
