#include "db/Query.h"

#include "db/DbError.h"

#include <QSqlDriver>
#include <QSqlField>
#include <QSqlRecord>

namespace {
// The driver hands columns with a binary collation (the "Yes"/"No" flags, compared
// exactly) over as bytes; the schema holds no binary data, so they are read as text.
QVariant textual(const QVariant& v)
{
    return v.typeId() == QMetaType::QByteArray ? QVariant(QString::fromUtf8(v.toByteArray())) : v;
}
}

Query::Query(QObject* parent, const QString& name) : QAbstractTableModel(parent)
{
    if (!name.isEmpty())
        setObjectName(name);
}

void Query::clear()
{
    m_lines.clear();
    m_bindings.clear();
}

void Query::add(const QString& line) { m_lines << line; }

void Query::setSql(const QStringList& lines)
{
    m_lines = lines;
    m_bindings.clear();
}

void Query::bind(const QString& name, const QVariant& value)
{
    for (auto& b : m_bindings)
        if (b.first == name) {
            b.second = value;
            return;
        }
    m_bindings.append({name, value});
}

void Query::open(const QStringList& lines)
{
    setSql(lines);
    open();
}

void Query::open()
{
    Connection* c = &Connection::program();
    close();
    QSqlQuery q = c->execute(sql(), m_bindings);
    beginResetModel();
    const QSqlRecord rec = q.record();
    m_fields.clear();
    m_fieldIndex.clear();
    m_isAmount.clear();
    for (int i = 0; i < rec.count(); ++i) {
        m_fields << rec.fieldName(i);
        m_fieldIndex.insert(rec.fieldName(i).toLower(), i);
        // The driver reports DECIMAL as a double and, at high precision, hands it over as text.
        m_isAmount << (rec.field(i).metaType().id() == QMetaType::Double);
    }
    const int cols = int(m_fields.size());
    m_values.clear();
    m_rowCount = 0;
    if (q.size() > 0)
        m_values.reserve(qsizetype(q.size()) * cols);
    while (q.next()) {
        for (int i = 0; i < cols; ++i)
            m_values.append(textual(q.value(i)));
        ++m_rowCount;
    }
    m_current = 0;
    m_open = true;
    endResetModel();
    emit currentRowChanged(m_current);
}

bool rowExists(const QString& table, const Bindings& equalTo, std::optional<int> exceptId)
{
    return rowIdWhere(table, equalTo, exceptId).has_value();
}

std::optional<int> rowIdWhere(const QString& table, const Bindings& equalTo, std::optional<int> exceptId)
{
    QStringList conditions;
    Bindings bindings;
    for (int i = 0; i < equalTo.size(); ++i) {
        conditions << QStringLiteral("(%1 = :p%2)").arg(quotedIdentifier(equalTo[i].first)).arg(i);
        bindings.append({QStringLiteral("p%1").arg(i), equalTo[i].second});
    }
    if (exceptId) {
        conditions << QStringLiteral("(id <> :except)");
        bindings.append({QStringLiteral("except"), *exceptId});
    }
    const std::optional<QVariant> id
        = Query::firstValue({QStringLiteral("SELECT id FROM %1 WHERE").arg(quotedIdentifier(table)),
                                conditions.join(QStringLiteral(" and "))},
            bindings, QStringLiteral("id"));
    return id ? std::optional<int>(id->toInt()) : std::nullopt;
}

std::optional<QList<std::optional<QString>>> rowTexts(
    const QString& table, int id, const QStringList& columns, bool locking)
{
    QStringList quoted;
    for (const QString& c : columns)
        quoted << quotedIdentifier(c);
    Query q;
    q.setSql({QStringLiteral("SELECT %1 FROM %2 WHERE id = :id%3")
                  .arg(quoted.join(QStringLiteral(", ")), quotedIdentifier(table),
                      locking ? QStringLiteral(" FOR UPDATE") : QString())});
    q.bind(QStringLiteral("id"), id);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    return q.texts(columns);
}

QList<std::optional<QString>> Query::texts(const QStringList& fields) const
{
    QList<std::optional<QString>> values;
    for (const QString& f : fields)
        values << (isNull(f) ? std::nullopt : std::optional<QString>(asString(f)));
    return values;
}

std::optional<QVariant> Query::firstValue(
    const QStringList& lines, const Bindings& bindings, const QString& field)
{
    Query q;
    q.setSql(lines);
    for (const auto& [name, value] : bindings)
        q.bind(name, value);
    q.open();
    return q.isEmpty() ? std::nullopt : std::optional<QVariant>(q.value(field));
}

void Query::close()
{
    if (!m_open)
        return;
    beginResetModel();
    m_values.clear();
    m_rowCount = 0;
    m_current = 0;
    m_open = false;
    endResetModel();
}

void Query::execute(const QString& sql, const Bindings& bindings)
{
    Connection* c = &Connection::program();
    c->execute(sql, bindings);
}

void Query::first() { setCurrentRow(0); }
void Query::last() { setCurrentRow(std::max(0, m_rowCount - 1)); }

void Query::next()
{
    // Moving past the last row marks the end of the data, as a dataset's Next does.
    if (m_current < m_rowCount) {
        ++m_current;
        if (m_current < m_rowCount)
            emit currentRowChanged(m_current);
    }
}

void Query::setCurrentRow(int row)
{
    if (m_rowCount == 0)
        return;
    row = std::clamp(row, 0, m_rowCount - 1);
    if (row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(row);
}

bool Query::locate(const QString& field, const QVariant& value)
{
    const int col = fieldIndex(field);
    if (col < 0)
        return false;
    const QString wanted = value.toString();
    for (int r = 0; r < m_rowCount; ++r)
        if (m_values[r * m_fields.size() + col].toString() == wanted) {
            setCurrentRow(r);
            return true;
        }
    return false;
}

bool Query::locate(
    const QString& field1, const QVariant& value1, const QString& field2, const QVariant& value2)
{
    const int c1 = fieldIndex(field1), c2 = fieldIndex(field2);
    if (c1 < 0 || c2 < 0)
        return false;
    const QString w1 = value1.toString(), w2 = value2.toString();
    const int cols = int(m_fields.size());
    for (int r = 0; r < m_rowCount; ++r)
        if (m_values[r * cols + c1].toString() == w1 && m_values[r * cols + c2].toString() == w2) {
            setCurrentRow(r);
            return true;
        }
    return false;
}

int Query::fieldIndex(const QString& field) const { return m_fieldIndex.value(field.toLower(), -1); }

int Query::requireField(const QString& field) const
{
    const int col = fieldIndex(field);
    if (col < 0)
        throw ProgramError(QStringLiteral("Field '%1' not found").arg(field));
    return col;
}

QVariant Query::value(int row, int column) const
{
    if (row < 0 || row >= m_rowCount || column < 0 || column >= m_fields.size())
        return {};
    return m_values[row * m_fields.size() + column];
}

QVariant Query::value(const QString& field) const { return value(m_current, requireField(field)); }

bool Query::isNull(const QString& field) const { return value(field).isNull(); }
// A NULL read as text is empty; Qt 6 would turn a NULL number into "0".
QString Query::asString(const QString& field) const
{
    const QVariant v = value(field);
    return v.isNull() ? QString() : v.toString();
}
int Query::asInteger(const QString& field) const { return value(field).toInt(); }
QDate Query::asDate(const QString& field) const { return value(field).toDate(); }

Money Query::asMoney(const QString& field) const
{
    const QString text = value(field).toString();
    if (text.isEmpty())
        return Money();
    const auto m = Money::parseDb(text);
    if (!m)
        throw DbError(QStringLiteral("Field '%1' holds no amount: %2").arg(field, text));
    return *m;
}

int Query::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rowCount; }
int Query::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant Query::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const QVariant v = value(index.row(), index.column());
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    // Amounts as the rest of the program shows them: shortest form, regional separator.
    if (m_isAmount.value(index.column()) && v.typeId() == QMetaType::QString)
        if (const std::optional<Money> amount = Money::parseDb(v.toString()))
            return amount->toString();
    return v.toString();
}

QVariant Query::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_fields.size())
        return QAbstractTableModel::headerData(section, o, role);
    return m_labels.value(m_fields[section].toLower(), m_fields[section]);
}

void Query::setDisplayLabel(const QString& field, const QString& title)
{
    m_labels.insert(field.toLower(), title);
}

RowWriter& RowWriter::set(const QString& column, const QVariant& value)
{
    for (auto& v : m_values)
        if (v.first == column) {
            v.second = value;
            return *this;
        }
    m_values.append({column, value});
    return *this;
}

QString quotedIdentifier(const QString& name)
{
    // The driver quotes as its server reads names; without a connection yet, the same
    // backticks MariaDB's driver would write.
    if (Connection* c = Connection::current())
        if (QSqlDriver* driver = c->database().driver())
            return driver->escapeIdentifier(name, QSqlDriver::FieldName);
    return QLatin1Char('`') + name + QLatin1Char('`');
}

static QString quoted(const QString& name) { return quotedIdentifier(name); }

QString RowWriter::insertSql() const
{
    QStringList cols, params;
    for (int i = 0; i < m_values.size(); ++i) {
        cols << quoted(m_values[i].first);
        params << QStringLiteral(":p%1").arg(i);
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(quoted(m_table), cols.join(QStringLiteral(", ")), params.join(QStringLiteral(", ")));
}

QString RowWriter::updateSql(int id) const
{
    QStringList sets;
    for (int i = 0; i < m_values.size(); ++i)
        sets << QStringLiteral("%1 = :p%2").arg(quoted(m_values[i].first)).arg(i);
    return QStringLiteral("UPDATE %1 SET %2 WHERE id = %3")
        .arg(quoted(m_table), sets.join(QStringLiteral(", ")))
        .arg(id);
}

static Bindings positional(const QList<QPair<QString, QVariant>>& values)
{
    Bindings b;
    for (int i = 0; i < values.size(); ++i)
        b.append({QStringLiteral(":p%1").arg(i), values[i].second});
    return b;
}

int RowWriter::insert()
{
    Connection* c = &Connection::program();
    QSqlQuery q = c->execute(insertSql(), positional(m_values));
    return q.lastInsertId().toInt();
}

void RowWriter::insertAll(const QList<RowWriter>& rows)
{
    if (rows.isEmpty())
        return;
    const RowWriter& first = rows.first();
    QStringList cols;
    for (const auto& v : first.m_values)
        cols << quoted(v.first);
    QStringList tuples;
    Bindings bindings;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const RowWriter& row = rows[r];
        if (row.m_table != first.m_table || row.m_values.size() != first.m_values.size())
            throw ProgramError(
                QStringLiteral("Rows of different shapes inserted together into %1.").arg(first.m_table));
        QStringList params;
        for (qsizetype i = 0; i < row.m_values.size(); ++i) {
            if (row.m_values[i].first != first.m_values[i].first)
                throw ProgramError(
                    QStringLiteral("Rows of different shapes inserted together into %1.").arg(first.m_table));
            const QString name = QStringLiteral(":r%1p%2").arg(r).arg(i);
            params << name;
            bindings.append({name, row.m_values[i].second});
        }
        tuples << QLatin1Char('(') + params.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    Query::execute(
        QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
            .arg(quoted(first.m_table), cols.join(QStringLiteral(", ")), tuples.join(QStringLiteral(", "))),
        bindings);
}

bool RowWriter::isStored(int id) const
{
    QStringList conditions{QStringLiteral("id = %1").arg(id)};
    for (int i = 0; i < m_values.size(); ++i)
        conditions << QStringLiteral("%1 <=> :p%2").arg(quoted(m_values[i].first)).arg(i);
    Query found;
    found.setSql({QStringLiteral("SELECT id FROM %1 WHERE %2")
                      .arg(quoted(m_table), conditions.join(QStringLiteral(" AND ")))});
    for (const auto& [name, value] : positional(m_values))
        found.bind(name, value);
    found.open();
    return !found.isEmpty();
}

void RowWriter::update(int id)
{
    if (m_values.isEmpty())
        return;
    Query::execute(updateSql(id), positional(m_values));
}
