#pragma once
#include "journallines/JournalLinesStore.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QVector>

// The lines behind a figure as a table, read a chunk (a month of them) at a time as rows
// are shown: the count, the total and each chunk's place come first from the chunks' sums,
// so the view knows its length and every running balance before any line is read, and
// memory holds only the chunks last looked at.
class JournalLinesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        EntryNumber,
        EntryDate,
        EntryDescription,
        AccountNumber,
        AccountDescription,
        LineDescription,
        Amount,
        Balance,
        ColumnCount
    };
    // The role giving a figure's exact text (the program's money form), not its display.
    static constexpr int ExactTextRole = Qt::UserRole + 1;

    explicit JournalLinesModel(const QList<JournalLinesChunk>& chunks, QObject* parent = nullptr);

    qint64 lineCount() const { return m_lineCount; }
    const Money& total() const { return m_total; }
    // The row's line, read with its chunk when not at hand; nullptr when the read failed
    // (loadFailed says why) or the chunk holds fewer lines than counted.
    const JournalLineRow* line(int row) const;
    // The running balance after the row's line.
    std::optional<Money> balanceAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void loadFailed(const QString& message) const;

private:
    struct LoadedChunk {
        QList<JournalLineRow> lines;
        QVector<Money> balances;
    };
    const LoadedChunk* loaded(int chunk) const;
    int chunkOf(int row) const;
    // A chunk too large to read at once is cut into runs of days first.
    void split(int chunk) const;
    void placeChunks() const;

    mutable QList<JournalLinesChunk> m_chunks;
    mutable QVector<int> m_firstRow; // of each chunk
    mutable QVector<Money> m_balanceBefore; // of each chunk
    qint64 m_lineCount = 0;
    Money m_total;
    mutable QHash<int, LoadedChunk> m_loaded;
    mutable QList<int> m_recent; // loaded chunks, the last used last
    mutable qint64 m_loadedLines = 0;
    mutable bool m_failed = false;
};
