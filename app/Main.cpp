#include "app/Main.h"

#include "db/Connection.h"
#include "db/Query.h"
#include "journal/JournalEntries.h"
#include "standard/DataGrid.h"
#include "standard/LinkLabel.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"
#include "standard/WaitCursor.h"
#include "trialbalance/TrialBalanceDrawing.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
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

namespace {
// Keeps a child at fixed distances from all four sides of its parent.
class AnchorAll : public QObject {
public:
    AnchorAll(QWidget* child, int right, int bottom)
        : QObject(child), m_child(child), m_right(right), m_bottom(bottom)
    {
        child->parentWidget()->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Resize) {
            QWidget* p = m_child->parentWidget();
            m_child->resize(std::max(50, p->width() - m_child->x() - m_right),
                std::max(50, p->height() - m_child->y() - m_bottom));
        }
        return false;
    }

private:
    QWidget* m_child;
    int m_right, m_bottom;
};

QPushButton* button(const char* name, const QString& caption, QWidget* parent, QRect r)
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setGeometry(r);
    return b;
}
}

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    frmMain = this;
    fdcMain = new Connection(this);
    for (auto [member, name] : {std::pair{&qrWP_Users, "qrWP_Users"}, {&qrWP_UserMeta, "qrWP_UserMeta"},
             {&qrAccess, "qrAccess"}, {&qrCompanies, "qrCompanies"}, {&qrFinancialYears, "qrFinancialYears"},
             {&qrFinancialPeriods, "qrFinancialPeriods"}, {&qrCostCentres, "qrCostCentres"},
             {&qrAccounts, "qrAccounts"}, {&qrObjects, "qrObjects"}, {&qrTransactions, "qrTransactions"},
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
}

void TfrmMain::buildWindow()
{
    resize(1046, 531);

    pnlFilters = named(new QWidget(cbMain), "pnlFilters");
    pnlFilters->setFixedHeight(54);
    cbMain->layout()->addWidget(pnlFilters);
    setMenuWidget(cbMain);

    auto combo = [this](const char* name, int left) {
        auto* c = named(new QComboBox(pnlFilters), name);
        c->setGeometry(left, 24, 200, 22);
        return c;
    };
    lblCompany = named(new LinkLabel(QStringLiteral("Company"), pnlFilters), "lblCompany");
    lblCompany->move(8, 8);
    cbCompany = combo("cbCompany", 8);
    lblFinancialYear = named(new LinkLabel(QStringLiteral("Financial Year"), pnlFilters), "lblFinancialYear");
    lblFinancialYear->move(214, 8);
    cbFinancialYear = combo("cbFinancialYear", 214);
    lblFinancialPeriod
        = named(new LinkLabel(QStringLiteral("Financial Period"), pnlFilters), "lblFinancialPeriod");
    lblFinancialPeriod->move(420, 8);
    cbFinancialPeriod = combo("cbFinancialPeriod", 420);
    // Tab reads the captions' line, then the boxes' line, each left to right.
    setTabOrder(lblCompany, lblFinancialYear);
    setTabOrder(lblFinancialYear, lblFinancialPeriod);
    setTabOrder(lblFinancialPeriod, cbCompany);
    setTabOrder(cbCompany, cbFinancialYear);
    setTabOrder(cbFinancialYear, cbFinancialPeriod);

    bDates = named(new QFrame(pnlFilters), "bDates");
    bDates->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bDates->setGeometry(626, 4, 199, 40);
    auto dateLabel = [this](const char* name, const QString& text, int top) {
        auto* l = named(new QLabel(text, pnlFilters), name);
        l->setGeometry(634, top, 185, 13);
        QFont f = l->font();
        f.setPixelSize(11);
        l->setFont(f);
        return l;
    };
    lblPeriodStartDate = dateLabel("lblPeriodStartDate", QStringLiteral("Period Start Date:"), 5);
    lblPeriodEndDate = dateLabel("lblPeriodEndDate", QStringLiteral("Period End Date:"), 17);
    lblPeriodOpen = dateLabel("lblPeriodOpen", QStringLiteral("Period Open:"), 30);

    pcMain = named(new QTabWidget(this), "pcMain");
    setCentralWidget(pcMain);

    tsWelcome = named(new QWidget, "tsWelcome");
    lblWelcome = named(new LinkLabel(QStringLiteral("Welcome to Veldra Accounting.  For instructions on how "
                                                    "to create your first company, please click here."),
                           tsWelcome),
        "lblWelcome");
    lblWelcome->move(17, 16);
    pcMain->addTab(tsWelcome, QStringLiteral("Welcome"));

    tsTrialBalance = named(new QWidget, "tsTrialBalance");
    btnAccounts = button("btnAccounts", QStringLiteral("Accounts"), tsTrialBalance, {8, 8, 154, 25});
    sgTB = named(new StringGrid(tsTrialBalance), "sgTB");
    sgTB->setGeometry(168, 8, 857, 407);
    sgTB->setColumnCount(10);
    sgTB->setRowCount(2);
    sgTB->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgTB->setItemDelegate(new TBDrawCellDelegate(sgTB));
    new AnchorAll(sgTB, 8, 8);
    btnExportTrialBalance = button(
        "btnExportTrialBalance", QStringLiteral("Export Trial Balance"), tsTrialBalance, {8, 39, 154, 25});
    btnExportTrialBalance->setIconSize(QSize(22, 21));
    btnExportTrialBalance->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    pcMain->addTab(tsTrialBalance, QStringLiteral("Trial Balance"));

    tsJournalEntries = named(new QWidget, "tsJournalEntries");
    btnNewJournalEntry = button(
        "btnNewJournalEntry", QStringLiteral("New Journal Entry"), tsJournalEntries, {8, 8, 154, 25});
    lblJournalEntryInfo = named(
        new QLabel(QStringLiteral("~ No journal entries ~"), tsJournalEntries), "lblJournalEntryInfo");
    lblJournalEntryInfo->move(240, 48);
    dbgJournalEntries = named(new DataGrid(tsJournalEntries), "dbgJournalEntries");
    dbgJournalEntries->setGeometry(169, 8, 856, 401);
    dbgJournalEntries->setQuery(qrTransactions);
    dbgJournalEntries->setColumns(journalEntriesColumns());
    new AnchorAll(dbgJournalEntries, 8, 8);
    pcMain->addTab(tsJournalEntries, QStringLiteral("Journal Entries"));

    // The window may not shrink past the whole filter bar, the whole tab captions and each
    // tab's buttons beside a grid of 50 pixels: the layouts make that its minimum size.
    pnlFilters->setMinimumWidth(
        std::max(bDates->geometry().right() + 1 + 8, pcMain->tabBar()->sizeHint().width()));
    for (QWidget* tab : {tsTrialBalance, tsJournalEntries}) {
        QRect used;
        for (QWidget* child : tab->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            used |= qobject_cast<QAbstractItemView*>(child) ? QRect(child->pos(), QSize(50, 50))
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
    on(lblFinancialYear, &LinkLabel::clicked, [this] { acFinancialYearsExecute(lblFinancialYear); });
    on(lblFinancialPeriod, &LinkLabel::clicked, [this] { lblFinancialPeriodClick(lblFinancialPeriod); });
    on(lblWelcome, &LinkLabel::clicked, [this] { lblWelcomeClick(); });
    on(btnAccounts, &QPushButton::clicked, [this] { btnAccountsClick(btnAccounts); });
    on(sgTB, &QAbstractItemView::doubleClicked, [this] { btnAccountsClick(sgTB); });
    on(btnExportTrialBalance, &QPushButton::clicked,
        [this] { btnExportTrialBalanceClick(btnExportTrialBalance); });
    on(btnNewJournalEntry, &QPushButton::clicked, [this] { btnNewJournalEntryClick(btnNewJournalEntry); });
    for (QComboBox* box : {cbCompany, cbFinancialYear, cbFinancialPeriod})
        on(box, &QComboBox::activated, [this, box] { RefreshFilters(box); });
    on(pcMain, &QTabWidget::currentChanged, [this] { RefreshFilters(pcMain); });
}

void TfrmMain::FormCreate()
{
    LoadForm(this);
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
