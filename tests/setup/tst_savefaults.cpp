#include "../journal/JournalTesting.h"
#include "FaultProxy.h"
#include "SetupTestHelpers.h"
#include "TestSupport.h"

#include "app/Main.h"
#include "db/Query.h"
#include "journal/JournalEntry.h"
#include "setup/Companies.h"
#include "setup/Company.h"
#include "setup/CostCentre.h"
#include "setup/CostCentres.h"
#include "setup/FinancialYear.h"
#include "setup/FinancialYears.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"
#include "users/Access.h"
#include "users/AccessAddUser.h"
#include "users/CreateUser.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <memory>

// The edit dialogs against what a network and other workstations do while they save:
// a lost reply to COMMIT, a row changed meanwhile. (A value another workstation takes
// meanwhile is tested with each dialog.)
namespace {
const QString changedMessage
    = " was changed by another user since you opened it. Close this window and open it again to see the change.";

// A logged-in administrator of Alpha (selected) with cost centre 10 "Sales", working
// through a proxy that can lose the connection at a commit.
struct ProxyWorld {
    TestDatabase db;
    std::unique_ptr<FaultProxy> proxy;
    std::unique_ptr<TfrmMain> w;
    MessageLog log;
    int user = 0, alpha = 0, sales = 0;

    ProxyWorld()
    {
        proxy = std::make_unique<FaultProxy>(db.settings());
        SetConnectionSettings(proxy->settings());
        w = std::make_unique<TfrmMain>();
        user = db.addUser("ann", "ann@example.com", "secret");
        alpha = db.addCompany("Alpha Farms");
        db.addAccess(user, alpha);
        sales = db.addCostCentre(alpha, 10, "Sales");
        w->Login(user);
        selectId(w->cbCompany, alpha);
    }
    ~ProxyWorld()
    {
        w.reset(); // the program's connection goes before the network under it
        proxy.reset();
    }
    QStringList companies() const { return db.texts("SELECT `company name` FROM companies ORDER BY id"); }
    QStringList costCentres() const
    {
        return db.texts(
            "SELECT `cost centre number`, `cost centre description` FROM `cost centres` ORDER BY id");
    }
};

// The company or cost-centre dialog of the list window, in its new or edit mode, with
// the list's row of the edited one selected (as the edit button leaves it).
struct Dialogs {
    ProxyWorld& x;
    std::unique_ptr<TfrmCompanies> companies;
    std::unique_ptr<TfrmCostCentres> costCentres;
    std::unique_ptr<EditDialog> dialog;
    LabeledEdit* first = nullptr; // company name / cost centre number
    LabeledEdit* second = nullptr; // cost centre description

    Dialogs(ProxyWorld& world, const QString& kind, bool edit) : x(world)
    {
        if (kind == "company") {
            companies = std::make_unique<TfrmCompanies>(x.w->books(), x.w->qrCompanies, x.w.get());
            auto* d = new TfrmCompany(companies.get());
            dialog.reset(d);
            first = d->edtCompanyName;
            if (edit) {
                x.w->qrCompanies->locate("id", x.alpha);
                d->setWindowTitle(TfrmCompany::EditCaption);
                first->setText(x.w->qrCompanies->asString("company name"));
            }
        } else {
            costCentres = std::make_unique<TfrmCostCentres>(x.w->books(), x.w->qrCostCentres, x.w.get());
            auto* d = new TfrmCostCentre(costCentres.get());
            dialog.reset(d);
            first = d->edtCostCentreNumber;
            second = d->edtCostCentreDescription;
            if (edit) {
                x.w->qrCostCentres->locate("id", x.sales);
                d->setWindowTitle(TfrmCostCentre::EditCaption);
                first->setText(x.w->qrCostCentres->asString("cost centre number"));
                second->setText(x.w->qrCostCentres->asString("cost centre description"));
            }
        }
    }
    ~Dialogs() { dialog.reset(); }
    void type(const QString& a, const QString& b = {})
    {
        first->setText(a);
        if (second)
            second->setText(b);
    }
};
}

class TestSaveFaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }

    // The connection is lost at the commit: when the server committed before the reply
    // was lost, the dialog closes as after any save, with the row written once; when the
    // COMMIT never arrived, nothing is written and the dialog's own failure shows.
    void lostCommit_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("edit");
        QTest::addColumn<bool>("committed");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<bool>("closed");
        const QStringList companiesBefore{"Alpha Farms"}, centresBefore{"10 Sales"};
        const QStringList companyFailed{"Company could not be saved.  Please try again."};
        QTest::newRow("new company, committed")
            << "company" << false << true << QStringList{"Alpha Farms", "Beta Trading"} << QStringList()
            << QStringList() << true;
        QTest::newRow("new company, not committed")
            << "company" << false << false << companiesBefore << companyFailed << QStringList() << true;
        QTest::newRow("renamed company, committed")
            << "company" << true << true << QStringList{"Beta Trading"} << QStringList() << QStringList()
            << true;
        QTest::newRow("renamed company, not committed")
            << "company" << true << false << companiesBefore << companyFailed << QStringList() << true;
        QTest::newRow("new cost centre, committed")
            << "cost centre" << false << true << QStringList{"10 Sales", "20 Beta Trading"} << QStringList()
            << QStringList() << true;
        // Cost centres leave a database error to the general handling, the dialog open.
        QTest::newRow("new cost centre, not committed") << "cost centre" << false << false << centresBefore
                                                        << QStringList() << QStringList{"lost"} << false;
        QTest::newRow("changed cost centre, committed")
            << "cost centre" << true << true << QStringList{"20 Beta Trading"} << QStringList()
            << QStringList() << true;
        QTest::newRow("changed cost centre, not committed") << "cost centre" << true << false << centresBefore
                                                            << QStringList() << QStringList{"lost"} << false;
    }
    void lostCommit()
    {
        QFETCH(QString, kind);
        QFETCH(bool, edit);
        QFETCH(bool, committed);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, errors);
        QFETCH(bool, closed);
        ProxyWorld x;
        Dialogs d(x, kind, edit);
        d.type(kind == "company" ? "Beta Trading" : "20", "Beta Trading");
        x.proxy->arm(committed ? FaultProxy::Fault::LoseCommitReply : FaultProxy::Fault::LoseCommit);
        d.dialog->okButton()->click();
        QVERIFY(x.proxy->fired());
        QCOMPARE(x.log.messages, messages);
        QCOMPARE(x.log.errors.size(), errors.size());
        QCOMPARE(d.dialog->result() == QDialog::Accepted, closed);
        QCOMPARE(kind == "company" ? x.companies() : x.costCentres(), rows);
        if (kind == "company" && committed && !edit)
            QCOMPARE(x.db.scalar("SELECT COUNT(*) FROM access").toInt(), 2); // with its access row
        if (committed) {
            // The saved row is the list's selected one, as after any save.
            Query* list = kind == "company" ? x.w->qrCompanies : x.w->qrCostCentres;
            QCOMPARE(list->asString(kind == "company" ? "company name" : "cost centre description"),
                QStringLiteral("Beta Trading"));
        }
    }

    // Adding a user to a company is a save like any other: when the reply to its COMMIT is
    // lost after the server committed, the row is there once and the dialog closes on it;
    // when the COMMIT never arrived, nothing is written and the dialog stays open.
    void addUserLostCommit_data()
    {
        QTest::addColumn<bool>("committed");
        QTest::newRow("committed") << true;
        QTest::newRow("not committed") << false;
    }
    void addUserLostCommit()
    {
        QFETCH(bool, committed);
        ProxyWorld x;
        const int bob = x.db.addUser("bob", "bob@example.com", "secret");
        TfrmAccess list(x.w->books(), x.w->qrAccess, x.w.get());
        TfrmAccessAddUser add(&list);
        add.edtUsername->setText("bob");
        x.proxy->arm(committed ? FaultProxy::Fault::LoseCommitReply : FaultProxy::Fault::LoseCommit);
        guarded([&] { add.btnOk->click(); });
        QVERIFY(x.proxy->fired());
        const int rows
            = x.db.scalar(QStringLiteral("SELECT COUNT(*) FROM access WHERE `wp_user id` = %1").arg(bob))
                  .toInt();
        QCOMPARE(rows, committed ? 1 : 0);
        QCOMPARE(add.result() == QDialog::Accepted, committed);
        QVERIFY(x.log.messages.isEmpty());
        QCOMPARE(x.log.errors.size(), committed ? 0 : 1); // the general error handling says it
        if (committed)
            QCOMPARE(x.w->qrAccess->asInteger("wp_user id"), bob);
    }

    // An edited financial year whose COMMIT reply is lost after the server committed: the
    // dialog finds its year and periods as it wrote them and closes as saved; when the
    // COMMIT never arrived, it says the year could not be saved and keeps what was typed.
    void editedYearLostCommit_data()
    {
        QTest::addColumn<bool>("committed");
        QTest::newRow("committed") << true;
        QTest::newRow("not committed") << false;
    }
    void editedYearLostCommit()
    {
        QFETCH(bool, committed);
        ProxyWorld x;
        const int year = x.db.addYear(x.alpha, "FY2017", QDate(2017, 3, 1));
        TfrmFinancialYears list(x.w->books(), x.w->qrFinancialYears, x.w.get());
        TfrmFinancialYear dialog(&list, &list);
        dialog.setWindowTitle(TfrmFinancialYear::EditCaption);
        dialog.FinancialYearID = year;
        dialog.LoadEdit();
        dialog.edtFinancialYearDescription->setText("FY 2017/18");
        dialog.sg->setCell(3, 2, "April");
        x.proxy->arm(committed ? FaultProxy::Fault::LoseCommitReply : FaultProxy::Fault::LoseCommit);
        dialog.btnOkClick();
        QVERIFY(x.proxy->fired());
        QCOMPARE(x.log.messages,
            committed ? QStringList() : QStringList{"Financial year could not be saved.  Please try again."});
        QCOMPARE(dialog.result() == QDialog::Accepted, committed);
        QCOMPARE(x.db.texts(QStringLiteral("SELECT `financial year description` FROM `financial years`")),
            QStringList{committed ? "FY 2017/18" : "FY2017"});
        QCOMPARE(x.db.scalar(QStringLiteral("SELECT `period description` FROM `financial periods` WHERE "
                                            "`period number` = 2"))
                     .toString(),
            QString(committed ? "April" : "Apr 2017"));
    }

    // The reply to a new row's COMMIT is lost and the server cannot be asked what it holds:
    // the user is told the truth, that the save is not confirmed. OK again, once the server
    // answers, stores nothing a second time: the save's key shows the first save is in,
    // before any check could call what it wrote "already in use".
    void unconfirmedSaveIsNotStoredTwice_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("stored"); // what the save wrote, as one line per row
        QTest::newRow("journal entry") << "entry"
                                       << "SELECT CONCAT(`transaction number`, ' ', `transaction "
                                          "description`, ' ', (SELECT COUNT(*) FROM `transaction details`)) "
                                          "FROM transactions";
        QTest::newRow("new year") << "year"
                                  << "SELECT CONCAT(`financial year description`, ' ', (SELECT COUNT(*) "
                                     "FROM `financial periods`)) FROM `financial years` WHERE "
                                     "`financial year description` = 'FY2027'";
        QTest::newRow("registration")
            << "registration"
            << "SELECT CONCAT(user_login, ' ', (SELECT COUNT(*) FROM wp_usermeta u "
               "WHERE u.user_id = wp_users.ID)) FROM wp_users WHERE user_login = 'zed'";
    }
    void unconfirmedSaveIsNotStoredTwice()
    {
        QFETCH(QString, window);
        QFETCH(QString, stored);
        SetClockForTesting(QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
        const auto clock = qScopeGuard([] { SetClockForTesting({}); });
        ProxyWorld x;
        x.db.addAccount(x.sales, x.db.addObject(200, "Bank", "Balance Sheet", 1), "Bank");
        x.db.addAccount(x.sales, x.db.addObject(300, "Sales", "Income Statement", 1), "Sales");
        x.db.addYear(x.alpha, "FY2026", QDate(2026, 1, 1));
        x.w->RefreshFilters();
        choose(x.w->cbFinancialPeriod, "Dec 2026");
        TfrmFinancialYears list(x.w->books(), x.w->qrFinancialYears, x.w.get());
        std::unique_ptr<EditDialog> dialog;
        QString expected;
        if (window == "entry") {
            auto f = std::make_unique<TfrmJournalEntry>(x.w->books(), x.w.get());
            f->edtJournalEntryDescription->setText("Cash sale");
            typeLine(*f, 1, "10.200", "Deposit", "150.25");
            typeLine(*f, 2, "10.300", "Sale", "-150.25");
            dialog = std::move(f);
            expected = "11 Cash sale 2";
        } else if (window == "year") {
            auto f = std::make_unique<TfrmFinancialYear>(&list, &list);
            f->setWindowTitle(TfrmFinancialYear::NewCaption);
            f->CompanyID = x.alpha;
            f->edtFinancialYearDescription->setText("FY2027");
            f->dtpStartDate->setDate(QDate(2027, 1, 1));
            f->btnCalculateClick();
            dialog = std::move(f);
            expected = "FY2027 24";
        } else {
            auto f = std::make_unique<TfrmCreateUser>(x.w.get());
            f->edtUsername->setText("zed");
            f->edtEmail->setText("zed@example.com");
            f->edtPassword->setText("secret");
            dialog = std::move(f);
            expected = "zed 2";
        }
        dialog->show();
        x.log.clear(); // "overwrite existing values?", answered yes
        x.proxy->arm(FaultProxy::Fault::LoseCommitReplyAndServer);
        dialog->okButton()->click();
        QVERIFY(x.proxy->fired());
        QCOMPARE(x.log.messages, QStringList{EditDialog::UnconfirmedSave});
        QVERIFY(dialog->result() != QDialog::Accepted);
        QCOMPARE(x.db.texts(stored), QStringList{expected});

        x.proxy->restore();
        x.log.clear();
        dialog->okButton()->click();
        QCOMPARE(x.log.messages, QStringList{EditDialog::ConfirmedSave});
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(x.db.texts(stored), QStringList{expected});
        if (window == "year")
            QCOMPARE(x.w->qrFinancialYears->asString("financial year description"), QStringLiteral("FY2027"));
    }

    // Another workstation changed the row after the dialog was filled: nothing is written,
    // the dialog says so and stays open. Also when the other save is still running as
    // ours starts: ours waits for it and then sees its change.
    void changedMeanwhile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("stillRunning");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("company renamed") << "company"
                                         << "UPDATE companies SET `company name` = 'Alpha Holdings'" << false
                                         << "Company" << QStringList{"Alpha Holdings"};
        QTest::newRow("company renamed in letter case only")
            << "company"
            << "UPDATE companies SET `company name` = 'ALPHA FARMS'" << false << "Company"
            << QStringList{"ALPHA FARMS"};
        QTest::newRow("company renamed, still saving")
            << "company"
            << "UPDATE companies SET `company name` = 'Alpha Holdings'" << true << "Company"
            << QStringList{"Alpha Holdings"};
        QTest::newRow("cost centre description")
            << "cost centre"
            << "UPDATE `cost centres` SET `cost centre description` = 'Sales and Marketing'" << false
            << "Cost centre" << QStringList{"10 Sales and Marketing"};
        QTest::newRow("cost centre number, still saving")
            << "cost centre"
            << "UPDATE `cost centres` SET `cost centre number` = 11" << true << "Cost centre"
            << QStringList{"11 Sales"};
    }
    void changedMeanwhile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, change);
        QFETCH(bool, stillRunning);
        QFETCH(QString, what);
        QFETCH(QStringList, rows);
        ProxyWorld x;
        Dialogs d(x, kind, true);
        // A changes only the number (or the name); B's other change must survive.
        if (kind == "company")
            d.type("Alpha Farming");
        else
            d.type("12", "Sales");
        std::unique_ptr<LockHolder> other;
        if (stillRunning)
            other = std::make_unique<LockHolder>(x.db, QStringList{change});
        else
            x.db.exec(change);
        d.dialog->okButton()->click();
        if (other) {
            other->join();
            QVERIFY(other->sawWaiter()); // ours waited for the other save to end
        }
        QCOMPARE(x.log.messages, QStringList{what + changedMessage});
        QVERIFY(x.log.errors.isEmpty());
        QVERIFY(d.dialog->result() != QDialog::Accepted);
        QCOMPARE(kind == "company" ? x.companies() : x.costCentres(), rows);
    }
};

QTEST_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
