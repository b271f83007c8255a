#pragma once
#include <QLabel>
#include <QMouseEvent>

// A label shown as a link (blue text, hand cursor) that reports clicks.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr) : QLabel(text, parent)
    {
        setCursor(Qt::PointingHandCursor);
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
};
