#include "context/BookSelection.h"

#include "context/Conditions.h"
#include "context/PeriodStore.h"
#include "standard/Standard.h"

#include <QComboBox>

BookSelection::BookSelection(
    const QComboBox* company, const QComboBox* year, const QComboBox* period, QObject* parent)
    : QObject(parent), m_company(company), m_year(year), m_period(period)
{
}

int BookSelection::companyBoxId() const { return selectedId(m_company); }

std::optional<int> BookSelection::companyId() const
{
    const int selected = companyBoxId();
    return selected > 0 ? std::optional<int>(selected) : std::nullopt;
}

bool BookSelection::isAll() const { return companyBoxId() == 0; }

QList<int> BookSelection::companyIds() const
{
    QList<int> ids;
    const int selected = companyBoxId();
    if (selected > 0)
        ids << selected;
    else if (selected == 0)
        for (int i = 1; i < m_company->count(); ++i)
            ids << m_company->itemData(i).toInt();
    return ids;
}

QString BookSelection::companyText() const { return m_company->currentText(); }

int BookSelection::yearId() const { return selectedId(m_year); }

QString BookSelection::yearText() const { return m_year->currentText(); }

int BookSelection::periodId() const { return selectedId(m_period); }

std::optional<SelectedPeriod> BookSelection::period() const
{
    const int id = periodId();
    if (id < 0)
        return std::nullopt;
    // The box may have moved on since the filter bar read its period (a caller that set
    // the box itself): the period shown is always the one in the box.
    if (!m_periodRead || m_periodRead->id != id) {
        const std::optional<StoredPeriod> row = PeriodStore::byId(id);
        if (!row)
            return std::nullopt;
        return SelectedPeriod{
            row->id, row->description, row->start, row->end, row->open == QLatin1String("Yes")};
    }
    return m_periodRead;
}

bool BookSelection::periodOpen() const
{
    const std::optional<SelectedPeriod> p = period();
    return p && p->open;
}

QStringList BookSelection::companyCondition(const QString& column, bool leadingBlank) const
{
    return idCondition(column, companyIds(), leadingBlank);
}

void BookSelection::setPeriod(std::optional<SelectedPeriod> period) { m_periodRead = std::move(period); }
