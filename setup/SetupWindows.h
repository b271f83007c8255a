#pragma once
// The shape every setup window shares: a list window (new and edit buttons, a read-only
// grid on a main-window query, a label seen when the list is empty, a help link and a
// Bible verse) and an edit dialog whose caption is its mode. Each concrete window
// describes its own parts and keeps only what is its own.
#include "db/Query.h"
#include "standard/DataGrid.h"

#include <QDialog>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class LabeledEdit;
class LinkLabel;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class Transaction;

struct SetupButtonDesign {
    QString name; // object name, e.g. "btnNewCompany"
    QString caption;
};

struct SetupVerseDesign {
    QRect box; // the "Bible Verse" group, in the window
    QString reference; // link caption, e.g. "Luke 14:28"
    QString path; // page on the verse site; empty: the link does nothing
    QString text; // the verse itself
    QSize textSize; // the word-wrapped text's room, at 8, 35 in the group
};

struct SetupListDesign {
    QString name; // object name of the window, e.g. "frmCompanies"
    QString caption;
    QSize clientSize;
    SetupButtonDesign newButton;
    SetupButtonDesign editButton;
    QString gridName;
    QRect gridRect;
    QList<GridColumn> columns;
    Query* listQuery = nullptr; // the main-window query the grid shows
    QString emptyName; // the label under the grid; empty name: no such label
    QString emptyText;
    int helpLeft = 0; // "Help" at helpLeft, top 5
    QString helpPath; // empty: the link does nothing
    SetupVerseDesign verse;
    bool keepColumnWidths = true; // false: nothing is stored on close (stored widths still apply)
};

// A list window: modal, fixed dialog border, its grid's column widths kept on close
// unless the design says otherwise.
// A subclass builds itself through the design, then calls FormCreate at the end of its
// own constructor (Load is virtual, so it cannot run from this constructor).
class SetupListWindow : public QDialog {
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
    SetupListWindow(const SetupListDesign& design, QWidget* parent);
    // Runs the list statement on the list query: the first row after opening the window,
    // otherwise the row that was selected before, when it is still there. While there are
    // no rows the grid is hidden, revealing the empty label (when the window has one).
    void loadList(const QStringList& lines, bool OnCreateForm);
    // False after showing message when the list has no row to edit.
    bool hasSelectedRow(const QString& message) const;
    virtual void newClicked() = 0;
    virtual void editClicked() = 0;
    void done(int result) override;

private:
    SetupListDesign m_design;
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

struct SetupDialogDesign {
    QString name; // object name, e.g. "frmCompany"
    QString caption; // the mode it is created in, e.g. "New Company"
    QSize clientSize;
    QString groupName;
    QString groupCaption;
    QRect groupRect;
    QRect okRect;
    QString okName = QStringLiteral("btnOk");
};

// Thrown by a save's body inside saveInTransaction when what it reads under lock refuses
// the save (a value taken meanwhile, the edited row changed): the transaction is rolled
// back, the message shown and the cursor put in `focus` (when given), or `show` runs
// instead, for a refusal the dialog shows its own way (a cell of a grid).
struct SaveRefused {
    QWidget* focus = nullptr;
    QString message;
    std::function<void()> show;
};

// An edit dialog: a group of labelled boxes, further groups of the dialog's own, and a
// default "OK" button, no Cancel (closing it through its frame discards the input). Its
// caption is its mode. It opens with the cursor in its first box; OK is last in Tab order.
class SetupEditDialog : public QDialog {
    Q_OBJECT
public:
    // After a COMMIT whose reply was lost, when the database cannot be asked what it holds.
    static inline const QString UnconfirmedSave
        = QStringLiteral("The server did not confirm the save. It may have been saved; check the list before "
                         "entering it again.");
    // OK again after that, when the save's key shows the first save was stored.
    static inline const QString ConfirmedSave
        = QStringLiteral("It had been saved: the server has now confirmed the earlier save.");
    void FormCreate(); // IniForm; OK last in the Tab order
    // The checks in their order, then the save; a refused check has shown its message and
    // leaves the dialog open with everything typed.
    void btnOkClick()
    {
        if (checkInput())
            Save();
    }
    virtual bool checkInput() = 0;
    virtual void Save() = 0;
    bool isMode(const QString& caption) const { return windowTitle() == caption; }

    QGroupBox* group() const { return m_group; }
    QPushButton* okButton() const { return m_ok; }

protected:
    // editCaption: the caption that means the dialog changes the list's selected row.
    SetupEditDialog(const SetupDialogDesign& design, const QString& editCaption, QWidget* parent);
    bool isEditing() const { return isMode(m_editCaption); }
    // What an edit dialog changes: the row of `table` that is the current row of `loaded`
    // (the list the dialog was filled from), whose `columns` the dialog shows; `what`
    // names it in the message, e.g. "Company".
    void setEditedRow(const QString& table, Query* loaded, const QStringList& columns, const QString& what);
    // The same for a dialog that read the row itself: its id and the columns' values as
    // loaded (taken with loadedValues from the dialog's own query).
    void setEditedRow(const QString& table, int id, const QStringList& columns,
        const QList<std::optional<QString>>& loaded, const QString& what);
    // Runs `body` (the writes) in one transaction. When editing, the edited row is first
    // read with a locking read and compared with what the dialog was loaded from: if
    // another user changed it meanwhile, nothing is written and the dialog says so. A
    // unique key that refuses the write (another workstation saved the same value a
    // moment ago) is answered by CheckInput, which now finds it and shows the field's own
    // "already in use". Saved also when the reply to COMMIT was lost and `committed`
    // finds the save in the database; Refused with its message shown and the dialog open,
    // also when the body throws SaveRefused. Any other DbError shows `failure` (Failed)
    // or, without one, is thrown to the general error handling; nothing is written either
    // way. Every dialog saves through here.
    enum class SaveResult { Saved, Refused, Failed };
    SaveResult saveInTransaction(const std::function<void(Transaction&)>& body,
        const std::function<bool()>& committed, const QString& failure = QString());
    // The refusal of an edit whose row, or anything loaded with it, another user changed.
    SaveRefused changedByAnotherUser() const;
    // A labelled box in the group, at left, top of the group, width wide.
    LabeledEdit* addEdit(const QString& name, const QString& caption, int left, int top, int width);
    // A drop-down list (no typing) in the group with its caption label, named labelName,
    // 17 pixels above it.
    QComboBox* addComboBox(
        const QString& name, const QString& labelName, const QString& caption, int left, int top, int width);
    // A further group of the dialog, at rect in the dialog; its controls are the caller's.
    QGroupBox* addGroup(const QString& name, const QString& caption, const QRect& rect);
    // Further controls, in parent (the dialog, its group or a further group) at left, top.
    QLabel* addLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top);
    QCheckBox* addCheckBox(QWidget* parent, const QString& name, const QString& caption, int left, int top);
    // A drop-down list of fixed items, nothing selected; IniForm keeps its items.
    QComboBox* addList(
        QWidget* parent, const QString& name, const QStringList& items, int left, int top, int width);
    // The input that has the cursor when the dialog opens; by default the first input in
    // reading order.
    void setFirstInput(QWidget* input) { m_firstBox = input; }
    // Shows message, puts the focus on the box to correct and answers false.
    static bool refuse(QWidget* focus, const QString& message);
    // On first showing, whatever the subclass added: Tab in reading order with OK last,
    // and the cursor in the first input.
    void showEvent(QShowEvent* e) override;

private:
    QGroupBox* m_group;
    QPushButton* m_ok;
    QString m_editCaption;
    QString m_table;
    Query* m_loaded = nullptr;
    int m_loadedId = 0;
    QList<std::optional<QString>> m_loadedValues;
    QStringList m_columns;
    QString m_what;
    QWidget* m_firstBox = nullptr;
    bool m_shown = false;
};

// The values of columns in query's current row as a dialog loaded them (empty for NULL),
// to compare with the row read again when saving.
QList<std::optional<QString>> loadedValues(const Query& query, const QStringList& columns);

// Whether another row already holds a value: runs lines (the first binds :parameter) on
// query, excluding the row excludeId when given, and answers whether a row came back.
bool valueInUse(Query& query, QStringList lines, const QString& parameter, const QVariant& value,
    std::optional<int> excludeId);

// Makes a word-wrapped label's font small enough for its text to fit the label.
void fitTextToLabel(QLabel* label);
