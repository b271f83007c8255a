#include "context/BookStores.h"

#include "context/Conditions.h"
#include "context/UserCompanies.h"
#include "db/Query.h"

namespace {
QList<ComboItem> items(Query& q, const QString& text)
{
    QList<ComboItem> result;
    for (q.first(); !q.eof(); q.next())
        result.append({q.asInteger(QStringLiteral("id")), q.asString(text)});
    return result;
}

// Opens the statement on q, its rows locked until the transaction ends when locking.
void openLocking(Query& q, QStringList sql, const Bindings& bindings, bool locking)
{
    if (locking)
        sql << QStringLiteral("FOR UPDATE");
    q.setSql(sql);
    for (const auto& [name, value] : bindings)
        q.bind(name, value);
    q.open();
}
}

QList<ComboItem> CompanyStore::listedFor(int userId)
{
    Query q;
    q.open(userCompaniesSql(userId));
    return items(q, QStringLiteral("company name"));
}

QList<ComboItem> YearStore::listedFor(const QList<int>& companyIds)
{
    Query q;
    QStringList sql{
        QStringLiteral("SELECT `financial years`.`id`, `financial year description`, `company name`, "
                       "CONCAT(`company name`, \" - \", `financial year description`) AS `full description`"),
        QStringLiteral("FROM `financial years`, `companies` WHERE"),
        QStringLiteral("(companies.id = `financial years`.`company id`)")};
    sql << idCondition(QStringLiteral("`company id`"), companyIds);
    sql << QStringLiteral("ORDER BY `id`");
    q.open(sql);
    return items(q, QStringLiteral("full description"));
}

bool CompanyStore::nameTaken(const QString& name, std::optional<int> exceptId)
{
    return rowExists(QStringLiteral("companies"), {{QStringLiteral("company name"), name}}, exceptId);
}

namespace {
void countSave(int companyId, const QString& counter)
{
    Query::execute(QStringLiteral("UPDATE companies SET `%1` = `%1` + 1 WHERE id = :company").arg(counter),
        {{QStringLiteral(":company"), companyId}});
}
}

void CompanyStore::countYearSave(int companyId) { countSave(companyId, QStringLiteral("years saved")); }

void CompanyStore::countEntrySave(int companyId) { countSave(companyId, QStringLiteral("entries saved")); }

void CompanyStore::lock(int companyId)
{
    Query::firstValue({QStringLiteral("SELECT id FROM companies WHERE id = :company FOR UPDATE")},
        {{QStringLiteral("company"), companyId}}, QStringLiteral("id"));
}

std::optional<int> YearStore::savedUnderKey(const QString& saveKey)
{
    return rowIdWhere(
        QStringLiteral("financial years"), {{QStringLiteral("save key"), saveKey}}, std::nullopt);
}

std::optional<FinancialYearRecord> YearStore::record(int yearId)
{
    Query q;
    q.setSql(
        {QStringLiteral("SELECT `financial year description`, `last day of financial year`, `company id`"),
            QStringLiteral("FROM `financial years` WHERE id = :year")});
    q.bind(QStringLiteral("year"), yearId);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    return FinancialYearRecord{q.asInteger(QStringLiteral("company id")),
        q.asString(QStringLiteral("financial year description")),
        q.asDate(QStringLiteral("last day of financial year"))};
}

bool YearStore::descriptionTaken(int companyId, const QString& description, std::optional<int> exceptId)
{
    return rowExists(QStringLiteral("financial years"),
        {{QStringLiteral("company id"), companyId},
            {QStringLiteral("financial year description"), description}},
        exceptId);
}

std::optional<QDate> YearStore::latestYearEnd(int companyId, bool locking)
{
    QStringList sql{QStringLiteral("SELECT `id`, `last day of financial year` FROM `financial years` WHERE"),
        QStringLiteral("(`company id` = :company)"),
        QStringLiteral("ORDER BY `last day of financial year` ASC")};
    Query q;
    openLocking(q, sql, {{QStringLiteral("company"), companyId}}, locking);
    if (q.isEmpty())
        return std::nullopt;
    q.last();
    return q.asDate(QStringLiteral("last day of financial year"));
}

std::optional<int> YearStore::previousYear(int yearId)
{
    const std::optional<QVariant> id = Query::firstValue(
        {QStringLiteral("SELECT earlier.id FROM `financial years` earlier, `financial years` chosen WHERE"),
            QStringLiteral("(chosen.id = :year) and (earlier.`company id` = chosen.`company id`)"),
            QStringLiteral("and (earlier.`last day of financial year` < COALESCE((SELECT MIN(`start date`) "
                           "FROM `financial periods` WHERE (`financial year id` = chosen.id) and "
                           "(`period deleted` = 'No')), chosen.`last day of financial year`))"),
            QStringLiteral("ORDER BY earlier.`last day of financial year` DESC LIMIT 1")},
        {{QStringLiteral("year"), yearId}}, QStringLiteral("id"));
    if (!id || id->isNull())
        return std::nullopt;
    return id->toInt();
}

std::optional<QDate> YearStore::firstOverlappingDay(
    int companyId, int yearId, QDate start, QDate end, bool locking)
{
    QStringList sql{QStringLiteral("SELECT MIN(p.`start date`) AS `first day` FROM `financial periods` p, "
                                   "`financial years` y WHERE"),
        QStringLiteral("(y.id = p.`financial year id`) and (y.`company id` = :company) and (y.id <> :year)"),
        QStringLiteral(
            "and (p.`period deleted` = 'No') and (p.`start date` <= :end) and (p.`end date` >= :start)")};
    Query q;
    openLocking(q, sql,
        {{QStringLiteral("company"), companyId}, {QStringLiteral("year"), yearId},
            {QStringLiteral("start"), start}, {QStringLiteral("end"), end}},
        locking);
    if (q.isEmpty() || q.isNull(QStringLiteral("first day")))
        return std::nullopt;
    return q.asDate(QStringLiteral("first day"));
}

QList<FinancialPeriodRecord> YearStore::periodsOf(int yearId, bool locking)
{
    QStringList sql{QStringLiteral("SELECT * FROM `financial periods` WHERE (`financial year id` = :year)"),
        QStringLiteral("ORDER BY `period number`")};
    Query q;
    openLocking(q, sql, {{QStringLiteral("year"), yearId}}, locking);
    QList<FinancialPeriodRecord> periods;
    for (q.first(); !q.eof(); q.next())
        periods.append({q.asInteger(QStringLiteral("id")), q.asInteger(QStringLiteral("period number")),
            q.asDate(QStringLiteral("start date")), q.asDate(QStringLiteral("end date")),
            q.asString(QStringLiteral("period description")), q.asString(QStringLiteral("period open")),
            q.asString(QStringLiteral("period deleted"))});
    return periods;
}

ListStatement YearStore::listOf(int companyId)
{
    return {{QStringLiteral("SELECT `financial years`.`id`, `financial year description`, "
                            "`last day of financial year`, `company name`"),
                QStringLiteral("FROM `financial years`, `companies` WHERE"),
                QStringLiteral("(`company id` = :company)"),
                QStringLiteral("and (companies.id = `financial years`.`company id`)"),
                QStringLiteral("ORDER BY `id`")},
        {{QStringLiteral("company"), companyId}}};
}
