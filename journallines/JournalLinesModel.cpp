#include "journallines/JournalLinesModel.h"

#include "db/DbError.h"
#include "standard/Dates.h"

#include <algorithm>

namespace {
// Lines kept in memory at most, besides the chunk being read: a few months of a busy
// object, some tens of megabytes.
constexpr qint64 KeptLines = 100000;
// A month of more lines than this is read a run of days at a time: a busy object's month
// (ten thousand lines and more) takes a large part of a second to read and sort.
constexpr qint64 ReadAtOnce = 1500;

QString moneyText(const Money& m) { return m.isZero() ? QStringLiteral("0") : m.toString(); }
}

JournalLinesModel::JournalLinesModel(const QList<JournalLinesChunk>& chunks, QObject* parent)
    : QAbstractTableModel(parent), m_chunks(chunks)
{
    placeChunks();
    m_lineCount = m_chunks.isEmpty() ? 0 : m_firstRow.last() + m_chunks.last().count;
    m_total = m_chunks.isEmpty() ? Money() : m_balanceBefore.last() + m_chunks.last().sum;
}

void JournalLinesModel::placeChunks() const
{
    m_firstRow.clear();
    m_balanceBefore.clear();
    qint64 row = 0;
    Money balance;
    for (const JournalLinesChunk& c : m_chunks) {
        m_firstRow.append(int(row));
        m_balanceBefore.append(balance);
        row += c.count;
        balance += c.sum;
    }
}

void JournalLinesModel::split(int chunk) const
{
    const QList<JournalLinesChunk> days = JournalLinesStore::days(m_chunks[chunk]);
    QList<JournalLinesChunk> runs;
    for (const JournalLinesChunk& day : days) {
        if (!runs.isEmpty() && runs.last().count + day.count <= ReadAtOnce) {
            runs.last().to = day.to;
            runs.last().count += day.count;
            runs.last().sum += day.sum;
        } else {
            runs.append(day);
        }
    }
    // Lines written since the chunk was counted are not listed: the runs keep its count
    // (placed rows may not move), and the last run's lines beyond it are left out.
    qint64 counted = 0;
    for (const JournalLinesChunk& r : runs)
        counted += r.count;
    if (runs.isEmpty() || counted != m_chunks[chunk].count)
        return;
    m_chunks.remove(chunk);
    for (int i = 0; i < runs.size(); ++i)
        m_chunks.insert(chunk + i, runs[i]);
    placeChunks();
    // Chunks after the split one move on.
    const int moved = int(runs.size()) - 1;
    QHash<int, LoadedChunk> loaded;
    for (auto it = m_loaded.begin(); it != m_loaded.end(); ++it)
        loaded.insert(it.key() > chunk ? it.key() + moved : it.key(), std::move(it.value()));
    m_loaded = std::move(loaded);
    for (int& c : m_recent)
        if (c > chunk)
            c += moved;
}

int JournalLinesModel::chunkOf(int row) const
{
    return int(std::upper_bound(m_firstRow.begin(), m_firstRow.end(), row) - m_firstRow.begin()) - 1;
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
    int chunk = chunkOf(row);
    if (m_chunks[chunk].count > ReadAtOnce && !m_loaded.contains(chunk) && !m_failed) {
        try {
            split(chunk);
        } catch (const DbError& e) {
            m_failed = true;
            emit loadFailed(e.text());
            return nullptr;
        }
        chunk = chunkOf(row);
    }
    const LoadedChunk* c = loaded(chunk);
    const int at = row - m_firstRow[chunk];
    return c && at < c->lines.size() ? &c->lines[at] : nullptr;
}

std::optional<Money> JournalLinesModel::balanceAt(int row) const
{
    const JournalLineRow* l = line(row);
    if (!l)
        return std::nullopt;
    const int chunk = chunkOf(row);
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
