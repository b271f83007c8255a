#include "standard/EditDialog.h"

#include "db/DbError.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "standard/LabeledEdit.h"
#include "standard/LinkLabel.h"
#include "standard/Standard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

// Edit dialog ---------------------------------------------------------------------

EditDialog::EditDialog(const EditDialogDesign& design, const QString& editCaption, QWidget* parent)
    : QDialog(parent), m_editCaption(editCaption)
{
    setObjectName(design.name);
    setWindowTitle(design.caption);
    resize(design.clientSize);
    m_group = new QGroupBox(design.groupCaption, this);
    m_group->setObjectName(design.groupName);
    m_group->setGeometry(design.groupRect);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(design.okName);
    m_ok->setGeometry(design.okRect);
    connectGuarded(m_ok, &QPushButton::clicked, this, [this] { btnOkClick(); });
}

void EditDialog::FormCreate()
{
    IniForm(this, true);
    // OK is made with the dialog, before the controls it confirms, but is read last.
    QWidget* last = nullptr;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain())
        if (w != m_ok && isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus))
            last = w;
    if (last)
        setTabOrder(last, m_ok);
}

QGroupBox* EditDialog::addGroup(const QString& name, const QString& caption, const QRect& rect)
{
    auto* group = new QGroupBox(caption, this);
    group->setObjectName(name);
    group->setGeometry(rect);
    return group;
}

void EditDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (m_shown)
        return;
    m_shown = true;
    setTabOrderByPosition(this);
    // The style draws the focus frame of a check box or drop-down only in a window the
    // keyboard has moved in; these dialogs are filled by keyboard, so show it from the start.
    setAttribute(Qt::WA_KeyboardFocusChange);
    // A dialog that chose its own first input keeps that choice; otherwise the cursor goes
    // to the first input in reading order.
    if (focusWidget() && focusWidget() != m_ok)
        return;
    if (m_firstBox)
        m_firstBox->setFocus(Qt::OtherFocusReason);
    else
        focusFirstInput(this);
}

LabeledEdit* EditDialog::addEdit(const QString& name, const QString& caption, int left, int top, int width)
{
    auto* edit = new LabeledEdit(caption, m_group);
    edit->setObjectName(name);
    edit->editLabel()->setObjectName(name + QStringLiteral("Label"));
    edit->place(left, top, width);
    return edit;
}

void EditDialog::setEditedRow(
    const QString& table, Query* loaded, const QStringList& columns, const QString& what)
{
    m_table = table;
    m_loaded = loaded;
    m_columns = columns;
    m_what = what;
}

void EditDialog::setEditedRow(const QString& table, int id, const QStringList& columns,
    const QList<std::optional<QString>>& loaded, const QString& what)
{
    if (loaded.size() != columns.size())
        throw ProgramError(QStringLiteral("The edit dialog %1 loaded %2 values for %3 columns.")
                               .arg(objectName())
                               .arg(loaded.size())
                               .arg(columns.size()));
    m_table = table;
    m_loaded = nullptr;
    m_loadedId = id;
    m_loadedValues = loaded;
    m_columns = columns;
    m_what = what;
}

QList<std::optional<QString>> loadedValues(const Query& query, const QStringList& columns)
{
    return query.texts(columns);
}

SaveRefused EditDialog::changedByAnotherUser() const
{
    return {nullptr,
        m_what
            + QStringLiteral(" was changed by another user since you opened it. "
                             "Close this window and open it again to see the change."),
        {}};
}

EditDialog::SaveResult EditDialog::saveInTransaction(const std::function<void(Transaction&)>& body,
    const std::function<bool()>& committed, const QString& failure)
{
    if (isEditing() && m_table.isEmpty())
        throw ProgramError(QStringLiteral("The edit dialog %1 names no edited row.").arg(objectName()));
    m_unconfirmed = false;
    try {
        Transaction::run(
            [&](Transaction& t) {
                if (isEditing()) {
                    // Locked until the commit: nobody changes the row between this
                    // comparison and our write.
                    const int id = m_loaded ? m_loaded->asInteger(QStringLiteral("id")) : m_loadedId;
                    const auto current = rowTexts(m_table, id, m_columns, true);
                    if (!current
                        || *current != (m_loaded ? loadedValues(*m_loaded, m_columns) : m_loadedValues))
                        throw changedByAnotherUser();
                }
                body(t);
            },
            committed);
        return SaveResult::Saved;
    } catch (const SaveRefused& refused) {
        if (refused.show)
            refused.show();
        else if (refused.focus)
            refuse(refused.focus, refused.message);
        else
            Boodskap(refused.message, false);
        return SaveResult::Refused;
    } catch (const DbError& e) {
        // Neither "saved" nor "not saved" would be true; OK again is safe where the save
        // carries its key, which then proves the first one stored.
        if (e.isUnconfirmed()) {
            m_unconfirmed = true;
            Boodskap(UnconfirmedSave, false);
            return SaveResult::Failed;
        }
        if (e.isDuplicateKey() && e.text().contains(QLatin1String("save key"))) {
            Boodskap(ConfirmedSave, false);
            return SaveResult::Saved;
        }
        // The checks ran before the transaction; run now, they see the other
        // workstation's row and refuse with the field's own message.
        if (e.isDuplicateKey() && !checkInput())
            return SaveResult::Refused;
        if (failure.isEmpty())
            throw;
        Boodskap(failure, false);
        return SaveResult::Failed;
    }
}

bool EditDialog::earlierSaveConfirmed()
{
    if (!m_unconfirmed || !m_storedUnderKey)
        return false;
    try {
        if (!m_storedUnderKey())
            return false;
    } catch (const DbError&) {
        // Still no answer from the server: the outcome stays unknown, and so does the advice.
        Boodskap(UnconfirmedSave, false);
        return true;
    }
    m_unconfirmed = false;
    Boodskap(ConfirmedSave, false);
    savedEarlier();
    return true;
}

QComboBox* EditDialog::addComboBox(
    const QString& name, const QString& labelName, const QString& caption, int left, int top, int width)
{
    QComboBox* box = addList(m_group, name, {}, left, top, width);
    addLabel(m_group, labelName, caption, left, top - 17)->setBuddy(box);
    if (!m_firstBox)
        m_firstBox = box;
    return box;
}

QLabel* EditDialog::addLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->adjustSize();
    label->move(left, top);
    return label;
}

QCheckBox* EditDialog::addCheckBox(
    QWidget* parent, const QString& name, const QString& caption, int left, int top)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->adjustSize();
    box->move(left, top);
    return box;
}

QComboBox* EditDialog::addList(
    QWidget* parent, const QString& name, const QStringList& items, int left, int top, int width)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->addItems(items);
    list->setCurrentIndex(-1);
    list->setGeometry(left, top, width, list->sizeHint().height());
    setTag(list, 1);
    return list;
}

bool EditDialog::refuse(QWidget* focus, const QString& message)
{
    Boodskap(message, false);
    focus->setFocus();
    return false;
}
