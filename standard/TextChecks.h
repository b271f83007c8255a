#pragma once
// The checks of typed text that need no window: the journal's line checks use them as they
// are, the window checks of Validation.h show their message and focus the box.
#include "standard/Money.h"

#include <QString>
#include <QStringList>

// Words and characters that may not appear in names the web site shares.
extern const QStringList invalids;

bool ToetsText(
    const QString& Text, int RequiredLength, bool TestOnlynumbers, bool TestInvalids, bool TestDeadSpace);
bool ToetsGetal(const QString& Getal, bool AllowNul, bool AllowNegative);
QString ToetsGeld(const QString& Geld, bool AllowNul, bool AllowNegative, const Money& Max);
QString InvalidWords(const QString& Teks);
// The most characters a description stored in a TEXT column may have: its 65 535 bytes
// hold that many in any script (four bytes a character at most).
inline constexpr int MaxTextColumnCharacters = 16000;
// Line breaks, tabs, NUL and the like, which a one-line box never holds.
bool hasControlCharacters(const QString& text);
