#include "standard/Validation.h"

#include "standard/LabeledEdit.h"
#include "standard/Standard.h"

#include <QRegularExpression>
#include <QTabWidget>

#include <algorithm>

namespace {
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

bool isAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0x7F; });
}
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

bool ToetsGetal(LabeledEdit* Getal, bool AllowNul, bool AllowNegative, QTabWidget* Page, QWidget* Sheet)
{
    if (ToetsGetal(Getal->text(), AllowNul, AllowNegative))
        return true;
    showSheet(Page, Sheet);
    Boodskap(notValidLine(Getal), false);
    Getal->setFocus(Qt::OtherFocusReason);
    return false;
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
