#include "import/ImportLogic.h"

#include "standard/TextChecks.h"

#include <QHash>
#include <QRegularExpression>
#include <QSettings>

namespace {
const QString MappingGroup = QStringLiteral("import mappings");

QString cell(const CsvRow& row, int column) { return column >= 0 ? row.fields.value(column) : QString(); }

// The column's cell is there at all: a short row lacks the columns after its last field.
bool hasCell(const CsvRow& row, int column) { return column < 0 || column < row.fields.size(); }

const ImportPeriod* periodOf(const QList<ImportPeriod>& periods, const QDate& date)
{
    for (const ImportPeriod& p : periods)
        if (date >= p.start && date <= p.end)
            return &p;
    return nullptr;
}

QString dateFormatText(DateFormat f)
{
    switch (f) {
    case DateFormat::DayMonthYear:
        return QStringLiteral("dd/mm/yyyy");
    case DateFormat::YearMonthDay:
        return QStringLiteral("yyyy-mm-dd");
    case DateFormat::MonthDayYear:
        return QStringLiteral("mm/dd/yyyy");
    }
    return {};
}
}

QStringList savedMappingNames(QSettings& settings)
{
    settings.beginGroup(MappingGroup);
    QStringList names = settings.childGroups();
    settings.endGroup();
    names.sort(Qt::CaseInsensitive);
    return names;
}

void saveMapping(QSettings& settings, const QString& name, const ImportMapping& m)
{
    // Each name is one group; its key is percent-encoded so that any name can be stored.
    settings.beginGroup(MappingGroup + QLatin1Char('/') + name);
    settings.setValue(QStringLiteral("entry key"), m.entryKey);
    settings.setValue(QStringLiteral("date"), m.date);
    settings.setValue(QStringLiteral("description"), m.description);
    settings.setValue(QStringLiteral("account"), m.account);
    settings.setValue(QStringLiteral("line description"), m.lineDescription);
    settings.setValue(QStringLiteral("debit and credit"), m.debitCredit);
    settings.setValue(QStringLiteral("amount"), m.amount);
    settings.setValue(QStringLiteral("debit"), m.debit);
    settings.setValue(QStringLiteral("credit"), m.credit);
    settings.setValue(QStringLiteral("date format"), int(m.dateFormat));
    settings.setValue(QStringLiteral("decimal separator"), QString(m.decimalSeparator));
    settings.setValue(QStringLiteral("thousands separator"),
        m.thousandsSeparator.isNull() ? QString() : QString(m.thousandsSeparator));
    settings.endGroup();
    settings.sync();
}

std::optional<ImportMapping> loadMapping(QSettings& settings, const QString& name)
{
    if (!savedMappingNames(settings).contains(name))
        return std::nullopt;
    ImportMapping m;
    settings.beginGroup(MappingGroup + QLatin1Char('/') + name);
    auto column = [&](const char* key) { return settings.value(QLatin1String(key), -1).toInt(); };
    m.entryKey = column("entry key");
    m.date = column("date");
    m.description = column("description");
    m.account = column("account");
    m.lineDescription = column("line description");
    m.debitCredit = settings.value(QStringLiteral("debit and credit")).toBool();
    m.amount = column("amount");
    m.debit = column("debit");
    m.credit = column("credit");
    m.dateFormat = DateFormat(std::clamp(settings.value(QStringLiteral("date format")).toInt(), 0, 2));
    const QString decimal = settings.value(QStringLiteral("decimal separator")).toString();
    m.decimalSeparator = decimal == QLatin1String(",") ? QLatin1Char(',') : QLatin1Char('.');
    const QString thousands = settings.value(QStringLiteral("thousands separator")).toString();
    m.thousandsSeparator = thousands.isEmpty() ? QChar() : thousands.front();
    settings.endGroup();
    return m;
}

std::optional<QDate> readImportDate(const QString& text, DateFormat format)
{
    static const QRegularExpression dmy(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    static const QRegularExpression ymd(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    const QRegularExpressionMatch m = (format == DateFormat::YearMonthDay ? ymd : dmy).match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int a = m.captured(1).toInt(), b = m.captured(2).toInt(), c = m.captured(3).toInt();
    QDate date;
    switch (format) {
    case DateFormat::DayMonthYear:
        date = QDate(c, b, a);
        break;
    case DateFormat::YearMonthDay:
        date = QDate(a, b, c);
        break;
    case DateFormat::MonthDayYear:
        date = QDate(c, a, b);
        break;
    }
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

std::optional<Money> readImportAmount(const QString& text, QChar decimalSeparator, QChar thousandsSeparator)
{
    QString plain = text;
    if (!thousandsSeparator.isNull() && thousandsSeparator != decimalSeparator) {
        // "1,234,567.89": the separator only between groups of three digits before the decimals.
        const QString sep = QRegularExpression::escape(QString(thousandsSeparator));
        const QRegularExpression grouped(
            QStringLiteral("^-?\\d{1,3}(%1\\d{3})+(%2\\d*)?$")
                .arg(sep, QRegularExpression::escape(QString(decimalSeparator))));
        if (grouped.match(text).hasMatch())
            plain.remove(thousandsSeparator);
    }
    try {
        return Money::parseWith(plain, decimalSeparator);
    } catch (const MoneyOverflow&) {
        return std::nullopt;
    }
}

QString mappingProblem(const ImportMapping& m)
{
    if (m.date < 0)
        return QStringLiteral("Choose the column that holds the date.");
    if (m.description < 0)
        return QStringLiteral("Choose the column that holds the entry description.");
    if (m.account < 0)
        return QStringLiteral("Choose the column that holds the account number.");
    if (m.lineDescription < 0)
        return QStringLiteral("Choose the column that holds the line description.");
    if (!m.debitCredit && m.amount < 0)
        return QStringLiteral("Choose the column that holds the amount.");
    if (m.debitCredit && (m.debit < 0 || m.credit < 0))
        return QStringLiteral("Choose the columns that hold the debit and the credit amounts.");
    if (m.thousandsSeparator == m.decimalSeparator)
        return QStringLiteral("The thousands separator cannot be the decimal separator.");
    return {};
}

QString columnName(const CsvTable& table, int column)
{
    const QString heading = table.headings.value(column).trimmed();
    return heading.isEmpty() ? QStringLiteral("Column %1").arg(column + 1) : heading;
}

ImportCheck checkImport(const CsvTable& table, const ImportMapping& m, const AccountLookup& accounts,
    const QList<ImportPeriod>& periods, const std::function<bool(qsizetype, qsizetype)>& progress)
{
    ImportCheck result;
    auto problem = [&](const CsvRow& row, int column, const QString& message) {
        result.problems.append({row.line, column >= 0 ? columnName(table, column) : QString(),
            column >= 0 ? cell(row, column) : QString(), message});
    };
    QHash<QString, qsizetype> entryOf; // key -> index in result.entries
    QList<Money> totals;
    QList<bool> entryFaulty;
    const qsizetype total = table.rows.size();
    for (qsizetype i = 0; i < total; ++i) {
        if (progress && i % 500 == 0 && !progress(i, total)) {
            result.cancelled = true;
            return result;
        }
        const CsvRow& row = table.rows[i];
        // A row whose mapped cells are all empty (a spreadsheet's trailing rows) holds no line.
        const QList<int> used = m.debitCredit
            ? QList<int>{m.entryKey, m.date, m.description, m.account, m.lineDescription, m.debit, m.credit}
            : QList<int>{m.entryKey, m.date, m.description, m.account, m.lineDescription, m.amount};
        if (std::all_of(used.begin(), used.end(), [&](int c) { return cell(row, c).isEmpty(); }))
            continue;
        ++result.lineCount;
        bool ok = true;
        for (int c : used)
            if (!hasCell(row, c)) {
                problem(row, c, QStringLiteral("The row ends before this column."));
                ok = false;
            }
        if (!ok)
            continue;

        const QString dateText = cell(row, m.date);
        const QString description = cell(row, m.description);
        const std::optional<QDate> date = readImportDate(dateText, m.dateFormat);
        const ImportPeriod* period = date ? periodOf(periods, *date) : nullptr;
        if (!date) {
            problem(row, m.date,
                QStringLiteral("The date is not a date in the form %1.").arg(dateFormatText(m.dateFormat)));
            ok = false;
        } else if (!period) {
            problem(row, m.date,
                QStringLiteral("The date is not in an open period of the selected financial year."));
            ok = false;
        }
        if (!ToetsText(description, 3, false, false, false)
            || description.toUcs4().size() > MaxEntryDescriptionCharacters) {
            problem(row, m.description,
                QStringLiteral(
                    "The journal entry description must hold 3 to %1 characters and no line breaks "
                    "or tabs.")
                    .arg(MaxEntryDescriptionCharacters));
            ok = false;
        }

        const QString account = cell(row, m.account);
        const JournalAccount* found = nullptr;
        if (account.isEmpty())
            problem(row, m.account, QStringLiteral("Account number not specified."));
        else if (!readAccountNumber(account))
            problem(row, m.account, QStringLiteral("Account number format not correct."));
        else if (!(found = accounts.find(account)))
            problem(row, m.account, QStringLiteral("Account not found."));
        ok = ok && found;

        const QString lineDescription = cell(row, m.lineDescription);
        if (const std::optional<QString> fault = lineDescriptionFault(lineDescription)) {
            problem(row, m.lineDescription, *fault);
            ok = false;
        }

        std::optional<Money> amount;
        int amountColumn = m.amount;
        if (m.debitCredit) {
            const QString debit = cell(row, m.debit), credit = cell(row, m.credit);
            if (debit.isEmpty() == credit.isEmpty()) {
                problem(row, debit.isEmpty() ? m.debit : m.credit,
                    QStringLiteral("Give either a debit or a credit amount on each line."));
                ok = false;
            } else {
                amountColumn = debit.isEmpty() ? m.credit : m.debit;
                amount = readImportAmount(cell(row, amountColumn), m.decimalSeparator, m.thousandsSeparator);
                // A debit or a credit is written as a positive amount.
                if (amount && amount->isNegative())
                    amount.reset();
                if (amount && debit.isEmpty())
                    amount = -*amount;
            }
        } else {
            amount = readImportAmount(cell(row, m.amount), m.decimalSeparator, m.thousandsSeparator);
        }
        if (amountColumn >= 0 && (!amount || !isJournalAmount(amount->toString()))) {
            problem(row, amountColumn, QStringLiteral("Amount not correct."));
            ok = false;
        }

        // The entry the line belongs to: its key, or its date and description.
        const QString key = m.entryKey >= 0 ? cell(row, m.entryKey) : dateText + QChar(0x1F) + description;
        if (m.entryKey >= 0 && key.isEmpty()) {
            problem(row, m.entryKey, QStringLiteral("The entry key is empty."));
            continue;
        }
        auto it = entryOf.constFind(key);
        if (it == entryOf.cend()) {
            it = entryOf.insert(key, result.entries.size());
            result.entries.append(
                {row.line, period ? period->id : -1, date.value_or(QDate()), description, {}});
            totals.append(Money());
            entryFaulty.append(false);
        }
        ImportEntry& entry = result.entries[*it];
        if (date && period && (*date != entry.date || description != entry.description)) {
            problem(row, -1,
                QStringLiteral("The line's date or entry description differs from the entry's first line "
                               "(line %1).")
                    .arg(entry.fileLine));
            ok = false;
        }
        if (entry.lines.size() == MaxJournalLines && ok) {
            problem(
                row, -1, QStringLiteral("A journal entry can hold at most %1 lines.").arg(MaxJournalLines));
            ok = false;
        }
        if (!ok) {
            entryFaulty[*it] = true;
            continue;
        }
        entry.lines.append({row.line, found->id, lineDescription, *amount});
        totals[*it] += *amount; // at most 100 lines of 900 000 000 each: no overflow
    }
    // An entry whose lines all passed must balance; one with faulty lines is reported by them.
    for (qsizetype e = 0; e < result.entries.size(); ++e)
        if (!entryFaulty[e] && !totals[e].isZero())
            result.problems.append({result.entries[e].fileLine, QString(), totals[e].toString(),
                QStringLiteral("Journal total not 0.")});
    std::stable_sort(result.problems.begin(), result.problems.end(),
        [](const ImportProblem& a, const ImportProblem& b) { return a.line < b.line; });
    if (result.lineCount == 0)
        result.problems.append(
            {0, QString(), QString(), QStringLiteral("The file holds no journal entry lines.")});
    if (progress)
        progress(total, total);
    return result;
}
