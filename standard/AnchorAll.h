#pragma once
#include <QEvent>
#include <QWidget>
#include <algorithm>

// Keeps a child at fixed distances from the right and bottom sides of its parent, at its
// place: the grids of the main window's tabs grow with the window.
class AnchorAll : public QObject {
public:
    AnchorAll(QWidget* child, int right, int bottom)
        : QObject(child), m_child(child), m_right(right), m_bottom(bottom)
    {
        child->parentWidget()->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Resize) {
            QWidget* p = m_child->parentWidget();
            m_child->resize(std::max(50, p->width() - m_child->x() - m_right),
                std::max(50, p->height() - m_child->y() - m_bottom));
        }
        return false;
    }

private:
    QWidget* m_child;
    int m_right, m_bottom;
};
