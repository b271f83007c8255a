#include "SetupTestHelpers.h"
#include "TestSupport.h"
#include "TrialBalanceTesting.h"

#include "app/Main.h"
#include "setup/Accounts.h"
#include "setup/Companies.h"
#include "setup/CostCentres.h"
#include "setup/FinancialYears.h"
#include "standard/Standard.h"
#include "users/Access.h"

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

// What every setup list window promises, checked once per window: a new window adds its
// row to the table.
namespace {
struct ListCase {
    // Leaves the world so that the window's list is empty; the filter bar is refreshed after.
    std::function<void(World&)> prepareEmpty;
    // Adds one row to the list the window shows.
    std::function<void(World&)> addRow;
    std::function<std::unique_ptr<ListWindow>(TfrmMain*)> open;
    QString emptyText; // empty: the window's list is never empty (it has no such label)
    QString editRefusal;
    bool keepsColumnWidths = true;
};

template <class Window>
std::function<std::unique_ptr<ListWindow>(TfrmMain*)> opener(Query* TfrmMain::*list)
{
    return [list](TfrmMain* w) { return std::unique_ptr<ListWindow>(new Window(w->books(), w->*list, w)); };
}

// The accounts window of the trial balance's current row.
std::function<std::unique_ptr<ListWindow>(TfrmMain*)> accountsOpener()
{
    return [](TfrmMain* w) {
        return std::unique_ptr<ListWindow>(
            new TfrmAccounts(w->books(), w->qrAccounts, trialBalanceObjectAt(*w->sgTB), w));
    };
}

// A company the user administers, selected in the filter bar.
void selectedCompany(World& x)
{
    const int id = x.company("Alpha Farms");
    x.w.Login(x.user);
    selectId(x.w.cbCompany, id);
}

QMap<QString, ListCase> cases()
{
    return {
        {"companies",
            {[](World& x) { x.w.Login(x.user); }, [](World& x) { x.company("Zulu Traders"); },
                opener<TfrmCompanies>(&TfrmMain::qrCompanies), "~ No companies exist ~",
                "First create a company."}},
        {"cost centres",
            {selectedCompany,
                [](World& x) { x.db.addCostCentre(selectedId(x.w.cbCompany), 100, "Head Office"); },
                opener<TfrmCostCentres>(&TfrmMain::qrCostCentres), "~ No cost centres exist for company ~",
                "No cost centre selected."}},
        // The trial balance's current row names the object whose accounts are listed.
        {"accounts",
            {[](World& x) {
                 selectedCompany(x);
                 x.db.addCostCentre(selectedId(x.w.cbCompany), 100, "Head Office");
                 x.db.addObject(11100, "Cash", "Balance Sheet", 1, "Yes");
                 showTrialBalance(x.w);
                 selectRow(*x.w.sgTB, "11100", "");
             },
                [](World& x) {
                    x.db.exec("INSERT INTO accounts (`cost centre id`, `object id`, `account description`) "
                              "SELECT c.id, o.id, 'Cash' FROM `cost centres` c, objects o");
                },
                accountsOpener(), "~ No accounts exist for this object ~", "Please select an account.",
                false}},
        {"access",
            {selectedCompany,
                [](World& x) {
                    x.db.addAccess(
                        x.db.addUser("bob", "bob@example.com", "secret"), selectedId(x.w.cbCompany));
                },
                opener<TfrmAccess>(&TfrmMain::qrAccess), QString(), QString()}},
        {"financial years",
            {selectedCompany,
                [](World& x) { x.db.addYear(selectedId(x.w.cbCompany), "FY2017", QDate(2017, 3, 1)); },
                opener<TfrmFinancialYears>(&TfrmMain::qrFinancialYears), "~ No financial years exist ~",
                "First select a financial year."}},
    };
}
}

class TestSetupLists : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }

    void windows_data()
    {
        QTest::addColumn<QString>("window");
        for (const QString& name : cases().keys())
            QTest::newRow(qPrintable(name)) << name;
    }

    void emptyListShowsItsLabelAndRefusesEdit_data()
    {
        QTest::addColumn<QString>("window");
        const QMap<QString, ListCase> all = cases();
        for (auto c = all.begin(); c != all.end(); ++c)
            if (!c->emptyText.isEmpty())
                QTest::newRow(qPrintable(c.key())) << c.key();
    }
    void emptyListShowsItsLabelAndRefusesEdit()
    {
        QFETCH(QString, window);
        const ListCase c = cases().value(window);
        World x;
        c.prepareEmpty(x);
        // Another user's rows are never this user's.
        const int other = x.db.addUser("bob", "bob@example.com", "secret");
        x.db.addAccess(other, x.db.addCompany("Bob's Books"));
        auto list = c.open(&x.w);
        QVERIFY(!list->grid()->isVisibleTo(list.get()));
        QVERIFY(list->emptyLabel()->isVisibleTo(list.get()));
        QCOMPARE(list->emptyLabel()->text(), c.emptyText);

        auto modal = onNextModal();
        list->editButton()->click();
        QCOMPARE(x.log.messages, QStringList{c.editRefusal});
        QCoreApplication::processEvents();
        QVERIFY(!modal->ran);
    }

    // Those that keep them; the others leave no layout file behind.
    void columnWidthsAreKeptWhenTheWindowCloses_data() { windows_data(); }
    void columnWidthsAreKeptWhenTheWindowCloses()
    {
        QFETCH(QString, window);
        const ListCase c = cases().value(window);
        World x;
        c.prepareEmpty(x);
        c.addRow(x);
        int column = -1;
        {
            auto list = c.open(&x.w);
            list->show();
            QHeaderView* header = list->grid()->horizontalHeader();
            column = header->logicalIndex(header->count() - 1);
            while (list->grid()->isColumnHidden(column))
                column = header->logicalIndex(header->visualIndex(column) - 1);
            header->resizeSection(column, 333);
            list->close();
        }
        auto again = c.open(&x.w);
        QCOMPARE(QFile::exists(layoutDir() + again->grid()->objectName() + ".txt"), c.keepsColumnWidths);
        QCOMPARE(again->grid()->columnWidth(column) == 333, c.keepsColumnWidths);
    }
};

QTEST_MAIN(TestSetupLists)
#include "tst_setuplists.moc"
