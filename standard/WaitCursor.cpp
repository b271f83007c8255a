#include "standard/WaitCursor.h"

#include "db/Connection.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
bool hasGui() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

void showWaitCursor(bool on)
{
    if (!hasGui())
        return;
    if (on)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}
}

WaitCursor::WaitCursor() { showWaitCursor(true); }

WaitCursor::~WaitCursor() { showWaitCursor(false); }

void ShowWaitCursorWhileDatabaseBusy() { Connection::setBusyHandler(showWaitCursor); }
