#include "journal/AccountPicker.h"

#include "journal/JournalLogic.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>
#include <algorithm>

AccountPicker::AccountPicker(QObject* parent)
    : QObject(parent), m_completer(new QCompleter(this)), m_model(new QStringListModel(this))
{
    m_completer->setModel(m_model);
    // The list is filtered here, not by the completer: it shows what it is given.
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setMaxVisibleItems(12);
    connect(m_completer, qOverload<const QModelIndex&>(&QCompleter::activated), this,
        [this](const QModelIndex& index) { choose(index.row()); });
}

void AccountPicker::setAccounts(const QList<PickableAccount>& accounts)
{
    m_entries.clear();
    m_entries.reserve(accounts.size());
    for (const PickableAccount& a : accounts) {
        const QString shown = a.number + QStringLiteral("  ") + a.costCentreDescription
            + QStringLiteral(" / ") + a.accountDescription;
        m_entries.append({a.number, shown, shown.toLower()});
    }
    // Number order: cost centre, then object, as numbers.
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& x, const Entry& y) {
        const auto a = readAccountNumber(x.number), b = readAccountNumber(y.number);
        if (a && b)
            return std::pair(a->costCentre, a->object) < std::pair(b->costCentre, b->object);
        return x.number < y.number;
    });
}

bool AccountPicker::asksForPicker(const QString& text)
{
    for (const QChar c : text)
        if (!c.isDigit() && c != QLatin1Char('.') && c != QLatin1Char('-') && c != QLatin1Char('+')
            && !c.isSpace())
            return true;
    return false;
}

QVector<int> AccountPicker::matching(const QString& text) const
{
    const QString needle = text.trimmed().toLower();
    QVector<int> found;
    for (int i = 0; i < m_entries.size(); ++i)
        if (needle.isEmpty() || m_entries[i].haystack.contains(needle))
            found << i;
    return found;
}

QStringList AccountPicker::matches(const QString& text) const
{
    QStringList rows;
    for (const int i : matching(text))
        rows << m_entries[i].shown;
    return rows;
}

void AccountPicker::offer(QLineEdit* editor, const QString& text)
{
    m_offered = matching(text);
    QStringList rows;
    for (const int i : m_offered)
        rows << m_entries[i].shown;
    m_model->setStringList(rows);
    if (rows.isEmpty() || !editor) {
        hide();
        return;
    }
    m_completer->setWidget(editor);
    QRect under = editor->rect();
    under.setWidth(std::max(under.width(), 420));
    m_completer->complete(under);
    m_completer->popup()->setCurrentIndex(m_model->index(0, 0));
}

void AccountPicker::hide()
{
    if (m_completer->popup())
        m_completer->popup()->hide();
}

bool AccountPicker::isShown() const { return m_completer->popup() && m_completer->popup()->isVisible(); }

QStringList AccountPicker::offered() const { return m_model->stringList(); }

void AccountPicker::choose(int row)
{
    if (row < 0 || row >= m_offered.size())
        return;
    const QString number = m_entries[m_offered[row]].number;
    hide();
    emit chosen(number);
}
