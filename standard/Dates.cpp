#include "standard/Dates.h"

namespace {
// Decimal conversion of a piece of the text: ASCII digits only, optionally signed.
int toNumber(const QString& piece, const QString& whole)
{
    bool ok = !piece.isEmpty();
    int value = 0;
    for (int i = 0; ok && i < piece.size(); ++i) {
        const QChar c = piece[i];
        if (i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+')) && piece.size() > 1)
            continue;
        ok = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    }
    if (ok)
        value = piece.toInt(&ok);
    if (!ok)
        throw DateConversionError(QStringLiteral("'%1' is not a valid date").arg(whole).toStdString());
    return value;
}

QString twoDigits(int n) { return n < 10 ? QStringLiteral("0%1").arg(n) : QString::number(n); }
}

QDate MyStringToDate(const QString& DateText)
{
    const int day = toNumber(DateText.mid(0, 2), DateText);
    const int month = toNumber(DateText.mid(3, 2), DateText);
    const int year = toNumber(DateText.mid(6, 4), DateText);
    // Years before 1 do not exist in the calendar the program uses.
    if (year < 1 || !QDate::isValid(year, month, day))
        throw DateConversionError(QStringLiteral("'%1' is not a valid date").arg(DateText).toStdString());
    return QDate(year, month, day);
}

bool TestMyDate(const QString& DateText)
{
    try {
        MyStringToDate(DateText);
    } catch (const DateConversionError&) {
        return false;
    }
    return DateText.size() == 10 && DateText[2] == QLatin1Char('/') && DateText[5] == QLatin1Char('/');
}

QString DateToMyString(const QDate& DateToConvert)
{
    return twoDigits(DateToConvert.day()) + QLatin1Char('/') + twoDigits(DateToConvert.month()) +
           QLatin1Char('/') + QString::number(DateToConvert.year());
}

QString DateToMySQLDate(const QDate& DateToConvert)
{
    return QString::number(DateToConvert.year()) + QLatin1Char('-') + twoDigits(DateToConvert.month()) +
           QLatin1Char('-') + twoDigits(DateToConvert.day());
}
