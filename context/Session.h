#pragma once
#include <QString>

class BookSelection;

// Who is logged in, and what that user may do in the selected books.
class Session {
public:
    explicit Session(const BookSelection* selection = nullptr) : m_selection(selection) { }
    void setSelection(const BookSelection* selection) { m_selection = selection; }
    const BookSelection& selection() const { return *m_selection; }

    int userId() const { return UserID; }
    const QString& loginName() const { return m_loginName; }
    bool loggedIn() const { return UserID != 0; }
    // Also tells the program's connection who works on it, for the change history; a
    // database error there throws DbError and leaves nobody logged in.
    void logIn(int userId, const QString& loginName);
    void logOut();

    // Whether the user holds at least `access` ("view", "create", ...) on `field` of every
    // selected company; an administrator holds every right on a company.
    bool TestAccess(const QString& field, const QString& access) const;
    // Whether the user administers the one selected company; says why not when refusing.
    bool TestSetupAccess() const;

    // The logged-in user's id, 0 when nobody is; the main window's UserID refers to it.
    int UserID = 0;

private:
    const BookSelection* m_selection;
    QString m_loginName;
};

// What a window of the books is handed: the session and the selection it works in.
struct BookContext {
    Session& session;
    BookSelection& selection;
};
