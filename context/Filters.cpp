#include "app/Main.h"

#include "context/Conditions.h"
#include "context/UserCompanies.h"
#include "db/Query.h"
#include "standard/Standard.h"
#include "standard/WaitCursor.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QTabWidget>

namespace {

// Ids of the items of a box from the given position on.
QList<int> itemIds(const QComboBox* box, int from)
{
    QList<int> ids;
    for (int i = from; i < box->count(); ++i)
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

void showNoYearLabels(TfrmMain& w)
{
    w.lblPeriodStartDate->setText(QStringLiteral("Start Date:"));
    w.lblPeriodEndDate->setText(QStringLiteral("End Date:"));
    w.lblPeriodOpen->setText(QStringLiteral("Period Open:"));
}
}

void TfrmMain::RefreshFilters(QObject* Sender)
{
    // One wait cursor for the whole refresh, not a flicker between its statements.
    WaitCursor wait;
    RefreshFilterscbCompanies();
    RefreshFilterscbFinancialYear();
    const int p = RefreshFiltersSelectFinancialYear();
    RefreshFilterscbFinancialPeriod();
    if (cbFinancialPeriod->count() > 0 && cbFinancialPeriod->currentIndex() < 0 && p != 0)
        selectId(cbFinancialPeriod, p);
    if (cbFinancialPeriod->currentIndex() < 0 && cbFinancialPeriod->count() > 0)
        selectIndex(cbFinancialPeriod, 0);
    RefreshFiltersFinancialPeriodInformation();
    if (pcMain->currentWidget() == tsTrialBalance)
        RefreshFilterstsTrialBalance(Sender);
    else if (pcMain->currentWidget() == tsJournalEntries)
        RefreshFilterstsJournalEntries(Sender);
}

void TfrmMain::RefreshFilterscbCompanies()
{
    qrCompanies->open(userCompaniesSql(UserID));
    LoadFieldToCB(cbCompany, *qrCompanies, QStringLiteral("id"), QStringLiteral("company name"), true);
    // "All" (id 0) is never remembered, but it is the first item whenever it exists.
    if (cbCompany->currentIndex() < 0 && cbCompany->count() > 0)
        selectIndex(cbCompany, 0);
}

void TfrmMain::RefreshFilterscbFinancialYear()
{
    if (cbCompany->currentIndex() < 0) {
        clearBox(cbFinancialYear);
        return;
    }
    QStringList sql{
        QStringLiteral("SELECT `financial years`.`id`, `financial year description`, `company name`, "
                       "CONCAT(`company name`, \" - \", `financial year description`) AS `full description`"),
        QStringLiteral("FROM `financial years`, `companies` WHERE"),
        QStringLiteral("(companies.id = `financial years`.`company id`)")};
    sql << companyCondition(QStringLiteral("`company id`"));
    sql << QStringLiteral("ORDER BY `id`");
    qrFinancialYears->open(sql);
    LoadFieldToCB(
        cbFinancialYear, *qrFinancialYears, QStringLiteral("id"), QStringLiteral("full description"), false);
}

int TfrmMain::RefreshFiltersSelectFinancialYear()
{
    if (cbFinancialYear->currentIndex() >= 0 || cbFinancialYear->count() == 0)
        return 0;
    const QString today = sqlDateLiteral(Today());
    QStringList sql{QStringLiteral("SELECT id, `financial year id` FROM `financial periods` WHERE"),
        QStringLiteral("(`start date` <= %1)").arg(today),
        QStringLiteral("and (`end date` >= %1)").arg(today)};
    sql << idCondition(QStringLiteral("`financial year id`"), itemIds(cbFinancialYear, 0), false);
    // A deleted period no longer belongs to its year; among several periods containing
    // today the first year of the box decides, so the choice does not rest on the server.
    sql << QStringLiteral("and (`period deleted` = \"No\")")
        << QStringLiteral("ORDER BY `financial year id`, `period number`");
    qrFinancialPeriods->open(sql);
    int period = 0;
    if (!qrFinancialPeriods->isEmpty()) {
        qrFinancialPeriods->first();
        if (selectId(cbFinancialYear, qrFinancialPeriods->asInteger(QStringLiteral("financial year id"))))
            period = qrFinancialPeriods->asInteger(QStringLiteral("id"));
    }
    if (cbFinancialYear->currentIndex() < 0)
        selectIndex(cbFinancialYear, cbFinancialYear->count() - 1);
    return period;
}

void TfrmMain::RefreshFilterscbFinancialPeriod()
{
    if (cbFinancialYear->currentIndex() < 0) {
        clearBox(cbFinancialPeriod);
        showNoYearLabels(*this);
        return;
    }
    qrFinancialPeriods->open(
        {QStringLiteral("SELECT id, `period description`, `start date`, `end date`, `period open` FROM "
                        "`financial periods` WHERE"),
            QStringLiteral("(`financial year id` = %1)").arg(selectedId(cbFinancialYear)),
            QStringLiteral("and (`period deleted` = \"No\")"), QStringLiteral("ORDER BY `period number`")});
    LoadFieldToCB(cbFinancialPeriod, *qrFinancialPeriods, QStringLiteral("id"),
        QStringLiteral("period description"), false);
    // A year without periods shows no stale dates of the period chosen before.
    if (cbFinancialPeriod->count() == 0)
        showNoYearLabels(*this);
}

void TfrmMain::RefreshFiltersFinancialPeriodInformation()
{
    if (cbFinancialPeriod->currentIndex() < 0)
        return;
    qrFinancialPeriods->open({QStringLiteral("SELECT * FROM `financial periods` WHERE"),
        QStringLiteral("(id = %1)").arg(selectedId(cbFinancialPeriod))});
    // Removed by another workstation since the box was filled: show no dates at all.
    if (qrFinancialPeriods->isEmpty()) {
        showNoYearLabels(*this);
        return;
    }
    lblPeriodStartDate->setText(QStringLiteral("Start Date: ")
        + DateToMyString(qrFinancialPeriods->asDate(QStringLiteral("start date"))));
    lblPeriodEndDate->setText(QStringLiteral("End Date: ")
        + DateToMyString(qrFinancialPeriods->asDate(QStringLiteral("end date"))));
    lblPeriodOpen->setText(
        QStringLiteral("Period Open: ") + qrFinancialPeriods->asString(QStringLiteral("period open")));
}

QString TfrmMain::SelCompany()
{
    // "-1" with an empty box: neither "All" nor any company's id.
    return QString::number(selectedId(cbCompany));
}

std::optional<int> TfrmMain::selectedCompanyId() const
{
    const int selected = selectedId(cbCompany);
    return selected > 0 ? std::optional<int>(selected) : std::nullopt;
}

QList<int> TfrmMain::selectedCompanyIds() const
{
    QList<int> ids;
    const int selected = selectedId(cbCompany);
    if (selected > 0)
        ids << selected;
    else if (selected == 0)
        ids = itemIds(cbCompany, 1);
    return ids;
}

QStringList TfrmMain::companyCondition(const QString& column, bool leadingBlank) const
{
    return idCondition(column, selectedCompanyIds(), leadingBlank);
}
