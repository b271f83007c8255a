#include "standard/Money.h"

#include <QLocale>
#include <limits>

namespace {
constexpr __int128 kMax = std::numeric_limits<__int128>::max();
constexpr __int128 kMin = std::numeric_limits<__int128>::min();
// Parsing is limited to this many digits so that the accumulation cannot overflow.
constexpr int kMaxIntegerDigits = 30;
}

Money Money::fromInt(long long whole)
{
    return fromUnits(static_cast<__int128>(whole) * Scale);
}

std::optional<Money> Money::parse(const QString& text)
{
    return parseWith(text, QLocale().decimalPoint().at(0));
}

std::optional<Money> Money::parseDb(const QString& text)
{
    return parseWith(text, QLatin1Char('.'));
}

std::optional<Money> Money::parseWith(const QString& text, QChar sep)
{
    // Accepts an optional sign, ASCII digits and at most one separator; at most four
    // decimals. No blanks, exponents, thousands separators or other digit scripts.
    const int n = int(text.size());
    int i = 0;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    __int128 whole = 0;
    int intDigits = 0, fracDigits = 0;
    __int128 frac = 0;
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
        if (seenSep) {
            if (++fracDigits > Decimals)
                return std::nullopt;
            frac = frac * 10 + d;
        } else {
            if (++intDigits > kMaxIntegerDigits)
                return std::nullopt;
            whole = whole * 10 + d;
        }
    }
    if (intDigits + fracDigits == 0)
        return std::nullopt;
    for (int k = fracDigits; k < Decimals; ++k)
        frac *= 10;
    __int128 units = whole * Scale + frac;
    return fromUnits(negative ? -units : units);
}

QString Money::format(QChar sep, int maxDecimals) const
{
    const bool neg = m_units < 0;
    // Work on the unsigned magnitude so that the most negative value formats too.
    unsigned __int128 mag = neg ? static_cast<unsigned __int128>(-(m_units + 1)) + 1
                                : static_cast<unsigned __int128>(m_units);
    unsigned __int128 whole = mag / Scale;
    int frac = int(mag % Scale);
    for (int k = Decimals; k > maxDecimals; --k)
        frac /= 10;
    int fracDigits = maxDecimals;
    while (fracDigits > 0 && frac % 10 == 0) {
        frac /= 10;
        --fracDigits;
    }
    QString digits;
    do {
        digits.prepend(QChar(char('0' + int(whole % 10))));
        whole /= 10;
    } while (whole != 0);
    QString out;
    if (neg && (mag != 0))
        out += QLatin1Char('-');
    out += digits;
    if (fracDigits > 0) {
        out += sep;
        out += QString::number(frac).rightJustified(fracDigits, QLatin1Char('0'));
    }
    return out;
}

QString Money::toString() const
{
    return format(QLocale().decimalPoint().at(0), Decimals);
}

QString Money::toString(int maxDecimals) const
{
    return format(QLocale().decimalPoint().at(0), maxDecimals);
}

QString Money::toDbString() const
{
    return format(QLatin1Char('.'), Decimals);
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
    (void)kMax;
    return fromUnits(-m_units);
}
