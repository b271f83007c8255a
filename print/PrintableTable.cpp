#include "print/PrintableTable.h"

#include "standard/Dates.h"

#include <QDateTime>

QStringList printHeaderLines(
    const QString& company, const QString& year, const QString& period, const QDateTime& printed)
{
    QStringList lines{QStringLiteral("Company: ") + company, QStringLiteral("Financial year: ") + year};
    if (!period.isEmpty())
        lines << QStringLiteral("Period: ") + period;
    lines << QStringLiteral("Printed: ") + DateToMyString(printed.date()) + QLatin1Char(' ')
            + printed.time().toString(QStringLiteral("HH:mm"));
    return lines;
}
