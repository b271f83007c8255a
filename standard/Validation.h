#pragma once
#include "standard/TextChecks.h"

class LabeledEdit;
class QTabWidget;
class QWidget;

bool ToetsText(LabeledEdit* edit, int RequiredLength, bool TestOnlynumbers, bool TestInvalids,
    bool TestDeadSpace, QTabWidget* Page = nullptr, QWidget* Sheet = nullptr);
bool ToetsGetal(LabeledEdit* Getal, bool AllowNul, bool AllowNegative, QTabWidget* Page = nullptr,
    QWidget* Sheet = nullptr);
bool ToetsEmail(LabeledEdit* edit, int RequiredLength, bool TestOnlynumbers, bool TestInvalids,
    bool TestDeadSpace, QTabWidget* Page = nullptr, QWidget* Sheet = nullptr);
