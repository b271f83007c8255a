#pragma once
#include "db/Connection.h"
#include "standard/Money.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QHash>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <optional>

// A table's or column's name quoted for a statement, by the connection's driver.
QString quotedIdentifier(const QString& name);

// Whether a row of the table other than `exceptId` holds each column's value (compared as
// the column's collation compares): the uniqueness checks of the edit dialogs. Throws
// DbError.
bool rowExists(const QString& table, const Bindings& equalTo, std::optional<int> exceptId);
// The id of such a row, if any (the first the server finds).
std::optional<int> rowIdWhere(const QString& table, const Bindings& equalTo, std::optional<int> exceptId);

// The columns' values of the table's row `id` as text (empty for NULL), as
// Query::texts reads them; none when there is no such row. locking: the row stays locked
// until the transaction ends. Throws DbError.
std::optional<QList<std::optional<QString>>> rowTexts(
    const QString& table, int id, const QStringList& columns, bool locking);

// A list window's statement: its lines and their named parameters' values.
struct ListStatement {
    QStringList lines;
    Bindings bindings;
};

// A statement held as lines, with named parameters, whose result is read into memory
// and navigated by a current row. It is also the model of a data grid: the grid's
// selected row is the query's current row.
class Query : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit Query(QObject* parent = nullptr, const QString& name = {});

    // Statement text ------------------------------------------------------------
    void clear(); // empties the text and the bindings
    void add(const QString& line);
    void setSql(const QStringList& lines);
    QString sql() const { return m_lines.join(QLatin1Char('\n')); }
    void bind(const QString& name, const QVariant& value);

    // Running -----------------------------------------------------------------
    void open(); // runs the statement; throws DbError
    void open(const QStringList& lines); // setSql + open
    void close();
    bool isOpen() const { return m_open; }
    // Runs a statement that returns no rows; throws DbError.
    static void execute(const QString& sql, const Bindings& bindings = {});
    // Runs a statement (parameters named without their colon) and answers the first row's
    // field; empty when no row came back. Throws DbError.
    static std::optional<QVariant> firstValue(
        const QStringList& lines, const Bindings& bindings, const QString& field);

    // Navigation --------------------------------------------------------------
    int recordCount() const { return m_rowCount; }
    bool isEmpty() const { return m_rowCount == 0; }
    void first();
    void last();
    void next();
    bool eof() const { return m_current >= m_rowCount || m_rowCount == 0; }
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);
    bool locate(const QString& field, const QVariant& value);
    bool locate(const QString& field1, const QVariant& value1, const QString& field2, const QVariant& value2);

    // Fields of the current row ---------------------------------------------------
    int fieldIndex(const QString& field) const; // -1 when there is no such field
    QStringList fieldNames() const { return m_fields; }
    QVariant value(const QString& field) const;
    QVariant value(int row, int column) const;
    bool isNull(const QString& field) const;
    QString asString(const QString& field) const;
    int asInteger(const QString& field) const;
    QDate asDate(const QString& field) const;
    Money asMoney(const QString& field) const; // empty reads as 0
    // The fields' values as text, empty for NULL.
    QList<std::optional<QString>> texts(const QStringList& fields) const;
    // Whether a column holds amounts (DECIMAL), which grids show as figures.
    bool isAmountColumn(int column) const { return m_isAmount.value(column); }

    // Model -------------------------------------------------------------------
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    void setDisplayLabel(const QString& field, const QString& title);

signals:
    void currentRowChanged(int row);

private:
    int requireField(const QString& field) const;

    QStringList m_lines;
    Bindings m_bindings;
    QStringList m_fields;
    QHash<QString, int> m_fieldIndex; // lower-case name -> column
    QList<bool> m_isAmount; // per column: a DECIMAL, shown as an amount
    QVector<QVariant> m_values; // row-major
    QHash<QString, QString> m_labels;
    int m_rowCount = 0;
    int m_current = 0;
    bool m_open = false;
};

// Writes one row: exactly one INSERT of the columns set, or one UPDATE of them for an
// id, with every value bound. Column names are written between backticks.
class RowWriter {
public:
    explicit RowWriter(const QString& table) : m_table(table) { }
    RowWriter& set(const QString& column, const QVariant& value);
    int insert(); // returns the id the database assigned; throws DbError
    // Rows of one table that set the same columns in the same order, in one statement (one
    // round trip for all of an entry's lines); throws DbError.
    static void insertAll(const QList<RowWriter>& rows);
    void update(int id); // throws DbError
    // Whether the row with this id holds the values set: after a lost reply to COMMIT, it
    // tells whether the insert or update is in the database. Throws DbError.
    bool isStored(int id) const;
    QString insertSql() const;
    QString updateSql(int id) const;

private:
    QString m_table;
    QList<QPair<QString, QVariant>> m_values;
};
