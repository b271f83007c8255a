#pragma once
#include "context/FilterBar.h"
#include "context/Session.h"
#include "journal/JournalEntriesTab.h"
#include "standard/Money.h"
#include "trialbalance/TrialBalanceColumns.h"
#include "trialbalance/TrialBalanceTab.h"

#include <QMainWindow>
#include <optional>

class BookSelection;
class Connection;
class DataGrid;
class LinkLabel;
class Query;
class StringGrid;
class QAction;
class QComboBox;
class QFrame;
class QLineEdit;
class QToolBar;
class QLabel;
class QMenuBar;
class QPushButton;
class QTabWidget;

class TfrmMain;
extern TfrmMain* frmMain;

// What program start does to the application object: its title, organisation, names.
void InitApplication();

// The main window: menu, filter bar and tabs, the connection, and the queries the setup
// lists show. It owns the session and the book selection and hands them to every window
// it opens; each feature's work lives in that feature's folder, and the members here that
// the design names forward to it.
class TfrmMain : public QMainWindow {
    Q_OBJECT

    Session m_session; // before UserID, which refers to it

public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The logged-in user's id (the session's), 0 when nobody is.
    int& UserID = m_session.UserID;
    Session& session() { return m_session; }
    BookSelection& selection() { return *m_selection; }
    // What a window of the books is handed.
    BookContext books() { return {m_session, *m_selection}; }

    // Cool bar: band 0 the menu, band 1 the filter panel.
    QWidget* cbMain = nullptr;
    QMenuBar* ammbMain = nullptr;
    FilterBar* pnlFilters = nullptr;
    LinkLabel* lblCompany = nullptr;
    QComboBox* cbCompany = nullptr;
    LinkLabel* lblFinancialYear = nullptr;
    QComboBox* cbFinancialYear = nullptr;
    LinkLabel* lblFinancialPeriod = nullptr;
    QComboBox* cbFinancialPeriod = nullptr;
    QFrame* bDates = nullptr;
    QLabel* lblPeriodStartDate = nullptr;
    QLabel* lblPeriodEndDate = nullptr;
    QLabel* lblPeriodOpen = nullptr;

    QTabWidget* pcMain = nullptr;
    QWidget* tsWelcome = nullptr;
    LinkLabel* lblWelcome = nullptr;
    TrialBalanceTab* tsTrialBalance = nullptr;
    QPushButton* btnAccounts = nullptr;
    StringGrid* sgTB = nullptr;
    QPushButton* btnExportTrialBalance = nullptr;
    JournalEntriesTab* tsJournalEntries = nullptr;
    QPushButton* btnNewJournalEntry = nullptr;
    DataGrid* dbgJournalEntries = nullptr;
    QLabel* lblJournalEntryInfo = nullptr;

    Connection* fdcMain = nullptr;
    Query* qrWP_Users = nullptr;
    Query* qrWP_UserMeta = nullptr;
    Query* qrAccess = nullptr;
    Query* qrCompanies = nullptr;
    Query* qrFinancialYears = nullptr;
    Query* qrFinancialPeriods = nullptr;
    Query* qrCostCentres = nullptr;
    Query* qrAccounts = nullptr;
    Query* qrObjects = nullptr;
    Query* qrTransactions = nullptr;
    Query* qrTransactionDetails = nullptr;

    QObject* amMain = nullptr;
    QAction* acLogin = nullptr;
    QAction* acCreateUser = nullptr;
    QAction* acExit = nullptr;
    QAction* acCompanies = nullptr;
    QAction* acAccess = nullptr;
    QAction* acCostCentres = nullptr;
    QAction* acFinancialYears = nullptr;
    // Keyboard work on the shown tab; the menus show the keys.
    QAction* acRefresh = nullptr;
    QAction* acFind = nullptr;
    QAction* acFindNext = nullptr;
    QAction* acFindPrevious = nullptr;
    QAction* acNewJournalEntry = nullptr;
    QAction* acExportTrialBalance = nullptr;
    QAction* acPrint = nullptr; // prints the trial balance while its tab is shown
    // The find bar over the trial balance and the journal list (Ctrl+F).
    QToolBar* tbFind = nullptr;
    QLineEdit* edtFind = nullptr;
    QLabel* lblFindResult = nullptr;
    // The status bar's lasting parts: who, on which server, and the last refresh.
    QLabel* lblStatusUser = nullptr;
    QLabel* lblStatusServer = nullptr;
    QLabel* lblStatusRefresh = nullptr;
    QAction* acImportJournalEntries = nullptr;
    QAction* acChangeHistory = nullptr;
    QAction* acVerifyJournalEntries = nullptr;

    // app/
    void FormCreate();
    void FormClose();
    void acExitExecute();
    void lblWelcomeClick();
    // Makes a tab the shown one without the refresh a user's tab change runs.
    void showTab(QWidget* tab);
    void setTabShown(QWidget* tab, bool shown);

    // users/
    void acLoginExecute();
    void acCreateUserExecute();
    void acAccessExecute(QObject* Sender = nullptr);
    void Login(int NewUserID);
    void Logout();
    int AccessToInt(const QString& Access);
    bool TestAccess(const QString& field, const QString& access);
    bool TestSetupAccess();

    // context/
    void RefreshFilters(QObject* Sender = nullptr);
    void RefreshFilterscbCompanies();
    void RefreshFilterscbFinancialYear();
    int RefreshFiltersSelectFinancialYear();
    void RefreshFilterscbFinancialPeriod();
    void RefreshFiltersFinancialPeriodInformation();
    // The selected company's id as text; "0" for "All", "-1" for an empty box.
    QString SelCompany();
    // The one specific company selected; empty under "All" or with an empty box.
    std::optional<int> selectedCompanyId() const;
    // The ids a statement is restricted to: the selected company, or every listed one
    // under "All".
    QList<int> selectedCompanyIds() const;
    // The condition lines that restrict a statement to selectedCompanyIds(); column as
    // written in the statement.
    QStringList companyCondition(const QString& column, bool leadingBlank = true) const;

    // trialbalance/
    void RefreshFilterstsTrialBalance(QObject* Sender = nullptr);
    void MaakTotaleOpNaBo(int RowCounter, int Col, const Money& NewValue);
    void btnExportTrialBalanceClick(QObject* Sender = nullptr);

    // journal/
    void RefreshFilterstsJournalEntries(QObject* Sender = nullptr);
    void btnNewJournalEntryClick(QObject* Sender = nullptr);

    // import/
    void acImportJournalEntriesExecute(QObject* Sender = nullptr);

    // setup/
    void acCompaniesExecute(QObject* Sender = nullptr);
    void acCostCentresExecute(QObject* Sender = nullptr);
    void btnAccountsClick(QObject* Sender = nullptr);
    void acFinancialYearsExecute(QObject* Sender = nullptr);
    // Edits the filter bar's year directly, without the administrator test.
    void lblFinancialPeriodClick(QObject* Sender = nullptr);

    // history/
    void acChangeHistoryExecute(QObject* Sender = nullptr);
    void acVerifyJournalEntriesExecute(QObject* Sender = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    BookSelection* m_selection = nullptr;
    // Finds in the shown tab from the find bar's text; `again` moves past the current row.
    void findInShownTab(bool forward, bool again);
    // The company, year and period last chosen, kept per user and database on this
    // workstation, and chosen again after a login when they are still there.
    struct KeptSelection {
        int company = 0;
        int year = 0;
        int period = 0;
    };
    void keepSelection();
    std::optional<KeptSelection> keptSelection() const; // read before the login's refresh keeps its own
    void restoreSelection(const std::optional<KeptSelection>& kept);
    // Chooses the company box's id, the year and the period when all three can be chosen,
    // and refreshes; false, with nothing changed, when one cannot.
    bool chooseBooks(int company, int year, int period);
    // The journal entries tab on the entry's period, with the entry selected.
    void showEntry(int companyId, const QString& companyName, qint64 number, const QDate& date);
    void showStatus(qint64 milliseconds);
    void buildWindow();
    void buildMenu();
    void connectHandlers();
};
