#pragma once
// An edit dialog whose caption is its mode, and the one path through which every dialog
// saves: a transaction, its retries, the check of a lost COMMIT reply, one refusal type.
#include "db/Query.h"

#include <QDialog>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class LabeledEdit;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class Transaction;

struct EditDialogDesign {
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
class EditDialog : public QDialog {
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
        if (earlierSaveConfirmed())
            return;
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
    EditDialog(const EditDialogDesign& design, const QString& editCaption, QWidget* parent);
    bool isEditing() const { return isMode(m_editCaption); }
    // What an edit dialog changes: the row of `table` that is the current row of `loaded`
    // (the list the dialog was filled from), whose `columns` the dialog shows; `what`
    // names it in the message, e.g. "Company".
    void setEditedRow(const QString& table, Query* loaded, const QStringList& columns, const QString& what);
    // The same for a dialog that read the row itself: its id and the columns' values as
    // loaded (loadedValues of the dialog's own query, or rowTexts).
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
    // For a save that writes a unique key the dialog made once: `stored` answers whether a
    // row saved under it is in the database. After a save the server did not confirm, OK
    // asks it first, before the checks (which would refuse what that save wrote as taken):
    // when it is in, the dialog says so and ends through savedEarlier.
    void setSaveKeyLookup(std::function<bool()> stored) { m_storedUnderKey = std::move(stored); }
    // Ends the dialog after OK again found the earlier save stored; by default accept().
    virtual void savedEarlier() { accept(); }
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
    std::function<bool()> m_storedUnderKey;
    bool m_unconfirmed = false; // the last save's outcome was not known
    bool earlierSaveConfirmed();
};

// The values of columns in query's current row as a dialog loaded them (empty for NULL),
// to compare with the row read again when saving.
QList<std::optional<QString>> loadedValues(const Query& query, const QStringList& columns);
