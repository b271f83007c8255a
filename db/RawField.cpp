#include "db/RawField.h"

#include "db/DbError.h"

namespace {
[[noreturn]] void unexpected(const char* what, const char* field, unsigned long length)
{
    throw DbError(QStringLiteral("Unexpected %1 from the server: %2")
                      .arg(QLatin1String(what), QLatin1String(field, qsizetype(length))));
}

int digits(const char* field, int from, int count)
{
    int v = 0;
    for (int i = from; i < from + count; ++i)
        v = v * 10 + (field[i] - '0');
    return v;
}
}

QByteArrayView RawField::bytes(const char* field, unsigned long length)
{
    return field ? QByteArrayView(field, qsizetype(length)) : QByteArrayView();
}

QString RawField::text(const char* field, unsigned long length)
{
    return field ? QString::fromUtf8(field, qsizetype(length)) : QString();
}

qint64 RawField::number(const char* field, unsigned long length)
{
    qint64 v = 0;
    for (unsigned long i = 0; field && i < length; ++i) {
        if (field[i] < '0' || field[i] > '9')
            unexpected("number", field, length);
        v = v * 10 + (field[i] - '0');
    }
    return v;
}

Money RawField::money(const char* field, unsigned long length)
{
    if (!field)
        return Money();
    const std::optional<Money> m = Money::parseDb(field, qsizetype(length));
    if (!m)
        unexpected("amount", field, length);
    return *m;
}

int RawField::dateKey(const char* field, unsigned long length)
{
    if (!field || length != 10)
        unexpected("date", field ? field : "", field ? length : 0);
    return digits(field, 0, 4) * 10000 + digits(field, 5, 2) * 100 + digits(field, 8, 2);
}

QDate RawField::date(const char* field, unsigned long length)
{
    if (!field)
        return {};
    const int key = dateKey(field, length);
    return QDate(key / 10000, key / 100 % 100, key % 100);
}
