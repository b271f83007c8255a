#pragma once
#include "standard/Money.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>

// The fields of a streamed row (Connection::stream) as the server sends them: text, null
// for NULL. Read in place rather than through QVariant, since a large read has millions.
// Each throws DbError on a value that is not of the form the server writes.
namespace RawField {
// The bytes (empty for NULL).
QByteArrayView bytes(const char* field, unsigned long length);
// The text, read as UTF-8 (empty for NULL).
QString text(const char* field, unsigned long length);
// A non-negative whole number such as an id or a count (0 for NULL).
qint64 number(const char* field, unsigned long length);
// An amount as a DECIMAL column sends it (0 for NULL).
Money money(const char* field, unsigned long length);
// A DATE ("yyyy-mm-dd") as the number yyyymmdd, which orders as the dates do.
int dateKey(const char* field, unsigned long length);
// A DATE (invalid for NULL).
QDate date(const char* field, unsigned long length);
}
