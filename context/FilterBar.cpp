#include "context/FilterBar.h"

#include "context/BookSelection.h"
#include "context/BookStores.h"
#include "context/PeriodStore.h"
#include "context/Session.h"
#include "standard/LinkLabel.h"
#include "standard/Standard.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QSignalBlocker>

namespace {
// Ids of the items of a box.
QList<int> itemIds(const QComboBox* box)
{
    QList<int> ids;
    for (int i = 0; i < box->count(); ++i)
        ids << box->itemData(i).toInt();
    return ids;
}

void selectIndex(QComboBox* box, int index)
{
    QSignalBlocker block(box);
    box->setCurrentIndex(index);
}

void clearBox(QComboBox* box)
{
    QSignalBlocker block(box);
    box->clear();
}

QComboBox* filterBox(const char* name, int left, QWidget* bar)
{
    auto* c = named(new QComboBox(bar), name);
    c->setGeometry(left, 24, 200, 22);
    return c;
}

LinkLabel* caption(const char* name, const QString& text, int left, QWidget* bar)
{
    auto* l = named(new LinkLabel(text, bar), name);
    l->move(left, 8);
    return l;
}

QLabel* dateLabel(const char* name, const QString& text, int top, QWidget* bar)
{
    auto* l = named(new QLabel(text, bar), name);
    l->setGeometry(634, top, 185, 13);
    QFont f = l->font();
    f.setPixelSize(11);
    l->setFont(f);
    return l;
}
}

FilterBar::FilterBar(const Session& session, QWidget* parent)
    : QWidget(parent), lblCompany(caption("lblCompany", QStringLiteral("Company"), 8, this)),
      cbCompany(filterBox("cbCompany", 8, this)),
      lblFinancialYear(caption("lblFinancialYear", QStringLiteral("Financial Year"), 214, this)),
      cbFinancialYear(filterBox("cbFinancialYear", 214, this)),
      lblFinancialPeriod(caption("lblFinancialPeriod", QStringLiteral("Financial Period"), 420, this)),
      cbFinancialPeriod(filterBox("cbFinancialPeriod", 420, this)), bDates(named(new QFrame(this), "bDates")),
      lblPeriodStartDate(dateLabel("lblPeriodStartDate", QStringLiteral("Period Start Date:"), 5, this)),
      lblPeriodEndDate(dateLabel("lblPeriodEndDate", QStringLiteral("Period End Date:"), 17, this)),
      lblPeriodOpen(dateLabel("lblPeriodOpen", QStringLiteral("Period Open:"), 30, this)), m_session(session)
{
    setObjectName(QStringLiteral("pnlFilters"));
    setFixedHeight(54);
    // Tab reads the captions' line, then the boxes' line, each left to right.
    setTabOrder(lblCompany, lblFinancialYear);
    setTabOrder(lblFinancialYear, lblFinancialPeriod);
    setTabOrder(lblFinancialPeriod, cbCompany);
    setTabOrder(cbCompany, cbFinancialYear);
    setTabOrder(cbFinancialYear, cbFinancialPeriod);
    bDates->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bDates->setGeometry(626, 4, 199, 40);
    bDates->lower();
    setMinimumWidth(bDates->geometry().right() + 1 + 8);
}

void FilterBar::setSelection(BookSelection* selection)
{
    m_selection = selection;
    connect(selection, &BookSelection::correctionAsked, this, [this](BookPart part) {
        QComboBox* box = part == BookPart::Company ? cbCompany
            : part == BookPart::Year               ? cbFinancialYear
                                                   : cbFinancialPeriod;
        box->setFocus(Qt::OtherFocusReason);
    });
}

void FilterBar::showNoYearLabels()
{
    lblPeriodStartDate->setText(QStringLiteral("Start Date:"));
    lblPeriodEndDate->setText(QStringLiteral("End Date:"));
    lblPeriodOpen->setText(QStringLiteral("Period Open:"));
    if (m_selection)
        m_selection->setPeriod(std::nullopt);
}

void FilterBar::refresh()
{
    refreshCompanies();
    refreshYears();
    const int p = selectYearOfToday();
    refreshPeriods();
    if (cbFinancialPeriod->count() > 0 && cbFinancialPeriod->currentIndex() < 0 && p != 0)
        selectId(cbFinancialPeriod, p);
    if (cbFinancialPeriod->currentIndex() < 0 && cbFinancialPeriod->count() > 0)
        selectIndex(cbFinancialPeriod, 0);
    refreshPeriodInformation();
}

void FilterBar::refreshCompanies()
{
    LoadItemsToCB(cbCompany, CompanyStore::listedFor(m_session.userId()), true);
    // "All" (id 0) is never remembered, but it is the first item whenever it exists.
    if (cbCompany->currentIndex() < 0 && cbCompany->count() > 0)
        selectIndex(cbCompany, 0);
}

void FilterBar::refreshYears()
{
    if (cbCompany->currentIndex() < 0) {
        clearBox(cbFinancialYear);
        return;
    }
    LoadItemsToCB(cbFinancialYear, YearStore::listedFor(m_selection->companyIds()), false);
}

int FilterBar::selectYearOfToday()
{
    if (cbFinancialYear->currentIndex() >= 0 || cbFinancialYear->count() == 0)
        return 0;
    int period = 0;
    if (const std::optional<StoredPeriod> today = PeriodStore::containing(Today(), itemIds(cbFinancialYear)))
        if (selectId(cbFinancialYear, today->yearId))
            period = today->id;
    if (cbFinancialYear->currentIndex() < 0)
        selectIndex(cbFinancialYear, cbFinancialYear->count() - 1);
    return period;
}

void FilterBar::refreshPeriods()
{
    if (cbFinancialYear->currentIndex() < 0) {
        clearBox(cbFinancialPeriod);
        showNoYearLabels();
        return;
    }
    QList<ComboItem> items;
    for (const StoredPeriod& p : PeriodStore::ofYear(selectedId(cbFinancialYear)))
        items.append({p.id, p.description});
    LoadItemsToCB(cbFinancialPeriod, items, false);
    // A year without periods shows no stale dates of the period chosen before.
    if (cbFinancialPeriod->count() == 0)
        showNoYearLabels();
}

void FilterBar::refreshPeriodInformation()
{
    if (cbFinancialPeriod->currentIndex() < 0)
        return;
    const std::optional<StoredPeriod> p = PeriodStore::byId(selectedId(cbFinancialPeriod));
    // Removed by another workstation since the box was filled: show no dates at all.
    if (!p) {
        showNoYearLabels();
        return;
    }
    lblPeriodStartDate->setText(QStringLiteral("Start Date: ") + DateToMyString(p->start));
    lblPeriodEndDate->setText(QStringLiteral("End Date: ") + DateToMyString(p->end));
    lblPeriodOpen->setText(QStringLiteral("Period Open: ") + p->open);
    if (m_selection)
        m_selection->setPeriod(
            SelectedPeriod{p->id, p->description, p->start, p->end, p->open == QLatin1String("Yes")});
}
