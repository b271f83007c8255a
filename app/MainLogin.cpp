#include "app/Main.h"

#include "context/FilterBar.h"
#include "journal/JournalEntriesTab.h"
#include "standard/Standard.h"
#include "trialbalance/TrialBalanceTab.h"
#include "users/UserStore.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolBar>

namespace {
// What a login changes on screen beyond the logged-in flags Logout resets: the filter
// boxes and the period labels, put back as they were when a login fails half-way.
class FilterBarState {
public:
    explicit FilterBarState(TfrmMain& w) : m_w(w)
    {
        for (QComboBox* box : boxes()) {
            Box b;
            for (int i = 0; i < box->count(); ++i)
                b.items.append({box->itemText(i), box->itemData(i)});
            b.current = box->currentIndex();
            m_boxes.append(b);
        }
        for (QLabel* label : labels())
            m_labels << label->text();
    }
    void restore() const
    {
        const QList<QComboBox*> all = boxes();
        for (int n = 0; n < all.size(); ++n) {
            QSignalBlocker block(all[n]);
            all[n]->clear();
            for (const auto& [text, data] : m_boxes[n].items)
                all[n]->addItem(text, data);
            all[n]->setCurrentIndex(m_boxes[n].current);
        }
        const QList<QLabel*> all2 = labels();
        for (int n = 0; n < all2.size(); ++n)
            all2[n]->setText(m_labels[n]);
    }

private:
    struct Box {
        QList<QPair<QString, QVariant>> items;
        int current = -1;
    };
    QList<QComboBox*> boxes() const { return {m_w.cbCompany, m_w.cbFinancialYear, m_w.cbFinancialPeriod}; }
    QList<QLabel*> labels() const
    {
        return {m_w.lblPeriodStartDate, m_w.lblPeriodEndDate, m_w.lblPeriodOpen};
    }
    TfrmMain& m_w;
    QList<Box> m_boxes;
    QStringList m_labels;
};
}

void TfrmMain::Login(int NewUserID)
{
    const std::optional<QString> login = UserStore::loginName(NewUserID);
    if (!login) {
        Boodskap(QStringLiteral("User could not be found to log in."));
        return;
    }
    // Logged in only when every step succeeds: a refresh that fails leaves the program
    // logged out, exactly as before the attempt, and its error goes to the caller.
    const FilterBarState before(*this);
    try {
        setWindowTitle(QStringLiteral("Veldra - [User: ") + *login + QStringLiteral("]"));
        m_session.logIn(NewUserID, *login);
        const std::optional<KeptSelection> kept = keptSelection();
        acLogin->setText(QStringLiteral("Logout"));
        pnlFilters->show();
        for (QAction* a : {acCompanies, acAccess, acCostCentres, acFinancialYears, acImportJournalEntries,
                 acChangeHistory, acVerifyJournalEntries})
            a->setEnabled(true);
        setTabShown(tsTrialBalance, true);
        setTabShown(tsJournalEntries, true);
        RefreshFilters();
        restoreSelection(kept);
    } catch (...) {
        Logout();
        before.restore();
        throw;
    }
}

void TfrmMain::Logout()
{
    m_session.logOut();
    acLogin->setText(QStringLiteral("Login"));
    setWindowTitle(QStringLiteral("Veldra"));
    pnlFilters->hide();
    for (QAction* a : {acCompanies, acAccess, acCostCentres, acFinancialYears, acImportJournalEntries,
             acChangeHistory, acVerifyJournalEntries})
        a->setEnabled(false);
    setTabShown(tsTrialBalance, false);
    setTabShown(tsJournalEntries, false);
    showTab(tsWelcome);
    tbFind->hide();
    showStatus(0);
}
