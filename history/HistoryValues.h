#pragma once
#include <QList>
#include <QString>

// One field of a recorded row, before and after the change, as text (empty for none).
struct HistoryFieldChange {
    QString field;
    QString before;
    QString after;
    bool changed = false;
};

// The fields of a change history record from its JSON values (either may be empty: an
// insert has no before, a delete no after), in field name order; a field counts as changed
// when its value differs, or exists on one side only.
QList<HistoryFieldChange> compareHistoryValues(const QString& beforeJson, const QString& afterJson);
