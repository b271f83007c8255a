#include "journallines/JournalLinesModel.h"

#include "db/DbError.h"
#include "standard/Dates.h"

#include <algorithm>

namespace {
// Lines kept in memory at most, besides the chunk being read: a few months of a busy
// object, some tens of megabytes.
constexpr qint64 KeptLines = 100000;

QString moneyText(const Money& m) { return m.isZero() ? QStringLiteral("0") : m.toString(); }
}

JournalLinesModel::JournalLinesModel(const QList<JournalLinesChunk>& chunks, QObject* parent)
    : QAbstractTableModel(parent), m_chunks(chunks)
{
    Money balance;
    for (const JournalLinesChunk& c : m_chunks) {
        m_firstRow.append(int(m_lineCount));
        m_balanceBefore.append(balance);
        m_lineCount += c.count;
        balance += c.sum;
    }
    m_total = balance;
}

const JournalLinesModel::LoadedChunk* JournalLinesModel::loaded(int chunk) const
{
    if (const auto it = m_loaded.constFind(chunk); it != m_loaded.constEnd()) {
        m_recent.removeOne(chunk);
        m_recent.append(chunk);
        return &*it;
    }
    if (m_failed)
        return nullptr;
    LoadedChunk read;
    try {
        read.lines = JournalLinesStore::lines(m_chunks[chunk]);
    } catch (const DbError& e) {
        // Said once: the view asks again for every cell it paints.
        m_failed = true;
        emit loadFailed(e.text());
        return nullptr;
    }
    Money balance = m_balanceBefore[chunk];
    read.balances.reserve(read.lines.size());
    for (const JournalLineRow& l : read.lines)
        read.balances.append(balance += l.amount);
    while (!m_recent.isEmpty() && m_loadedLines + read.lines.size() > KeptLines) {
        m_loadedLines -= m_loaded.take(m_recent.takeFirst()).lines.size();
    }
    m_loadedLines += read.lines.size();
    m_recent.append(chunk);
    return &*m_loaded.insert(chunk, std::move(read));
}

const JournalLineRow* JournalLinesModel::line(int row) const
{
    if (row < 0 || row >= m_lineCount)
        return nullptr;
    const int chunk
        = int(std::upper_bound(m_firstRow.begin(), m_firstRow.end(), row) - m_firstRow.begin()) - 1;
    const LoadedChunk* c = loaded(chunk);
    const int at = row - m_firstRow[chunk];
    return c && at < c->lines.size() ? &c->lines[at] : nullptr;
}

std::optional<Money> JournalLinesModel::balanceAt(int row) const
{
    const JournalLineRow* l = line(row);
    if (!l)
        return std::nullopt;
    const int chunk
        = int(std::upper_bound(m_firstRow.begin(), m_firstRow.end(), row) - m_firstRow.begin()) - 1;
    return m_loaded.value(chunk).balances.value(row - m_firstRow[chunk]);
}

int JournalLinesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lineCount);
}

int JournalLinesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant JournalLinesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const bool figure = index.column() == Amount || index.column() == Balance;
    if (role == Qt::TextAlignmentRole)
        return figure ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role != Qt::DisplayRole && role != ExactTextRole)
        return {};
    const JournalLineRow* l = line(index.row());
    if (!l)
        return {};
    if (figure) {
        const Money m = index.column() == Amount ? l->amount : balanceAt(index.row()).value_or(Money());
        return role == ExactTextRole ? moneyText(m) : m.toDisplayString();
    }
    switch (index.column()) {
    case EntryNumber:
        return QStringLiteral("JE %1").arg(l->number);
    case EntryDate:
        return DateToMyString(l->date);
    case EntryDescription:
        return l->entryDescription;
    case AccountNumber:
        return l->accountNumber;
    case AccountDescription:
        return l->accountDescription;
    case LineDescription:
        return l->lineDescription;
    }
    return {};
}

QVariant JournalLinesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[]
        = {"Journal Entry Number", "Journal Entry Date", "Journal Entry Description", "Account number",
            "Account Description", "Line Description", "Amount", "Balance"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(titles[section]) : QVariant();
}
