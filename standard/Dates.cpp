#include "standard/Dates.h"

namespace {
[[noreturn]] void notADate(const QString& text)
{
    // A pasted text can be long; the message shows enough of it to recognise.
    const QString shown = text.size() > 40 ? text.left(40) + QStringLiteral("...") : text;
    throw DateConversionError(QStringLiteral("'%1' is not a valid date").arg(shown).toStdString());
}

// One part of a date read by position: ASCII digits only. A sign, a blank or a digit of
// another script is not part of dd/mm/yyyy and fails the whole date.
int toNumber(const QString& piece, const QString& whole)
{
    if (piece.isEmpty())
        notADate(whole);
    int value = 0;
    for (const QChar c : piece) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            notADate(whole);
        value = value * 10 + (c.unicode() - '0'); // at most four digits
    }
    return value;
}

QString twoDigits(int n) { return n < 10 ? QStringLiteral("0%1").arg(n) : QString::number(n); }

// The date an empty date field holds; a null QDate stands for it.
const QDate kZeroDate(1899, 12, 30);
QDate orZeroDate(const QDate& d) { return d.isValid() ? d : kZeroDate; }
}

QDate MyStringToDate(const QString& DateText)
{
    const int day = toNumber(DateText.mid(0, 2), DateText);
    const int month = toNumber(DateText.mid(3, 2), DateText);
    const int year = toNumber(DateText.mid(6, 4), DateText);
    // Year 0 does not exist in the calendar the program uses.
    if (year < 1 || !QDate::isValid(year, month, day))
        notADate(DateText);
    return QDate(year, month, day);
}

bool TestMyDate(const QString& DateText)
{
    try {
        MyStringToDate(DateText);
    } catch (const std::exception&) {
        return false;
    }
    return DateText.size() == 10 && DateText[2] == QLatin1Char('/') && DateText[5] == QLatin1Char('/');
}

QString DateToMyString(const QDate& DateToConvert)
{
    const QDate d = orZeroDate(DateToConvert);
    return twoDigits(d.day()) + QLatin1Char('/') + twoDigits(d.month()) + QLatin1Char('/')
        + QString::number(d.year());
}

QString DateToMySQLDate(const QDate& DateToConvert)
{
    const QDate d = orZeroDate(DateToConvert);
    return QString::number(d.year()) + QLatin1Char('-') + twoDigits(d.month()) + QLatin1Char('-')
        + twoDigits(d.day());
}

QString sqlDateLiteral(const QDate& date)
{
    return QLatin1Char('"') + DateToMySQLDate(date) + QLatin1Char('"');
}
