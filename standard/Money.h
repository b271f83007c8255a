#pragma once
#include <QString>
#include <optional>
#include <stdexcept>

// The program's one money type: a signed fixed-point amount with four decimal places,
// held in 128 bits so that sums over very large books cannot overflow in practice;
// every operation still checks and throws MoneyOverflow rather than wrap.
class MoneyOverflow : public std::overflow_error {
public:
    MoneyOverflow() : std::overflow_error("Money amount out of range") { }
};

class Money {
public:
    static constexpr int Decimals = 4;
    static constexpr __int128 Scale = 10000;

    constexpr Money() = default;
    static Money fromUnits(__int128 units)
    {
        Money m;
        m.m_units = units;
        return m;
    }
    static Money fromInt(long long whole);

    // Text in the default QLocale's decimal separator (what the user types and sees).
    static std::optional<Money> parse(const QString& text);
    // Text as the database writes and reads DECIMAL values ("." separator).
    static std::optional<Money> parseDb(const QString& text);
    // The same from the client library's raw bytes, for results too large for a QString each.
    static std::optional<Money> parseDb(const char* text, qsizetype length);
    static std::optional<Money> parseWith(const QString& text, QChar decimalSeparator);
    // The separator parse() and toString() use: the default locale's, or the point for a
    // locale whose separator is not one character (none that Qt knows).
    static QChar decimalSeparator();

    // Shortest form, up to four decimals, no thousands separators, locale separator.
    QString toString() const;
    // At most maxDecimals (0 to 4) decimals, further ones cut off, trailing zeros dropped.
    QString toString(int maxDecimals) const;
    // toString() with the separator asked once by a caller that writes many figures.
    QString toString(QChar separator) const { return format(separator, Decimals); }
    QString toDbString() const;
    // As a column of figures shows it: the locale's thousands grouping and two decimals,
    // four when the value has more than two ("2,750.50", "-0.1234"). For display only.
    QString toDisplayString() const;

    __int128 units() const { return m_units; }
    bool isZero() const { return m_units == 0; }
    bool isNegative() const { return m_units < 0; }
    // True when the third or fourth decimal is not zero.
    bool hasMoreThanTwoDecimals() const { return m_units % 100 != 0; }

    Money operator+(const Money& o) const;
    Money operator-(const Money& o) const;
    Money operator-() const;
    Money& operator+=(const Money& o) { return *this = *this + o; }
    Money& operator-=(const Money& o) { return *this = *this - o; }
    auto operator<=>(const Money& o) const = default;
    bool operator==(const Money& o) const = default;

private:
    QString format(QChar separator, int maxDecimals) const;
    __int128 m_units = 0;
};
