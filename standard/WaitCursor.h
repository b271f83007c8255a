#pragma once

// Shows the wait cursor for as long as it lives; nested ones stack. Without a GUI
// application (a plain QCoreApplication) it shows nothing.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Makes every call the database layer marks busy show the wait cursor. InitApplication
// calls it; the database layer cannot, since it knows nothing of cursors.
void ShowWaitCursorWhileDatabaseBusy();
