#pragma once
#include <QString>

// One entry of a drop-down list: the row's id and the text shown for it.
struct ComboItem {
    int id = 0;
    QString text;
};
