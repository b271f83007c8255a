#include "standard/TextChecks.h"

#include <algorithm>
#include <limits>

const QStringList invalids = {QStringLiteral("|"), QStringLiteral("listnames"), QStringLiteral("newfault"),
    QStringLiteral("<"), QStringLiteral(">"), QStringLiteral("clear"), QStringLiteral("no name specified")};

namespace {
bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// The standard decimal conversion to a 32-bit integer: an optional sign and ASCII digits,
// nothing else (no blanks, no hexadecimal, no exponent, no other digit scripts).
bool toInt32(const QString& text, qint32& out)
{
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text[0] == QLatin1Char('-');
    if (!text.isEmpty() && (negative || text[0] == QLatin1Char('+')))
        i = 1;
    if (i >= text.size())
        return false;
    // Accumulated as a magnitude; the limit is one more on the negative side.
    const qint64 limit
        = negative ? -qint64(std::numeric_limits<qint32>::min()) : qint64(std::numeric_limits<qint32>::max());
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        if (!isAsciiDigit(text[i]))
            return false;
        value = value * 10 + (text[i].unicode() - '0');
        if (value > limit)
            return false;
    }
    out = qint32(negative ? -value : value);
    return true;
}

}

// A box holds one line: a pasted line break, tab or NUL would store a value that looks
// like another one ("Acme" and "Acme" with a line break) or cuts the text short elsewhere.
bool hasControlCharacters(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph;
    });
}

QString InvalidWords(const QString& Teks)
{
    QString result;
    const QString lower = Teks.toLower();
    for (const QString& entry : invalids) {
        if (!lower.contains(entry.toLower()) || result.toLower().contains(entry.toLower()))
            continue;
        result += result.isEmpty() ? entry : QStringLiteral(", ") + entry;
    }
    return result;
}

bool ToetsText(
    const QString& Text, int RequiredLength, bool TestOnlynumbers, bool TestInvalids, bool TestDeadSpace)
{
    // Characters as the database counts them: an emoji is one, not two.
    if (Text.toUcs4().size() < RequiredLength || hasControlCharacters(Text))
        return false;
    bool result = true;
    if (TestOnlynumbers)
        for (const QChar c : Text)
            if (!isAsciiDigit(c))
                result = false;
    if (TestInvalids && !InvalidWords(Text).isEmpty())
        result = false;
    if (TestDeadSpace) {
        if (Text.contains(QLatin1Char(' ')))
            result = false;
        if (!Text.isEmpty() && Text[0] == QLatin1Char('0'))
            result = false;
    }
    return result;
}

bool ToetsGetal(const QString& Getal, bool AllowNul, bool AllowNegative)
{
    qint32 n = 0;
    if (!toInt32(Getal, n))
        return false;
    if (n == 0 && !AllowNul)
        return false;
    if (n < 0 && !AllowNegative)
        return false;
    return true;
}

QString ToetsGeld(const QString& Geld, bool AllowNul, bool AllowNegative, const Money& Max)
{
    if (Geld.isEmpty() && AllowNul)
        return QStringLiteral("0");
    const auto value = Money::parse(Geld);
    if (!value)
        return {};
    const QString normal = value->toString(2);
    if (value->isZero() && !AllowNul)
        return {};
    // A negative Max admits nothing; testing that first keeps -Max from overflowing.
    if (Max.isNegative() || *value < -Max || *value > Max)
        return {};
    if (value->isNegative() && !AllowNegative)
        return {};
    if (value->hasMoreThanTwoDecimals())
        return {};
    return normal;
}
