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
