#include "standard/Money.h"

#include <QLocale>
#include <algorithm>
#include <limits>

namespace {
constexpr __int128 kMin = std::numeric_limits<__int128>::min();
}

QChar Money::decimalSeparator()
{
    const QString sep = QLocale().decimalPoint();
    return sep.size() == 1 ? sep.at(0) : QLatin1Char('.');
}

Money Money::fromInt(long long whole) { return fromUnits(static_cast<__int128>(whole) * Scale); }

std::optional<Money> Money::parse(const QString& text) { return parseWith(text, decimalSeparator()); }

std::optional<Money> Money::parseDb(const QString& text) { return parseWith(text, QLatin1Char('.')); }

namespace {
// The parse of parseWith over any text whose characters convert to QChar (a QString, or
// the server's Latin-1 bytes read without a QString per value).
template <class Text>
std::optional<Money> parseText(const Text& text, QChar sep)
{
    // Accepts an optional ASCII sign, ASCII digits and at most one separator, with at least
    // one digit and at most four decimals. No blanks, exponents, thousands separators or
    // other digit scripts. Digits accumulate into the magnitude in units with a check at
    // every step, so no text, however long, can wrap around.
    const qsizetype n = text.size();
    qsizetype i = 0;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    __int128 whole = 0;
    __int128 frac = 0;
    int digits = 0, fracDigits = 0;
    bool seenSep = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c == sep && !seenSep) {
            seenSep = true;
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        const int d = c.unicode() - '0';
        ++digits;
        if (seenSep) {
            if (++fracDigits > Money::Decimals)
                return std::nullopt;
            frac = frac * 10 + d;
        } else if (__builtin_mul_overflow(whole, 10, &whole) || __builtin_add_overflow(whole, d, &whole)) {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    for (int k = fracDigits; k < Money::Decimals; ++k)
        frac *= 10;
    __int128 units;
    if (__builtin_mul_overflow(whole, Money::Scale, &units) || __builtin_add_overflow(units, frac, &units))
        return std::nullopt;
    return Money::fromUnits(negative ? -units : units);
}
}

std::optional<Money> Money::parseWith(const QString& text, QChar sep) { return parseText(text, sep); }

std::optional<Money> Money::parseDb(const char* text, qsizetype length)
{
    return parseText(QLatin1String(text, length), QLatin1Char('.'));
}

QString Money::format(QChar sep, int maxDecimals) const
{
    const bool neg = m_units < 0;
    // Work on the unsigned magnitude so that the most negative value formats too.
    unsigned __int128 mag
        = neg ? static_cast<unsigned __int128>(-(m_units + 1)) + 1 : static_cast<unsigned __int128>(m_units);
    unsigned __int128 whole = mag / Scale;
    int frac = int(mag % Scale);
    maxDecimals = std::clamp(maxDecimals, 0, Decimals);
    for (int k = Decimals; k > maxDecimals; --k)
        frac /= 10;
    int fracDigits = maxDecimals;
    while (fracDigits > 0 && frac % 10 == 0) {
        frac /= 10;
        --fracDigits;
    }
    const bool showsZero = whole == 0 && frac == 0;
    // Written backwards into one buffer: a trial balance formats some 150 000 figures per
    // refresh, and a string grown digit by digit cost most of building its cells.
    char16_t buffer[64];
    int at = 64;
    if (fracDigits > 0) {
        for (int k = 0; k < fracDigits; ++k, frac /= 10)
            buffer[--at] = char16_t(u'0' + frac % 10);
        buffer[--at] = sep.unicode();
    }
    if (whole <= std::numeric_limits<quint64>::max()) {
        quint64 small = quint64(whole);
        do
            buffer[--at] = char16_t(u'0' + small % 10);
        while ((small /= 10) != 0);
    } else {
        do
            buffer[--at] = char16_t(u'0' + int(whole % 10));
        while ((whole /= 10) != 0);
    }
    // No minus sign on a value that shows as zero once its decimals are cut.
    if (neg && !showsZero)
        buffer[--at] = u'-';
    return QString(reinterpret_cast<const QChar*>(buffer + at), 64 - at);
}

QString Money::toString() const { return format(decimalSeparator(), Decimals); }

QString Money::toString(int maxDecimals) const { return format(decimalSeparator(), maxDecimals); }

QString Money::toDbString() const { return format(QLatin1Char('.'), Decimals); }

QString Money::toDisplayString() const
{
    const QChar sep = decimalSeparator();
    const QString plain = format(sep, Decimals);
    const bool neg = plain.startsWith(QLatin1Char('-'));
    const qsizetype point = plain.indexOf(sep);
    const QString whole = plain.mid(neg ? 1 : 0, point < 0 ? -1 : point - (neg ? 1 : 0));
    QString decimals = point < 0 ? QString() : plain.mid(point + 1);
    decimals = decimals.leftJustified(decimals.size() > 2 ? Decimals : 2, QLatin1Char('0'));
    const QString group = QLocale().groupSeparator();
    QString grouped;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += group;
        grouped += whole.at(i);
    }
    return (neg ? QStringLiteral("-") : QString()) + grouped + sep + decimals;
}

Money Money::operator+(const Money& o) const
{
    __int128 r;
    if (__builtin_add_overflow(m_units, o.m_units, &r))
        throw MoneyOverflow();
    return fromUnits(r);
}

Money Money::operator-(const Money& o) const
{
    __int128 r;
    if (__builtin_sub_overflow(m_units, o.m_units, &r))
        throw MoneyOverflow();
    return fromUnits(r);
}

Money Money::operator-() const
{
    if (m_units == kMin)
        throw MoneyOverflow();
    return fromUnits(-m_units);
}
