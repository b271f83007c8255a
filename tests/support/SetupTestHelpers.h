#pragma once
// Helpers for the tests of the setup windows: acting on a modal dialog while it runs and
// reading what a grid shows.
#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

// Acts on the next modal dialog once its loop runs, then closes it if it is still open,
// so a test never hangs in a modal loop. `ran` tells whether a dialog was found. The
// action is dropped with the returned object, so one that found no dialog cannot act on
// a later test's window.
struct ModalAction {
    bool ran = false;
    QString title;
    QTimer timer;
};

inline std::shared_ptr<ModalAction> onNextModal(std::function<void(QDialog*)> act = {})
{
    auto state = std::make_shared<ModalAction>();
    ModalAction* s = state.get();
    s->timer.setSingleShot(true);
    QObject::connect(&s->timer, &QTimer::timeout, [s, act] {
        QPointer<QDialog> dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        s->ran = true;
        s->title = dialog->windowTitle();
        if (act)
            act(dialog);
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
    s->timer.start(0);
    return state;
}

// The widgets the focus reaches by pressing Tab `presses` times from where it is.
inline QList<QWidget*> TabChain(int presses)
{
    QList<QWidget*> reached;
    for (int i = 0; i < presses && QApplication::focusWidget(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget();
    }
    return reached;
}

// The texts a grid shows in its visible columns, row by row, in the shown order.
inline QList<QStringList> shownRows(const QTableView* grid)
{
    QList<QStringList> rows;
    const QAbstractItemModel* m = grid->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList row;
        for (int v = 0; v < m->columnCount(); ++v) {
            const int c = grid->horizontalHeader()->logicalIndex(v);
            if (!grid->isColumnHidden(c))
                row << m->data(m->index(r, c), Qt::DisplayRole).toString();
        }
        rows << row;
    }
    return rows;
}

inline QStringList shownTitles(const QTableView* grid)
{
    QStringList titles;
    const QAbstractItemModel* m = grid->model();
    for (int v = 0; v < m->columnCount(); ++v) {
        const int c = grid->horizontalHeader()->logicalIndex(v);
        if (!grid->isColumnHidden(c))
            titles << m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    return titles;
}

// Whether a word-wrapped label shows all of its text within its own size.
inline bool textFits(const QLabel* label)
{
    const QRect room(QPoint(0, 0), label->size());
    const QRect needed = QFontMetrics(label->font()).boundingRect(room, Qt::TextWordWrap, label->text());
    return needed.width() <= room.width() && needed.height() <= room.height();
}
