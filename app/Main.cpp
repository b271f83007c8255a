#include "app/Main.h"

#include "context/BookSelection.h"
#include "context/BookStores.h"
#include "context/FilterBar.h"
#include "context/PeriodStore.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "history/ChangeHistory.h"
#include "import/Import.h"
#include "journal/JournalEntriesTab.h"
#include "journal/VerifyJournal.h"
#include "setup/Accounts.h"
#include "setup/Companies.h"
#include "setup/CostCentres.h"
#include "setup/FinancialYears.h"
#include "standard/ColumnChooser.h"
#include "standard/DataGrid.h"
#include "standard/LinkLabel.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"
#include "standard/WaitCursor.h"
#include "trialbalance/TrialBalanceTab.h"
#include "users/Access.h"
#include "users/CreateUser.h"
#include "users/Login.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QSplitter>
#include <QSqlDatabase>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

TfrmMain* frmMain = nullptr;

void InitApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Veldra Accounting"));
    QCoreApplication::setOrganizationName(QStringLiteral("Veldra"));
    QGuiApplication::setApplicationDisplayName(QString());
    ShowWaitCursorWhileDatabaseBusy();
    // The windows are laid out in pixels for an 8-point interface font: a caption sits
    // 16 pixels above its edit box, so a larger font would run into the frame above it.
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QFont font = QApplication::font();
        font.setPointSize(8);
        QApplication::setFont(font);
        // Group boxes as the layouts expect them: the frame runs through the middle of
        // the title, leaving the first caption inside clear of it.
        qApp->setStyleSheet(QStringLiteral(
            "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
            "QGroupBox::title { subcontrol-origin: margin; left: 7px; top: 0px; padding: 0 2px; }"));
    }
}

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    frmMain = this;
    fdcMain = new Connection(this);
    // The journal list's query is its tab's own, made with the tab.
    for (auto [member, name] : {std::pair{&qrWP_Users, "qrWP_Users"}, {&qrWP_UserMeta, "qrWP_UserMeta"},
             {&qrAccess, "qrAccess"}, {&qrCompanies, "qrCompanies"}, {&qrFinancialYears, "qrFinancialYears"},
             {&qrFinancialPeriods, "qrFinancialPeriods"}, {&qrCostCentres, "qrCostCentres"},
             {&qrAccounts, "qrAccounts"}, {&qrObjects, "qrObjects"},
             {&qrTransactionDetails, "qrTransactionDetails"}})
        *member = new Query(this, QLatin1String(name));
    buildMenu();
    buildWindow();
    connectHandlers();
    // Building the window opens the connection; a server out of reach stops here, and
    // the half-built window must not stay reachable as frmMain.
    try {
        fdcMain->open();
        FormCreate();
    } catch (...) {
        frmMain = nullptr;
        throw;
    }
}

TfrmMain::~TfrmMain()
{
    if (frmMain == this)
        frmMain = nullptr;
}

void TfrmMain::buildMenu()
{
    amMain = named(new QObject(this), "amMain");
    auto action = [this](const char* name, const QString& caption, const QString& category) {
        auto* a = named(new QAction(caption, amMain), name);
        a->setProperty("category", category);
        return a;
    };
    acLogin = action("acLogin", QStringLiteral("Login"), QStringLiteral("User"));
    acCreateUser = action("acCreateUser", QStringLiteral("Create user"), QStringLiteral("User"));
    acExit = action("acExit", QStringLiteral("Exit"), QStringLiteral("User"));
    acCompanies = action("acCompanies", QStringLiteral("Companies"), QStringLiteral("Setup"));
    acAccess = action("acAccess", QStringLiteral("Access"), QStringLiteral("Setup"));
    acCostCentres = action("acCostCentres", QStringLiteral("Cost Centres"), QStringLiteral("Setup"));
    acFinancialYears = action("acFinancialYears", QStringLiteral("Financial Years"), QStringLiteral("Setup"));
    acImportJournalEntries
        = action("acImportJournalEntries", QStringLiteral("Import Journal Entries…"), QStringLiteral("File"));
    acChangeHistory = action("acChangeHistory", QStringLiteral("Change History"), QStringLiteral("Setup"));
    acVerifyJournalEntries
        = action("acVerifyJournalEntries", QStringLiteral("Verify Journal Entries"), QStringLiteral("Setup"));

    cbMain = named(new QWidget(this), "cbMain");
    auto* bands = new QVBoxLayout(cbMain);
    bands->setContentsMargins(0, 0, 0, 0);
    bands->setSpacing(0);
    ammbMain = named(new QMenuBar(cbMain), "ammbMain");
    bands->addWidget(ammbMain);
    // Menu entries carry their access keys; the actions keep their plain captions,
    // which the program compares (acLogin reads "Login" or "Logout").
    auto entry = [](QMenu* menu, QAction* a, const QString& text) {
        QAction* item = menu->addAction(text);
        item->setObjectName(a->objectName() + QStringLiteral("Item"));
        QObject::connect(item, &QAction::triggered, a, &QAction::trigger);
        auto follow = [item, a] {
            item->setEnabled(a->isEnabled());
            QString caption = a->text();
            // The access key of the entry stays on the same letter when the caption changes.
            const QString key = item->property("key").toString();
            const int at = key.isEmpty() ? -1 : int(caption.indexOf(key));
            if (at >= 0)
                caption.insert(at, QLatin1Char('&'));
            item->setText(caption);
        };
        item->setProperty("key", text.mid(text.indexOf(QLatin1Char('&')) + 1, 1));
        QObject::connect(a, &QAction::changed, item, follow);
        follow();
    };
    QMenu* file = ammbMain->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    entry(file, acImportJournalEntries, QStringLiteral("&Import Journal Entries…"));
    QMenu* user = ammbMain->addMenu(QStringLiteral("&User"));
    user->setObjectName(QStringLiteral("mnuUser"));
    entry(user, acLogin, QStringLiteral("&Login"));
    entry(user, acCreateUser, QStringLiteral("&Create user"));
    user->addSeparator();
    entry(user, acExit, QStringLiteral("&Exit"));
    QMenu* setup = ammbMain->addMenu(QStringLiteral("&Setup"));
    setup->setObjectName(QStringLiteral("mnuSetup"));
    entry(setup, acCompanies, QStringLiteral("&Companies"));
    entry(setup, acAccess, QStringLiteral("&Access"));
    entry(setup, acCostCentres, QStringLiteral("C&ost Centres"));
    entry(setup, acFinancialYears, QStringLiteral("&Financial Years"));
    setup->addSeparator();
    entry(setup, acChangeHistory, QStringLiteral("C&hange History"));
    entry(setup, acVerifyJournalEntries, QStringLiteral("&Verify Journal Entries"));

    auto keyed = [this](const char* name, const QString& caption, const QKeySequence& key) {
        auto* a = named(new QAction(caption, this), name);
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        return a;
    };
    acRefresh = keyed("acRefresh", QStringLiteral("&Refresh"), QKeySequence(Qt::Key_F5));
    acFind = keyed("acFind", QStringLiteral("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    acFindNext = keyed("acFindNext", QStringLiteral("Find &Next"), QKeySequence(Qt::Key_F3));
    acFindPrevious
        = keyed("acFindPrevious", QStringLiteral("Find &Previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3));
    acNewJournalEntry = keyed(
        "acNewJournalEntry", QStringLiteral("&New Journal Entry"), QKeySequence(Qt::CTRL | Qt::Key_N));
    acExportTrialBalance = keyed(
        "acExportTrialBalance", QStringLiteral("&Export Trial Balance"), QKeySequence(Qt::CTRL | Qt::Key_E));
    acPrint = keyed("acPrint", QStringLiteral("&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P));
    QMenu* view = ammbMain->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    view->addActions({acRefresh, acFind, acFindNext, acFindPrevious});
    view->addSeparator();
    view->addActions({acNewJournalEntry, acExportTrialBalance, acPrint});
}

void TfrmMain::buildWindow()
{
    resize(1046, 531);

    pnlFilters = new FilterBar(m_session, cbMain);
    cbMain->layout()->addWidget(pnlFilters);
    setMenuWidget(cbMain);
    lblCompany = pnlFilters->lblCompany;
    cbCompany = pnlFilters->cbCompany;
    lblFinancialYear = pnlFilters->lblFinancialYear;
    cbFinancialYear = pnlFilters->cbFinancialYear;
    lblFinancialPeriod = pnlFilters->lblFinancialPeriod;
    cbFinancialPeriod = pnlFilters->cbFinancialPeriod;
    bDates = pnlFilters->bDates;
    lblPeriodStartDate = pnlFilters->lblPeriodStartDate;
    lblPeriodEndDate = pnlFilters->lblPeriodEndDate;
    lblPeriodOpen = pnlFilters->lblPeriodOpen;
    m_selection = new BookSelection(cbCompany, cbFinancialYear, cbFinancialPeriod, this);
    m_selection->setObjectName(QStringLiteral("bookSelection"));
    m_session.setSelection(m_selection);
    pnlFilters->setSelection(m_selection);

    pcMain = named(new QTabWidget(this), "pcMain");
    setCentralWidget(pcMain);

    tsWelcome = named(new QWidget, "tsWelcome");
    lblWelcome = named(new LinkLabel(QStringLiteral("Welcome to Veldra Accounting.  For instructions on how "
                                                    "to create your first company, please click here."),
                           tsWelcome),
        "lblWelcome");
    lblWelcome->move(17, 16);
    pcMain->addTab(tsWelcome, QStringLiteral("Welcome"));

    tsTrialBalance = new TrialBalanceTab(books());
    btnAccounts = tsTrialBalance->btnAccounts;
    sgTB = tsTrialBalance->sgTB;
    btnExportTrialBalance = tsTrialBalance->btnExportTrialBalance;
    pcMain->addTab(tsTrialBalance, QStringLiteral("Trial Balance"));

    tsJournalEntries = new JournalEntriesTab(books());
    btnNewJournalEntry = tsJournalEntries->btnNewJournalEntry;
    lblJournalEntryInfo = tsJournalEntries->lblJournalEntryInfo;
    dbgJournalEntries = tsJournalEntries->dbgJournalEntries;
    qrTransactions = tsJournalEntries->qrTransactions;
    pcMain->addTab(tsJournalEntries, QStringLiteral("Journal Entries"));

    tbFind = named(new QToolBar(QStringLiteral("Find"), this), "tbFind");
    tbFind->setMovable(false);
    tbFind->addWidget(new QLabel(QStringLiteral(" Find: "), tbFind));
    edtFind = named(new QLineEdit(tbFind), "edtFind");
    edtFind->setMaximumWidth(260);
    edtFind->setPlaceholderText(QStringLiteral("Number or description"));
    tbFind->addWidget(edtFind);
    lblFindResult = named(new QLabel(tbFind), "lblFindResult");
    tbFind->addWidget(lblFindResult);
    addToolBar(Qt::BottomToolBarArea, tbFind);
    tbFind->hide();

    lblStatusUser = named(new QLabel(this), "lblStatusUser");
    lblStatusServer = named(new QLabel(this), "lblStatusServer");
    lblStatusRefresh = named(new QLabel(this), "lblStatusRefresh");
    for (QLabel* part : {lblStatusRefresh, lblStatusUser, lblStatusServer})
        statusBar()->addPermanentWidget(part);

    // The window may not shrink past the whole filter bar, the whole tab captions and each
    // tab's buttons beside a grid of 50 pixels: the layouts make that its minimum size.
    pnlFilters->setMinimumWidth(std::max(pnlFilters->minimumWidth(), pcMain->tabBar()->sizeHint().width()));
    for (QWidget* tab : {static_cast<QWidget*>(tsTrialBalance), static_cast<QWidget*>(tsJournalEntries)}) {
        QRect used;
        for (QWidget* child : tab->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            // A part that follows a grid (its total row) takes the grid's room, not its own.
            if (!child->property("followsGrid").toBool())
                used |= qobject_cast<QAbstractItemView*>(child) || qobject_cast<QSplitter*>(child)
                    ? QRect(child->pos(), QSize(50, 50))
                    : child->geometry();
        tab->setMinimumSize(used.right() + 1 + 8, used.bottom() + 1 + 8);
    }
    // The main window's layout leaves its menu band's width out of its minimum.
    const QSize band = cbMain->minimumSizeHint(), pages = pcMain->minimumSizeHint();
    setMinimumSize(std::max(band.width(), pages.width()), band.height() + pages.height());
}

void TfrmMain::connectHandlers()
{
    auto on
        = [this](auto* sender, auto signal, auto handler) { connectGuarded(sender, signal, this, handler); };
    on(acLogin, &QAction::triggered, [this] { acLoginExecute(); });
    on(acCreateUser, &QAction::triggered, [this] { acCreateUserExecute(); });
    on(acAccess, &QAction::triggered, [this] { acAccessExecute(acAccess); });
    on(acExit, &QAction::triggered, [this] { acExitExecute(); });
    on(acCompanies, &QAction::triggered, [this] { acCompaniesExecute(acCompanies); });
    on(lblCompany, &LinkLabel::clicked, [this] { acCompaniesExecute(lblCompany); });
    on(acCostCentres, &QAction::triggered, [this] { acCostCentresExecute(acCostCentres); });
    on(acFinancialYears, &QAction::triggered, [this] { acFinancialYearsExecute(acFinancialYears); });
    on(acImportJournalEntries, &QAction::triggered,
        [this] { acImportJournalEntriesExecute(acImportJournalEntries); });
    on(lblFinancialYear, &LinkLabel::clicked, [this] { acFinancialYearsExecute(lblFinancialYear); });
    on(acChangeHistory, &QAction::triggered, [this] { acChangeHistoryExecute(acChangeHistory); });
    on(acVerifyJournalEntries, &QAction::triggered,
        [this] { acVerifyJournalEntriesExecute(acVerifyJournalEntries); });
    on(lblFinancialPeriod, &LinkLabel::clicked, [this] { lblFinancialPeriodClick(lblFinancialPeriod); });
    on(lblWelcome, &LinkLabel::clicked, [this] { lblWelcomeClick(); });
    on(btnAccounts, &QPushButton::clicked, [this] { btnAccountsClick(btnAccounts); });
    on(sgTB, &QAbstractItemView::doubleClicked, [this] { btnAccountsClick(sgTB); });
    on(btnExportTrialBalance, &QPushButton::clicked,
        [this] { btnExportTrialBalanceClick(btnExportTrialBalance); });
    on(btnNewJournalEntry, &QPushButton::clicked, [this] { btnNewJournalEntryClick(btnNewJournalEntry); });
    on(tsJournalEntries->btnReverseJournalEntry, &QPushButton::clicked, [this] {
        if (tsJournalEntries->reverseJournalEntry())
            RefreshFilters(tsJournalEntries->btnReverseJournalEntry);
    });
    on(tsJournalEntries->btnCopyJournalEntry, &QPushButton::clicked, [this] {
        if (tsJournalEntries->copyJournalEntry())
            RefreshFilters(tsJournalEntries->btnCopyJournalEntry);
    });
    for (QComboBox* box : {cbCompany, cbFinancialYear, cbFinancialPeriod})
        on(box, &QComboBox::activated, [this, box] { RefreshFilters(box); });
    on(pcMain, &QTabWidget::currentChanged, [this] { RefreshFilters(pcMain); });
    on(acRefresh, &QAction::triggered, [this] {
        if (m_session.loggedIn())
            RefreshFilters(acRefresh);
    });
    on(acFind, &QAction::triggered, [this] {
        if (!m_session.loggedIn())
            return;
        tbFind->show();
        edtFind->setFocus(Qt::ShortcutFocusReason);
        edtFind->selectAll();
    });
    on(acFindNext, &QAction::triggered, [this] { findInShownTab(true, true); });
    on(acFindPrevious, &QAction::triggered, [this] { findInShownTab(false, true); });
    on(edtFind, &QLineEdit::textEdited, [this] { findInShownTab(true, false); });
    on(edtFind, &QLineEdit::returnPressed, [this] { findInShownTab(true, true); });
    on(acNewJournalEntry, &QAction::triggered, [this] {
        if (!m_session.loggedIn())
            return;
        showTab(tsJournalEntries);
        RefreshFilters(acNewJournalEntry);
        btnNewJournalEntryClick(acNewJournalEntry);
    });
    on(acExportTrialBalance, &QAction::triggered, [this] {
        if (m_session.loggedIn() && pcMain->currentWidget() == tsTrialBalance)
            btnExportTrialBalanceClick(acExportTrialBalance);
    });
    on(tsTrialBalance, &TrialBalanceTab::entryChosen,
        [this](int companyId, const QString& companyName, qint64 number, const QDate& date) {
            showEntry(companyId, companyName, number, date);
        });
    on(acPrint, &QAction::triggered, [this] {
        if (m_session.loggedIn() && pcMain->currentWidget() == tsTrialBalance)
            tsTrialBalance->printTrialBalance();
    });
    connect(tsTrialBalance, &TrialBalanceTab::statusMessage, this,
        [this](const QString& message) { statusBar()->showMessage(message); });
}

void TfrmMain::FormCreate()
{
    LoadForm(this);
    // After the layout's widths: the columns the user hid stay hidden.
    enableColumnChooser(sgTB);
    enableColumnChooser(dbgJournalEntries);
    IniForm(this, false);
    fdcMain->close();
    fdcMain->open();
    Logout();
}

void TfrmMain::FormClose() { SaveForm(this); }

void TfrmMain::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TfrmMain::acExitExecute()
{
    // Ends the event loop without closing the window, so no layout is saved.
    QCoreApplication::exit(0);
}

void TfrmMain::lblWelcomeClick() { Browse(helpUrl(QStringLiteral("/blog/welcome-to-veldra-accounting"))); }

void TfrmMain::showTab(QWidget* tab)
{
    QSignalBlocker block(pcMain);
    pcMain->setCurrentWidget(tab);
}

void TfrmMain::setTabShown(QWidget* tab, bool shown)
{
    QSignalBlocker block(pcMain);
    pcMain->setTabVisible(pcMain->indexOf(tab), shown);
}

// The members the design names, each handing over to its feature ----------------------

void TfrmMain::acLoginExecute()
{
    if (acLogin->text() == QLatin1String("Login")) {
        TfrmLogin frmLogin([this](int userId) { Login(userId); }, this);
        frmLogin.exec();
    } else {
        Logout();
    }
}

void TfrmMain::acCreateUserExecute()
{
    TfrmCreateUser frmCreateUser(this);
    frmCreateUser.exec();
}

void TfrmMain::acAccessExecute(QObject* Sender)
{
    // The administrator's own company list may have changed.
    if (openAccess(books(), qrAccess, this))
        RefreshFilters(Sender);
}

int TfrmMain::AccessToInt(const QString& Access) { return accessToInt(Access); }

bool TfrmMain::TestAccess(const QString& field, const QString& access)
{
    return m_session.TestAccess(field, access);
}

bool TfrmMain::TestSetupAccess() { return m_session.TestSetupAccess(); }

void TfrmMain::RefreshFilters(QObject* Sender)
{
    // One wait cursor for the whole refresh, not a flicker between its statements.
    WaitCursor wait;
    QElapsedTimer took;
    took.start();
    pnlFilters->refresh();
    if (pcMain->currentWidget() == tsTrialBalance)
        RefreshFilterstsTrialBalance(Sender);
    else if (pcMain->currentWidget() == tsJournalEntries)
        RefreshFilterstsJournalEntries(Sender);
    m_selection->announceChange();
    keepSelection();
    showStatus(took.elapsed());
}

void TfrmMain::findInShownTab(bool forward, bool again)
{
    const QString text = edtFind->text();
    if (!tbFind->isVisible() || text.isEmpty()) {
        lblFindResult->clear();
        return;
    }
    bool found = false;
    if (pcMain->currentWidget() == tsTrialBalance)
        found = tsTrialBalance->findRow(text, forward, again);
    else if (pcMain->currentWidget() == tsJournalEntries)
        found = tsJournalEntries->findRow(text, forward, again);
    lblFindResult->setText(found ? QString() : QStringLiteral("  Not found"));
}

namespace {
QString selectionKey(int userId)
{
    const Connection* c = Connection::current();
    return QStringLiteral("selection/%1/%2").arg(c ? c->database().databaseName() : QString()).arg(userId);
}
}

void TfrmMain::keepSelection()
{
    if (!m_session.loggedIn() || cbCompany->currentIndex() < 0)
        return;
    QSettings settings;
    const QString key = selectionKey(m_session.userId());
    settings.setValue(key + QStringLiteral("/company"), m_selection->companyBoxId());
    settings.setValue(key + QStringLiteral("/year"), m_selection->yearId());
    settings.setValue(key + QStringLiteral("/period"), m_selection->periodId());
}

std::optional<TfrmMain::KeptSelection> TfrmMain::keptSelection() const
{
    QSettings settings;
    const QString key = selectionKey(m_session.userId());
    if (!settings.contains(key + QStringLiteral("/company")))
        return std::nullopt;
    return KeptSelection{settings.value(key + QStringLiteral("/company")).toInt(),
        settings.value(key + QStringLiteral("/year")).toInt(),
        settings.value(key + QStringLiteral("/period")).toInt()};
}

void TfrmMain::restoreSelection(const std::optional<KeptSelection>& kept)
{
    if (!kept)
        return;
    const auto [company, year, period] = *kept;
    // Most logins land where the user left off: the login's own refresh has done the work.
    if (company == m_selection->companyBoxId() && year == m_selection->yearId()
        && period == m_selection->periodId())
        return;
    // All three or nothing: a company no longer allowed, a year or period removed leave
    // the choice the login made.
    chooseBooks(company, year, period);
}

bool TfrmMain::chooseBooks(int company, int year, int period)
{
    if (cbCompany->findData(company) < 0)
        return false;
    const QList<int> companies = company == 0 ? m_selection->companyIds() : QList<int>{company};
    const QList<ComboItem> years = YearStore::listedFor(companies);
    if (std::none_of(years.begin(), years.end(), [year](const ComboItem& y) { return y.id == year; }))
        return false;
    const QList<StoredPeriod> periods = PeriodStore::ofYear(year);
    if (std::none_of(
            periods.begin(), periods.end(), [period](const StoredPeriod& p) { return p.id == period; }))
        return false;
    selectId(cbCompany, company);
    pnlFilters->refreshYears();
    selectId(cbFinancialYear, year);
    pnlFilters->refreshPeriods();
    selectId(cbFinancialPeriod, period);
    RefreshFilters();
    return true;
}

void TfrmMain::showEntry(int companyId, const QString& companyName, qint64 number, const QDate& date)
{
    // Under "All" the entry is listed among the others; else its own company is chosen.
    const int company = m_selection->isAll() && m_selection->companyIds().contains(companyId) ? 0 : companyId;
    QList<int> yearIds;
    for (const ComboItem& y : YearStore::listedFor(QList<int>{companyId}))
        yearIds << y.id;
    const std::optional<StoredPeriod> period = PeriodStore::containing(date, yearIds);
    showTab(tsJournalEntries);
    if (!period || !chooseBooks(company, period->yearId, period->id)) {
        RefreshFilters();
        Boodskap(QStringLiteral("JE %1 of %2 lies in no financial period you can choose.")
                     .arg(number)
                     .arg(companyName));
        return;
    }
    tsJournalEntries->selectEntry(companyName, number);
    activateWindow();
    raise();
}

void TfrmMain::showStatus(qint64 milliseconds)
{
    lblStatusUser->setText(m_session.loggedIn() ? QStringLiteral("User: ") + m_session.loginName()
                                                : QStringLiteral("Not logged in"));
    const QSqlDatabase db = fdcMain->database();
    lblStatusServer->setText(QStringLiteral("Server: %1:%2").arg(db.hostName()).arg(db.port()));
    int rows = 0;
    if (pcMain->currentWidget() == tsTrialBalance)
        rows = sgTB->rowCount() - 1;
    else if (pcMain->currentWidget() == tsJournalEntries)
        rows = qrTransactions->recordCount();
    lblStatusRefresh->setText(pcMain->currentWidget() == tsWelcome
            ? QString()
            : QStringLiteral("%1 rows in %2 s")
                  .arg(rows)
                  .arg(QString::number(milliseconds / 1000.0, 'f', 2)));
}

void TfrmMain::RefreshFilterscbCompanies() { pnlFilters->refreshCompanies(); }

void TfrmMain::RefreshFilterscbFinancialYear() { pnlFilters->refreshYears(); }

int TfrmMain::RefreshFiltersSelectFinancialYear() { return pnlFilters->selectYearOfToday(); }

void TfrmMain::RefreshFilterscbFinancialPeriod() { pnlFilters->refreshPeriods(); }

void TfrmMain::RefreshFiltersFinancialPeriodInformation() { pnlFilters->refreshPeriodInformation(); }

QString TfrmMain::SelCompany() { return QString::number(m_selection->companyBoxId()); }

std::optional<int> TfrmMain::selectedCompanyId() const { return m_selection->companyId(); }

QList<int> TfrmMain::selectedCompanyIds() const { return m_selection->companyIds(); }

QStringList TfrmMain::companyCondition(const QString& column, bool leadingBlank) const
{
    return m_selection->companyCondition(column, leadingBlank);
}

void TfrmMain::RefreshFilterstsTrialBalance(QObject*)
{
    if (!tsTrialBalance->refresh())
        showTab(tsWelcome);
}

void TfrmMain::MaakTotaleOpNaBo(int RowCounter, int Col, const Money& NewValue)
{
    tsTrialBalance->MaakTotaleOpNaBo(RowCounter, Col, NewValue);
}

void TfrmMain::btnExportTrialBalanceClick(QObject*) { tsTrialBalance->exportTrialBalance(); }

void TfrmMain::RefreshFilterstsJournalEntries(QObject*)
{
    if (!tsJournalEntries->refresh())
        showTab(tsWelcome);
}

void TfrmMain::btnNewJournalEntryClick(QObject* Sender)
{
    if (tsJournalEntries->newJournalEntry())
        RefreshFilters(Sender);
}

void TfrmMain::acImportJournalEntriesExecute(QObject* Sender)
{
    // The journal list and the trial balance show what was imported.
    if (openImport(books(), this))
        RefreshFilters(Sender);
}

void TfrmMain::acCompaniesExecute(QObject* Sender)
{
    openCompanies(books(), qrCompanies, this);
    RefreshFilters(Sender);
}

void TfrmMain::acCostCentresExecute(QObject* Sender)
{
    if (openCostCentres(books(), qrCostCentres, this))
        RefreshFilters(Sender);
}

void TfrmMain::btnAccountsClick(QObject* Sender)
{
    if (openAccounts(books(), qrAccounts, *sgTB, this))
        RefreshFilters(Sender);
}

void TfrmMain::acFinancialYearsExecute(QObject* Sender)
{
    if (openFinancialYears(books(), qrFinancialYears, this))
        RefreshFilters(Sender);
}

// Reading the history and verifying the entries change nothing: no refresh follows.
void TfrmMain::acChangeHistoryExecute(QObject*) { openChangeHistory(books(), this); }

void TfrmMain::acVerifyJournalEntriesExecute(QObject*) { verifyJournalEntries(books(), this); }

void TfrmMain::lblFinancialPeriodClick(QObject* Sender)
{
    if (editSelectedYear(books(), this))
        RefreshFilters(Sender);
}
