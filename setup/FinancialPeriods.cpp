#include "setup/FinancialPeriods.h"

#include "standard/Dates.h"
#include "standard/TextChecks.h"

QString PeriodRow::text(int column) const
{
    switch (column) {
    case StartDateColumn:
        return startDate;
    case EndDateColumn:
        return endDate;
    case DescriptionColumn:
        return description;
    case OpenColumn:
        return open;
    default:
        return {};
    }
}

bool PeriodRow::isEmpty() const
{
    return startDate.isEmpty() && endDate.isEmpty() && description.isEmpty() && open.isEmpty();
}

QList<PeriodRow> calculatePeriods(const QDate& firstDay)
{
    QList<PeriodRow> periods;
    QDate d = firstDay;
    for (int n = 1; n <= CalculatedPeriods; ++n) {
        const QDate e(d.year(), d.month(), d.daysInMonth());
        periods << PeriodRow{
            DateToMyString(d), DateToMyString(e), QStringLiteral("Period %1").arg(n), QStringLiteral("Yes")};
        d = e.addDays(1);
    }
    return periods;
}

namespace {
QString periodText(int n) { return QStringLiteral("Period ") + QString::number(n); }

bool restIsEmpty(const QList<PeriodRow>& rows, int fromIndex)
{
    for (int i = fromIndex; i < rows.size() && i < MaxPeriods; ++i)
        if (!rows[i].isEmpty())
            return false;
    return true;
}
}

PeriodCheck checkPeriodRows(const QList<PeriodRow>& rows, std::optional<QDate> previousYearEnd)
{
    auto refuse = [](int column, int n, const QString& message) {
        return PeriodCheck{0, PeriodRefusal{column, n, message}};
    };
    for (int n = 1; n <= MaxPeriods; ++n) {
        const PeriodRow row = rows.value(n - 1);
        const QString period = periodText(n);
        if (!TestMyDate(row.startDate))
            return refuse(StartDateColumn, n, period + QStringLiteral(", \"Start Date\" not correct."));
        const QDate start = MyStringToDate(row.startDate);
        if (n == 1 && previousYearEnd && start.addDays(-1) != *previousYearEnd)
            return refuse(StartDateColumn, n,
                period
                    + QStringLiteral(", \"Start Date\" must be one day after end of previous "
                                     "financial year."));
        if (n > 1 && MyStringToDate(rows[n - 2].endDate).addDays(1) != start)
            return refuse(StartDateColumn, n,
                period
                    + QStringLiteral(", Start date must be one day later than the previous "
                                     "period end date."));
        if (!TestMyDate(row.endDate))
            return refuse(EndDateColumn, n, period + QStringLiteral(", End Date not correct."));
        if (start > MyStringToDate(row.endDate))
            return refuse(EndDateColumn, n, period + QStringLiteral(", End date sooner than start date."));
        // A description is shown on one line, and its column holds so much.
        if (row.description.isEmpty())
            return refuse(DescriptionColumn, n, period + QStringLiteral(", description not spesified."));
        if (hasControlCharacters(row.description))
            return refuse(DescriptionColumn, n,
                period
                    + QStringLiteral(
                        ", description may not contain line breaks, tabs or other control characters."));
        if (row.description.toUcs4().size() > MaxTextColumnCharacters)
            return refuse(DescriptionColumn, n,
                period
                    + QStringLiteral(", description longer than %1 characters.")
                          .arg(MaxTextColumnCharacters));
        const QString open = row.open.toLower();
        if (open != QLatin1String("yes") && open != QLatin1String("no"))
            return refuse(OpenColumn, n, period + QStringLiteral(" Open, only Yes or No allowed."));
        if (n == MaxPeriods || restIsEmpty(rows, n))
            return PeriodCheck{n, std::nullopt};
    }
    return PeriodCheck{MaxPeriods, std::nullopt};
}
