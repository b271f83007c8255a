#pragma once
#include "standard/Money.h"

#include <QString>
#include <QStringList>

class LabeledEdit;
class QTabWidget;
class QWidget;

// Words and characters that may not appear in names the web site shares.
extern const QStringList invalids;

bool ToetsText(
    const QString& Text, int RequiredLength, bool TestOnlynumbers, bool TestInvalids, bool TestDeadSpace);
bool ToetsText(LabeledEdit* edit, int RequiredLength, bool TestOnlynumbers, bool TestInvalids,
    bool TestDeadSpace, QTabWidget* Page = nullptr, QWidget* Sheet = nullptr);
bool ToetsGetal(const QString& Getal, bool AllowNul, bool AllowNegative);
bool ToetsGetal(LabeledEdit* Getal, bool AllowNul, bool AllowNegative, QTabWidget* Page = nullptr,
    QWidget* Sheet = nullptr);
QString ToetsGeld(const QString& Geld, bool AllowNul, bool AllowNegative, const Money& Max);
bool ToetsEmail(LabeledEdit* edit, int RequiredLength, bool TestOnlynumbers, bool TestInvalids,
    bool TestDeadSpace, QTabWidget* Page = nullptr, QWidget* Sheet = nullptr);
QString InvalidWords(const QString& Teks);
