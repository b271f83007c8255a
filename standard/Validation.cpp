#include "standard/Validation.h"

#include "standard/LabeledEdit.h"
#include "standard/Standard.h"

#include <QRegularExpression>
#include <QTabWidget>

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

void showSheet(QTabWidget* Page, QWidget* Sheet)
{
    if (Page && Sheet)
        Page->setCurrentWidget(Sheet);
}

QString notValidLine(const LabeledEdit* edit)
{
    return QStringLiteral("The value you supplied for ") + edit->editLabel()->text()
        + QStringLiteral(" is not valid.");
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

bool isAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0x7F; });
}
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

bool ToetsText(LabeledEdit* edit, int RequiredLength, bool TestOnlynumbers, bool TestInvalids,
    bool TestDeadSpace, QTabWidget* Page, QWidget* Sheet)
{
    const QString text = edit->text();
    if (ToetsText(text, RequiredLength, TestOnlynumbers, TestInvalids, TestDeadSpace))
        return true;
    QStringList lines;
    lines << notValidLine(edit);
    lines << QStringLiteral(" -  The value must contain at least ") + QString::number(RequiredLength)
            + QStringLiteral(" characters and not any leading zeros or spaces.");
    if (TestOnlynumbers)
        lines << QStringLiteral(" -  The value must contain only numbers.");
    if (hasControlCharacters(text))
        lines << QStringLiteral(
            " -  The value may not contain line breaks, tabs or other control characters.");
    const QString found = InvalidWords(text);
    if (TestInvalids && !found.isEmpty())
        lines << QStringLiteral(" -  The value contains the following invalid words/characters: ") + found;
    showSheet(Page, Sheet);
    Boodskap(lines.join(QLatin1Char('\r')), false);
    edit->setFocus(Qt::OtherFocusReason);
    return false;
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

bool ToetsGetal(LabeledEdit* Getal, bool AllowNul, bool AllowNegative, QTabWidget* Page, QWidget* Sheet)
{
    if (ToetsGetal(Getal->text(), AllowNul, AllowNegative))
        return true;
    showSheet(Page, Sheet);
    Boodskap(notValidLine(Getal), false);
    Getal->setFocus(Qt::OtherFocusReason);
    return false;
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

bool ToetsEmail(LabeledEdit* edit, int RequiredLength, bool TestOnlynumbers, bool TestInvalids,
    bool TestDeadSpace, QTabWidget* Page, QWidget* Sheet)
{
    if (!ToetsText(edit, RequiredLength, TestOnlynumbers, TestInvalids, TestDeadSpace))
        return false;
    static const QRegularExpression pattern(QStringLiteral("^[A-Z0-9._%+-]+@[A-Z0-9.-]+\\.[A-Z]{2,6}$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    // The multi-line anchors would let one line of a pasted block pass for the whole text,
    // and case folding lets a few non-ASCII letters (the Kelvin sign, the long s) pass for
    // A to Z: an address is accepted only when the match is the whole text, all ASCII.
    const QString text = edit->text();
    const QRegularExpressionMatch match = pattern.match(text);
    if (match.hasMatch() && match.capturedStart() == 0 && match.capturedLength() == text.size()
        && isAscii(text))
        return true;
    Boodskap(QStringLiteral("Email address supplied invalid."), false);
    showSheet(Page, Sheet);
    edit->setFocus(Qt::OtherFocusReason);
    return false;
}
