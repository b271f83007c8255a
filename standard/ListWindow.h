#pragma once
// A list window as every feature's setup windows share it: new and edit buttons, a
// read-only grid on a query, a label seen when the list is empty, a help link and a
// Bible verse. Each concrete window describes its own parts and keeps only what is its own.
#include "db/Query.h"
#include "standard/DataGrid.h"

#include <QDialog>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class LinkLabel;
class QGroupBox;
class QLabel;
class QPushButton;

struct ButtonDesign {
    QString name; // object name, e.g. "btnNewCompany"
    QString caption;
};

struct VerseDesign {
    QRect box; // the "Bible Verse" group, in the window
    QString reference; // link caption, e.g. "Luke 14:28"
    QString path; // page on the verse site; empty: the link does nothing
    QString text; // the verse itself
    QSize textSize; // the word-wrapped text's room, at 8, 35 in the group
};

struct ListWindowDesign {
    QString name; // object name of the window, e.g. "frmCompanies"
    QString caption;
    QSize clientSize;
    ButtonDesign newButton;
    ButtonDesign editButton;
    QString gridName;
    QRect gridRect;
    QList<GridColumn> columns;
    Query* listQuery = nullptr; // the main-window query the grid shows
    QString emptyName; // the label under the grid; empty name: no such label
    QString emptyText;
    int helpLeft = 0; // "Help" at helpLeft, top 5
    QString helpPath; // empty: the link does nothing
    VerseDesign verse;
    bool keepColumnWidths = true; // false: nothing is stored on close (stored widths still apply)
};

// A list window: modal, fixed dialog border, its grid's column widths kept on close
// unless the design says otherwise.
// A subclass builds itself through the design, then calls FormCreate at the end of its
// own constructor (Load is virtual, so it cannot run from this constructor).
class ListWindow : public QDialog {
    Q_OBJECT
public:
    void FormCreate(); // IniForm, then Load(true)
    void FormClose(); // SaveForm: the grid's column widths
    virtual void Load(bool OnCreateForm) = 0;
    void lblHelpClick();
    void lblBibleVerseLinkClick();

    Query* listQuery() const { return m_design.listQuery; }
    QPushButton* newButton() const { return m_new; }
    QPushButton* editButton() const { return m_edit; }
    DataGrid* grid() const { return m_grid; }
    QLabel* emptyLabel() const { return m_empty; }
    LinkLabel* helpLink() const { return m_help; }
    QGroupBox* verseBox() const { return m_verseBox; }
    LinkLabel* verseLink() const { return m_verseLink; }
    QLabel* verseLabel() const { return m_verse; }

    // Reruns the list (as Load(false) does), then makes the row whose field holds value
    // the selected one; when there is none, the row Load chose stays selected.
    void reloadAndSelect(const QString& field, const QVariant& value);

protected:
    ListWindow(const ListWindowDesign& design, QWidget* parent);
    // Runs the list statement on the list query: the first row after opening the window,
    // otherwise the row that was selected before, when it is still there. While there are
    // no rows the grid is hidden, revealing the empty label (when the window has one).
    void loadList(const ListStatement& statement, bool OnCreateForm);
    void loadList(const QStringList& lines, bool OnCreateForm)
    {
        loadList(ListStatement{lines, {}}, OnCreateForm);
    }
    // False after showing message when the list has no row to edit.
    bool hasSelectedRow(const QString& message) const;
    virtual void newClicked() = 0;
    virtual void editClicked() = 0;
    void done(int result) override;

private:
    ListWindowDesign m_design;
    QPushButton* m_new;
    QPushButton* m_edit;
    DataGrid* m_grid;
    QLabel* m_empty = nullptr;
    LinkLabel* m_help;
    QGroupBox* m_verseBox;
    LinkLabel* m_verseLink;
    QLabel* m_verse;
    bool m_closed = false;
};

// The "Help" link (at helpLeft, top 5) and the "Bible Verse" box every setup window
// carries, with their object names; the caller connects the links.
struct HelpAndVerse {
    LinkLabel* help;
    QGroupBox* box;
    LinkLabel* link;
    QLabel* verse;
};
HelpAndVerse addHelpAndVerse(QWidget* window, int helpLeft, const VerseDesign& verse);

// Makes a word-wrapped label's font small enough for its text to fit the label.
void fitTextToLabel(QLabel* label);
