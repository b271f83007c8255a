#pragma once
#include "context/Session.h"

#include <QDialog>

class DataGrid;
class LinkLabel;
class Query;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QTableWidget;

// "Change History - <company>": the changes the database recorded in the selected
// company's books (and registrations, which belong to no company), newest first, filtered
// by table, user and days; the selected change's fields before and after side by side,
// the changed ones marked. Read only: nobody changes the history.
class TfrmChangeHistory : public QDialog {
    Q_OBJECT
public:
    // `list` is the query the grid shows; null: the window makes its own.
    TfrmChangeHistory(const BookContext& books, Query* list, QWidget* parent = nullptr);

    void Load(bool OnCreateForm);
    // Fills the before/after grid from the selected change.
    void showSelectedChange();
    void lblHelpClick();
    void lblBibleVerseLinkClick();

    QGroupBox* const gbFilter;
    QComboBox* const cbTable;
    QComboBox* const cbUser;
    QDateEdit* const dtpFrom;
    QDateEdit* const dtpTo;
    DataGrid* const dbgChangeHistory;
    QLabel* const lblNoChanges;
    QTableWidget* const sgChangeValues;
    LinkLabel* lblHelp;
    QGroupBox* gbBibleVerse;
    LinkLabel* lblBibleVerseLink;
    QLabel* lblVerse;

    // How cbUser names the changes made outside the program (a script, the database's
    // own tools): their login name is empty.
    static QString outsideTheProgram();

protected:
    void done(int result) override;

private:
    void fillUsers();
    BookContext m_books;
    Query* m_list;
    bool m_closed = false;
};

// The change history of the selected company, for its administrators; answers whether it
// was opened.
bool openChangeHistory(const BookContext& books, QWidget* parent);
