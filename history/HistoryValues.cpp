#include "history/HistoryValues.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QSet>
#include <cmath>

namespace {
QJsonObject parsed(const QString& json)
{
    return json.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(json.toUtf8()).object();
}

// Amounts are recorded as strings, exactly; numbers are ids and counts.
QString shown(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::String:
        return v.toString();
    case QJsonValue::Double: {
        const double d = v.toDouble();
        return d == std::floor(d) ? QString::number(v.toInteger()) : QString::number(d, 'g', 17);
    }
    case QJsonValue::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default:
        return {};
    }
}
}

QList<HistoryFieldChange> compareHistoryValues(const QString& beforeJson, const QString& afterJson)
{
    const QJsonObject before = parsed(beforeJson);
    const QJsonObject after = parsed(afterJson);
    QStringList fields = before.keys();
    for (const QString& key : after.keys())
        if (!before.contains(key))
            fields << key;
    fields.sort();
    QList<HistoryFieldChange> result;
    for (const QString& field : fields) {
        const QJsonValue b = before.value(field);
        const QJsonValue a = after.value(field);
        result.append({field, shown(b), shown(a), before.contains(field) != after.contains(field) || b != a});
    }
    return result;
}
