#pragma once
#include <QString>
#include <functional>

// The one way the program ends on its own: AccessToInt's message for a level text that is
// none of the four levels. By default EndProgram tells the application to leave its event
// loops (QCoreApplication::exit), so it closes once the current event has been handled.
// While a handler is set (tests), EndProgram calls it instead and the application keeps
// running; an empty function restores the default.
void endProgram();
void setEndProgramHandler(std::function<void()> handler);

// The number of an access level text (see accessLevelNumber); any other text is told to
// the user and ends the program, as the rights cannot be judged at all.
int accessToInt(const QString& level);

#include "context/Session.h"
#include "standard/ListWindow.h"

class Query;
class QGroupBox;
class QLabel;
class QPushButton;
class LinkLabel;

// "Access - <company>": the users with a row for the company selected in the filter bar
// and their four settings. The list is the main window's qrAccess; its current row is the
// selected user. Rows are added and changed here, never deleted.
class TfrmAccess : public ListWindow {
    Q_OBJECT
public:
    TfrmAccess(const BookContext& books, Query* list, QWidget* parent = nullptr);
    const BookContext& books() const { return m_books; }

    void Load(bool OnCreateForm) override;
    void btnAddUserClick();
    // Also a double click on the list. Nobody changes their own line.
    void btnChangeUserAccessClick();

    QPushButton* const btnAddUser;
    QPushButton* const btnChangeUserAccess;
    DataGrid* const dbgAccess;
    LinkLabel* const lblHelp;
    QGroupBox* const gbBibleVerse;
    LinkLabel* const lblBibleVerseLink;
    QLabel* const lblVerse;

protected:
    void newClicked() override { btnAddUserClick(); }
    void editClicked() override { btnChangeUserAccessClick(); }

private:
    BookContext m_books;
};

// The access window of the selected company, for its administrators; answers whether it
// was opened (and the user's own company list may have changed).
bool openAccess(const BookContext& books, Query* list, QWidget* parent);
