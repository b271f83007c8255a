#include "standard/Validation.h"

#include "standard/LabeledEdit.h"
#include "standard/Standard.h"

#include <QRegularExpression>
#include <QTabWidget>

const QStringList invalids = {QStringLiteral("|"),     QStringLiteral("listnames"),
                              QStringLiteral("newfault"), QStringLiteral("<"),
                              QStringLiteral(">"),     QStringLiteral("clear"),
                              QStringLiteral("no name specified")};

namespace {
bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// The standard decimal conversion to a 32-bit integer: an optional sign and ASCII digits,
// nothing else (no blanks, no hexadecimal, no exponent).
bool toInt32(const QString& text, qint32& out)
{
    if (text.isEmpty() || text.size() > 12)
        return false;
    int i = 0;
    if (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+'))
        i = 1;
    if (i >= text.size())
        return false;
    for (int k = i; k < text.size(); ++k)
        if (!isAsciiDigit(text[k]))
            return false;
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    if (!ok || v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
        return false;
    out = qint32(v);
    return true;
}

void focusBox(LabeledEdit* edit, QTabWidget* Page, QWidget* Sheet, bool switchFirst)
{
    if (switchFirst && Page && Sheet)
        Page->setCurrentWidget(Sheet);
    edit->setFocus();
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

bool ToetsText(const QString& Text, int RequiredLength, bool TestOnlynumbers, bool TestInvalids,
               bool TestDeadSpace)
{
    if (Text.size() < RequiredLength)
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
    lines << QStringLiteral("The value you supplied for ") + edit->editLabel()->text() +
                 QStringLiteral(" is not valid.");
    lines << QStringLiteral(" -  The value must contain at least ") + QString::number(RequiredLength) +
                 QStringLiteral(" characters and not any leading zeros or spaces.");
    if (TestOnlynumbers)
        lines << QStringLiteral(" -  The value must contain only numbers.");
    const QString found = InvalidWords(text);
    if (TestInvalids && !found.isEmpty())
        lines << QStringLiteral(" -  The value contains the following invalid words/characters: ") + found;
    if (Page && Sheet)
        Page->setCurrentWidget(Sheet);
    Boodskap(lines.join(QLatin1Char('\r')), false);
    focusBox(edit, Page, Sheet, false);
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
    if (Page && Sheet)
        Page->setCurrentWidget(Sheet);
    Boodskap(QStringLiteral("The value you supplied for ") + Getal->editLabel()->text() +
                 QStringLiteral(" is not valid."),
             false);
    focusBox(Getal, Page, Sheet, false);
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
    if (*value < -Max || *value > Max)
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
    static const QRegularExpression pattern(
        QStringLiteral("^[A-Z0-9._%+-]+@[A-Z0-9.-]+\\.[A-Z]{2,6}$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    if (pattern.match(edit->text()).hasMatch())
        return true;
    Boodskap(QStringLiteral("Email address supplied invalid."), false);
    focusBox(edit, Page, Sheet, true);
    return false;
}
