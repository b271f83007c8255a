#include "users/Access.h"
#include "users/AccessLevels.h"

#include "context/AccessStore.h"
#include "context/BookSelection.h"
#include "db/Query.h"
#include "setup/AdministratorWindow.h"
#include "standard/LinkLabel.h"
#include "standard/Standard.h"
#include "users/AccessAddUser.h"
#include "users/ChangeUserAccess.h"

#include <QComboBox>
#include <QCoreApplication>

namespace {
std::function<void()> g_endProgramHandler;
}

void endProgram()
{
    if (g_endProgramHandler)
        g_endProgramHandler();
    else
        QCoreApplication::exit(0);
}

void setEndProgramHandler(std::function<void()> handler) { g_endProgramHandler = std::move(handler); }

int accessToInt(const QString& level)
{
    const std::optional<int> result = accessLevelNumber(level);
    if (!result) {
        // A level text the program does not know means the rights cannot be judged at all.
        Boodskap(QStringLiteral("Function AccessToInt not called corrected.  You called \"") + level
            + QStringLiteral("\"."));
        endProgram();
    }
    return result.value_or(-1);
}

// The access window ------------------------------------------------------------------

namespace {
ListWindowDesign accessDesign(Query* list)
{
    ListWindowDesign d;
    d.name = QStringLiteral("frmAccess");
    d.caption = QStringLiteral("Access");
    d.clientSize = {777, 393};
    d.newButton = {QStringLiteral("btnAddUser"), QStringLiteral("Add user")};
    d.editButton = {QStringLiteral("btnChangeUserAccess"), QStringLiteral("Change User Access")};
    d.gridName = QStringLiteral("dbgAccess");
    d.gridRect = {180, 24, 589, 361};
    d.columns = {{QStringLiteral("user_login"), QStringLiteral("Username"), 72},
        {QStringLiteral("user_email"), QStringLiteral("Email"), 111},
        {QStringLiteral("access company"), QStringLiteral("Access Company"), 98},
        {QStringLiteral("administrator"), QStringLiteral("Administrator"), 82},
        {QStringLiteral("trial balance"), QStringLiteral("Trial Balance"), 81},
        {QStringLiteral("journal entries"), QStringLiteral("Journal Entries"), 88}};
    d.listQuery = list;
    d.helpLeft = 748;
    d.helpPath = QStringLiteral("/blog/access");
    d.verse.box = {8, 288, 166, 97};
    d.verse.reference = QStringLiteral("John 14:6");
    d.verse.path = QStringLiteral("/john/14-6.htm");
    // King James Version.
    d.verse.text = QStringLiteral(
        "Jesus saith unto him, I am the way, the truth, and the life: no man cometh unto the "
        "Father, but by me.");
    d.verse.textSize = {154, 52};
    return d;
}
}

TfrmAccess::TfrmAccess(const BookContext& books, Query* list, QWidget* parent)
    : ListWindow(accessDesign(list), parent), btnAddUser(newButton()), btnChangeUserAccess(editButton()),
      dbgAccess(grid()), lblHelp(helpLink()), gbBibleVerse(verseBox()), lblBibleVerseLink(verseLink()),
      lblVerse(verseLabel()), m_books(books)
{
    FormCreate();
}

void TfrmAccess::Load(bool OnCreateForm)
{
    loadList(AccessStore::listOf(m_books.selection.companyId().value()), OnCreateForm);
}

void TfrmAccess::btnAddUserClick()
{
    TfrmAccessAddUser dialog(this);
    dialog.exec();
}

void TfrmAccess::btnChangeUserAccessClick()
{
    if (!hasSelectedRow(QStringLiteral("No user selected.")))
        return;
    if (listQuery()->asInteger(QStringLiteral("wp_user id")) == m_books.session.userId()) {
        Boodskap(QStringLiteral("You cannot change your own access."));
        return;
    }
    TfrmChangeUserAccess dialog(this);
    dialog.exec();
}

bool openAccess(const BookContext& books, Query* list, QWidget* parent)
{
    return openAdministratorWindow<TfrmAccess>(books, list, parent, QStringLiteral("Access"));
}
