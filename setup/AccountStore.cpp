#include "setup/AccountStore.h"

#include "db/Query.h"

bool AccountStore::companyHasAccounts(int companyId)
{
    Query q;
    q.setSql({QStringLiteral("SELECT `object id`"), QStringLiteral("FROM accounts, `cost centres`"),
        QStringLiteral("WHERE"), QStringLiteral("(accounts.`cost centre id` = `cost centres`.id)"),
        QStringLiteral("and (`cost centres`.`company id` = :company)"), QStringLiteral("LIMIT 1")});
    q.bind(QStringLiteral("company"), companyId);
    q.open();
    return !q.isEmpty();
}

QList<AccountRow> AccountStore::ofCompany(int companyId)
{
    Query q;
    q.setSql({QStringLiteral("SELECT accounts.id, `account description`, `cost centre number`, "
                             "`cost centre description`, `object number`"),
        QStringLiteral("FROM accounts, `cost centres`, objects"), QStringLiteral("WHERE"),
        QStringLiteral("(`cost centres`.id = accounts.`cost centre id`)"),
        QStringLiteral("and (objects.id = accounts.`object id`)"),
        QStringLiteral("and (`cost centres`.`company id` = :company)")});
    q.bind(QStringLiteral("company"), companyId);
    q.open();
    const int id = q.fieldIndex(QStringLiteral("id"));
    const int account = q.fieldIndex(QStringLiteral("account description"));
    const int centre = q.fieldIndex(QStringLiteral("cost centre number"));
    const int centreText = q.fieldIndex(QStringLiteral("cost centre description"));
    const int object = q.fieldIndex(QStringLiteral("object number"));
    QList<AccountRow> rows;
    rows.reserve(q.recordCount());
    for (int r = 0; r < q.recordCount(); ++r)
        rows.append({q.value(r, id).toInt(), q.value(r, centre).toInt(), q.value(r, centreText).toString(),
            q.value(r, object).toInt(), q.value(r, account).toString()});
    return rows;
}

std::optional<int> AccountStore::objectIdOfNumber(int number)
{
    const std::optional<QVariant> id
        = Query::firstValue({QStringLiteral("SELECT id FROM objects WHERE `object number` = :number")},
            {{QStringLiteral("number"), number}}, QStringLiteral("id"));
    return id ? std::optional<int>(id->toInt()) : std::nullopt;
}

QList<ComboItem> AccountStore::costCentresOf(int companyId)
{
    Query q;
    q.setSql({QStringLiteral("SELECT id, `cost centre description` FROM `cost centres` WHERE"),
        QStringLiteral("(`company id` = :company)"), QStringLiteral("ORDER BY `cost centre number`")});
    q.bind(QStringLiteral("company"), companyId);
    q.open();
    QList<ComboItem> items;
    for (q.first(); !q.eof(); q.next())
        items.append(
            {q.asInteger(QStringLiteral("id")), q.asString(QStringLiteral("cost centre description"))});
    return items;
}

namespace {
// The accounts of one object in one company, with their cost centre, object and company.
const QStringList objectAccountsFrom{QStringLiteral("FROM objects, `cost centres`, accounts, companies"),
    QStringLiteral("WHERE (objects.id = :object)"), QStringLiteral("and (`company id` = :company)")};
const QStringList objectAccountsJoin{QStringLiteral("and (accounts.`cost centre id` = `cost centres`.id)"),
    QStringLiteral("and (accounts.`object id` = objects.id)"),
    QStringLiteral("and (`cost centres`.`company id` = companies.id)")};
}

ListStatement AccountStore::listOf(int objectId, int companyId)
{
    return {QStringList{QStringLiteral(
                "SELECT accounts.id, `object number`, `object description`, `cost centre number`, "
                "`cost centre id`, `object id`, `cost centre description`, `company name`, "
                "`account description`")}
            + objectAccountsFrom + objectAccountsJoin
            + QStringList{QStringLiteral("ORDER BY `cost centre number`")},
        {{QStringLiteral("object"), objectId}, {QStringLiteral("company"), companyId}}};
}

bool AccountStore::accountTaken(int objectId, int companyId, int costCentreId, std::optional<int> exceptId)
{
    QStringList sql = QStringList{QStringLiteral("SELECT accounts.id")} + objectAccountsFrom
        + QStringList{QStringLiteral("and (`cost centre id` = :centre)")} + objectAccountsJoin;
    Bindings bindings{{QStringLiteral("object"), objectId}, {QStringLiteral("company"), companyId},
        {QStringLiteral("centre"), costCentreId}};
    if (exceptId) {
        sql << QStringLiteral("and (accounts.id <> :except)");
        bindings.append({QStringLiteral("except"), *exceptId});
    }
    return Query::firstValue(sql, bindings, QStringLiteral("id")).has_value();
}

bool AccountStore::isStoredAs(int id, int costCentreId, int objectId, const QString& description)
{
    return Query::firstValue(
        {QStringLiteral("SELECT id FROM accounts WHERE (id = :id) and (`cost centre id` = :centre)"),
            QStringLiteral("and (`object id` = :object) and (BINARY `account description` = :description)")},
        {{QStringLiteral("id"), id}, {QStringLiteral("centre"), costCentreId},
            {QStringLiteral("object"), objectId}, {QStringLiteral("description"), description}},
        QStringLiteral("id"))
        .has_value();
}
