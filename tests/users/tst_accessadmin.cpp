#include "SetupTestHelpers.h"
#include "TestSupport.h"

#include "app/Main.h"
#include "db/Query.h"
#include "standard/LabeledEdit.h"
#include "standard/LinkLabel.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"
#include "users/Access.h"
#include "users/AccessAddUser.h"
#include "users/ChangeUserAccess.h"
#include "users/CreateUser.h"
#include "users/Login.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {
// Ann (the user) administers Alpha Farms, where Carol has a row with the company taken
// away; Bob is registered but has no row yet. Ann is logged in with Alpha Farms selected.
struct AccessWorld : World {
    int bob = db.addUser("bob", "Bob@Example.com", "secret");
    int carol = db.addUser("carol", "carol@example.com", "secret");
    int alpha = company("Alpha Farms");
    AccessWorld()
    {
        db.addAccess(carol, alpha, "No", "No", "View", "Create");
        w.Login(user);
        selectId(w.cbCompany, alpha);
    }
    // The user's row on Alpha Farms: access company, administrator, both levels.
    QStringList row(int who) const
    {
        QStringList out;
        for (const auto& r :
            db.rows(QStringLiteral("SELECT `access company`, administrator, `trial balance`, "
                                   "`journal entries` FROM access WHERE `company id` = %1 "
                                   "AND `wp_user id` = %2")
                        .arg(alpha)
                        .arg(who)))
            for (const QVariant& v : r)
                out << v.toString();
        return out;
    }
    int rows() const { return db.scalar("SELECT COUNT(*) FROM access").toInt(); }
    QString selectedLogin() const { return w.qrAccess->asString("user_login"); }
    void select(TfrmAccess& list, int user)
    {
        QVERIFY(w.qrAccess->locate("wp_user id", user));
        QCOMPARE(list.dbgAccess->currentIndex().row(), w.qrAccess->currentRow());
    }
};

const QString AlreadyAdded = "The user was already added to the company.";
const QString NotFound = "Username / Email not found.  Please check details or create the user first.";
}

class TestAccessAdministration : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }

    // The menu opens the window on the selected company; while it is open another
    // workstation gives Ann a new company, which her filter bar shows once it closes.
    void menuOpensTheCompanysListAndTheFilterBarFollows()
    {
        AccessWorld x;
        LinkCatcher urls;
        QList<QStringList> shown;
        auto window = onNextModal([&](QDialog* d) {
            auto* list = qobject_cast<TfrmAccess*>(d);
            QVERIFY(list);
            QCOMPARE(list->size(), QSize(777, 393));
            QCOMPARE(list->btnAddUser->text(), QStringLiteral("Add user"));
            QCOMPARE(list->btnChangeUserAccess->text(), QStringLiteral("Change User Access"));
            QCOMPARE(shownTitles(list->dbgAccess),
                (QStringList{"Username", "Email", "Access Company", "Administrator", "Trial Balance",
                    "Journal Entries"}));
            shown = shownRows(list->dbgAccess);
            QCOMPARE(list->lblBibleVerseLink->text(), QStringLiteral("John 14:6"));
            QVERIFY(list->lblVerse->text().contains("I am the way, the truth, and the life"));
            QVERIFY(textFits(list->lblVerse));
            QTest::mouseClick(list->lblHelp, Qt::LeftButton);
            QTest::mouseClick(list->lblBibleVerseLink, Qt::LeftButton);
            x.db.addAccess(x.user, x.db.addCompany("Gamma Mills"));
        });
        x.w.acAccess->trigger();
        QVERIFY(window->ran);
        QCOMPARE(window->title, QStringLiteral("Access - Alpha Farms"));
        std::sort(shown.begin(), shown.end());
        QCOMPARE(shown,
            (QList<QStringList>{{"ann", "ann@example.com", "Yes", "Yes", "View", "View"},
                {"carol", "carol@example.com", "No", "No", "View", "Create"}}));
        QCOMPARE(urls.urls.size(), 2);
        QVERIFY(urls.urls[0].toString().endsWith("/help/blog/access.html"));
        QVERIFY(QFile::exists(databaseFile("../docs/help/blog/access.html")));
        QCOMPARE(urls.urls[1].toString(), verseUrl("/john/14-6.htm"));
        QVERIFY(x.w.cbCompany->findText("Gamma Mills") >= 0);
        QVERIFY(x.log.messages.isEmpty());
    }

    void openingNeedsAnAdministrator()
    {
        AccessWorld x;
        x.db.exec(
            QStringLiteral("UPDATE access SET administrator = 'No' WHERE `wp_user id` = %1").arg(x.user));
        auto window = onNextModal();
        x.w.acAccess->trigger();
        QCoreApplication::processEvents();
        QVERIFY(!window->ran);
        QCOMPARE(x.log.messages, QStringList{"You need administrator access to use this function."});
    }

    // Found by login name or by e-mail address (the server compares without case): the
    // row offers the company, no administrator and no levels, and is the selected line.
    void addsAUser_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("by name") << "bob";
        QTest::newRow("by e-mail") << "bob@example.com";
    }

    void addsAUser()
    {
        QFETCH(QString, typed);
        AccessWorld x;
        TfrmAccess list(x.w.books(), x.w.qrAccess, &x.w);
        auto dialog = onNextModal([&](QDialog* d) {
            auto* add = qobject_cast<TfrmAccessAddUser*>(d);
            QVERIFY(add);
            QCOMPARE(add->windowTitle(), QStringLiteral("Access - Add User"));
            QCOMPARE(add->size(), QSize(233, 112));
            QCOMPARE(add->gbLoginDetails->title(), QStringLiteral("User details"));
            QCOMPARE(add->edtUsername->editLabel()->text(), QStringLiteral("Username / Email"));
            QVERIFY(QTest::qWaitForWindowActive(add));
            QCOMPARE(QApplication::focusWidget(), add->edtUsername);
            QTest::keyClicks(add->edtUsername, typed);
            QTest::keyClick(add->edtUsername, Qt::Key_Return);
            QVERIFY(!add->isVisible());
        });
        list.btnAddUser->click();
        QVERIFY(dialog->ran);
        QVERIFY2(x.log.messages.isEmpty(), qPrintable(x.log.messages.join('|')));
        QCOMPARE(x.row(x.bob), (QStringList{"Yes", "No", "No access", "No access"}));
        QCOMPARE(x.selectedLogin(), QStringLiteral("bob"));
        QCOMPARE(list.dbgAccess->currentIndex().row(), x.w.qrAccess->currentRow());
        QCOMPARE(shownRows(list.dbgAccess).size(), 3);
        // Bob's new row gives him the company and levels the rights checks can read.
        x.w.Logout();
        x.w.Login(x.bob);
        QVERIFY(selectId(x.w.cbCompany, x.alpha));
        QVERIFY(!x.w.TestAccess("trial balance", "view"));
        QVERIFY(x.log.messages.isEmpty());
    }

    void addRefusals_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("too short")
            << "bo"
            << "The value you supplied for Username / Email is not valid.\r -  The value "
               "must contain at least 3 characters and not any leading zeros or spaces.";
        QTest::newRow("unknown") << "robert" << NotFound;
        QTest::newRow("already added") << "ann" << AlreadyAdded;
        QTest::newRow("already added, company cleared") << "carol@example.com" << AlreadyAdded;
    }

    void addRefusals()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        AccessWorld x;
        TfrmAccess list(x.w.books(), x.w.qrAccess, &x.w);
        TfrmAccessAddUser add(&list);
        add.show();
        QVERIFY(QTest::qWaitForWindowActive(&add));
        add.btnOk->setFocus();
        add.edtUsername->setText(typed);
        add.btnOk->click();
        QCOMPARE(x.log.messages, QStringList{message});
        QVERIFY(add.isVisible());
        QCOMPARE(QApplication::focusWidget(), add.edtUsername);
        QCOMPARE(add.edtUsername->text(), typed);
        QCOMPARE(x.rows(), 2);
        add.close();
    }

    // One user's login name is another's e-mail address: the older account is added.
    void addTakesTheLowestIdOfSeveralMatches()
    {
        AccessWorld x;
        const int older = x.db.addUser("dave", "shared@example.com", "secret");
        const int newer = x.db.addUser("shared@example.com", "erin@example.com", "secret");
        TfrmAccess list(x.w.books(), x.w.qrAccess, &x.w);
        TfrmAccessAddUser add(&list);
        add.edtUsername->setText("shared@example.com");
        add.btnOkClick();
        QVERIFY(x.log.messages.isEmpty());
        QCOMPARE(x.row(older).size(), 4);
        QVERIFY(x.row(newer).isEmpty());
    }

    // Another administrator adds Bob at the same moment and has not committed when OK is
    // pressed: the check cannot see that row, the table's unique key refuses the second.
    void concurrentAddIsRefused()
    {
        AccessWorld x;
        TfrmAccess list(x.w.books(), x.w.qrAccess, &x.w);
        TfrmAccessAddUser add(&list);
        add.show();
        add.edtUsername->setText("bob");
        LockHolder other(x.db,
            {QStringLiteral("INSERT INTO access (`company id`, `wp_user id`, `access company`, "
                            "administrator) VALUES (%1, %2, 'Yes', 'Yes')")
                    .arg(x.alpha)
                    .arg(x.bob)});
        add.btnOk->click();
        other.join();
        QVERIFY2(other.sawWaiter(), "the program did not wait for the other writer");
        QCOMPARE(x.log.messages, QStringList{AlreadyAdded});
        QVERIFY(x.log.errors.isEmpty());
        QVERIFY(add.isVisible());
        QCOMPARE(x.row(x.bob), (QStringList{"Yes", "Yes", "No access", "No access"}));
        // The list shows the row the other administrator made.
        QCOMPARE(x.selectedLogin(), QStringLiteral("bob"));
        add.close();
    }

    void ownLineIsRefused_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("button") << false;
        QTest::newRow("double click") << true;
    }

    void ownLineIsRefused()
    {
        QFETCH(bool, doubleClick);
        AccessWorld x;
        TfrmAccess list(x.w.books(), x.w.qrAccess, &x.w);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        auto change = [&] {
            if (!doubleClick) {
                auto modal = onNextModal();
                list.btnChangeUserAccess->click();
                return modal;
            }
            // Apart from the clicks before, so the two clicks make one double click only.
            QTest::qWait(QApplication::doubleClickInterval() + 50);
            auto modal = onNextModal();
            QWidget* cells = list.dbgAccess->viewport();
            const QPoint at = list.dbgAccess->visualRect(list.dbgAccess->currentIndex()).center();
            QTest::mouseClick(cells, Qt::LeftButton, {}, at);
            QTest::mouseDClick(cells, Qt::LeftButton, {}, at);
            return modal;
        };
        x.select(list, x.user);
        auto dialog = change();
        QCoreApplication::processEvents();
        QVERIFY(!dialog->ran);
        QCOMPARE(x.log.messages, QStringList{"You cannot change your own access."});

        // Another user's line opens the dialog, by the same way.
        x.log.clear();
        x.select(list, x.carol);
        auto other = change();
        QVERIFY(other->ran);
        QCOMPARE(other->title, QStringLiteral("Change User Access"));
        QVERIFY(x.log.messages.isEmpty());
    }

    void changeDialogShowsTheRow()
    {
        AccessWorld x;
        dropAccessChecks(x.db);
        x.db.exec(QStringLiteral("UPDATE access SET `trial balance` = 'POST', `journal entries` = 'create' "
                                 "WHERE `wp_user id` = %1")
                      .arg(x.carol));
        TfrmAccess list(x.w.books(), x.w.qrAccess, &x.w);
        x.select(list, x.carol);
        TfrmChangeUserAccess dlg(&list);
        QCOMPARE(dlg.size(), QSize(202, 271));
        QCOMPARE(dlg.lblUser->text(), QStringLiteral("User: carol"));
        QCOMPARE(dlg.gbMainAccess->title(), QStringLiteral("Main access"));
        QCOMPARE(dlg.gbAccessItems->title(), QStringLiteral("Access items"));
        QVERIFY(!dlg.cbAccessCompany->isChecked());
        QVERIFY(!dlg.cbAdministrator->isChecked());
        const QStringList levels{"No access", "View", "Create", "Post"};
        for (QComboBox* box : {dlg.cbTrialBalance, dlg.cbJournalEntries}) {
            QStringList items;
            for (int i = 0; i < box->count(); ++i)
                items << box->itemText(i);
            QCOMPARE(items, levels);
            QVERIFY(!box->isEditable());
        }
        QCOMPARE(dlg.cbTrialBalance->currentText(), QStringLiteral("Post"));
        QCOMPARE(dlg.cbJournalEntries->currentText(), QStringLiteral("Create"));
        QVERIFY(dlg.Button1->isDefault());
        QCOMPARE(dlg.Button1->text(), QStringLiteral("OK"));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(QApplication::focusWidget(), dlg.cbAccessCompany);
        QCOMPARE(TabChain(5),
            (QList<QWidget*>{dlg.cbAdministrator, dlg.cbTrialBalance, dlg.cbJournalEntries, dlg.Button1,
                dlg.cbAccessCompany}));
    }

    // The four settings as stored, and the line stays selected.
    void changeStoresTheFourSettings_data()
    {
        QTest::addColumn<bool>("company");
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<QString>("trialBalance");
        QTest::addColumn<QString>("journalEntries");
        QTest::newRow("all granted") << true << true << "Post"
                                     << "Create";
        QTest::newRow("all taken") << false << false << "No access"
                                   << "No access";
        QTest::newRow("viewer") << true << false << "View"
                                << "View";
    }

    void changeStoresTheFourSettings()
    {
        QFETCH(bool, company);
        QFETCH(bool, administrator);
        QFETCH(QString, trialBalance);
        QFETCH(QString, journalEntries);
        AccessWorld x;
        x.db.addAccess(x.bob, x.alpha, "Yes", "No", "Create", "View");
        TfrmAccess list(x.w.books(), x.w.qrAccess, &x.w);
        x.select(list, x.bob);
        auto dialog = onNextModal([&](QDialog* d) {
            auto* change = qobject_cast<TfrmChangeUserAccess*>(d);
            QVERIFY(change);
            change->cbAccessCompany->setChecked(company);
            change->cbAdministrator->setChecked(administrator);
            change->cbTrialBalance->setCurrentText(trialBalance);
            change->cbJournalEntries->setCurrentText(journalEntries);
            QTest::mouseClick(change->Button1, Qt::LeftButton);
            QVERIFY(!change->isVisible());
        });
        list.btnChangeUserAccess->click();
        QVERIFY(dialog->ran);
        QVERIFY(x.log.messages.isEmpty());
        QCOMPARE(x.row(x.bob),
            (QStringList{
                company ? "Yes" : "No", administrator ? "Yes" : "No", trialBalance, journalEntries}));
        QCOMPARE(x.selectedLogin(), QStringLiteral("bob"));
        QCOMPARE(list.dbgAccess->currentIndex().row(), x.w.qrAccess->currentRow());
        QVERIFY(shownRows(list.dbgAccess)
                    .contains(QStringList{"bob", "Bob@Example.com", company ? "Yes" : "No",
                        administrator ? "Yes" : "No", trialBalance, journalEntries}));
    }

    // Another administrator changed the line after the dialog read it: OK writes nothing
    // (it would put back the other settings as read) and says so; the dialog stays open.
    void changedMeanwhileIsRefused()
    {
        AccessWorld x;
        x.db.addAccess(x.bob, x.alpha, "Yes", "No", "Create", "View");
        TfrmAccess list(x.w.books(), x.w.qrAccess, &x.w);
        x.select(list, x.bob);
        TfrmChangeUserAccess dlg(&list);
        dlg.cbTrialBalance->setCurrentText("Post");
        x.db.exec(QStringLiteral("UPDATE access SET `journal entries` = 'No access' WHERE `wp_user id` = %1")
                      .arg(x.bob));
        dlg.Button1Click();
        QCOMPARE(x.log.messages,
            QStringList{"User access was changed by another user since you opened it. Close this window and "
                        "open it again to see the change."});
        QVERIFY(dlg.result() != QDialog::Accepted);
        QCOMPARE(dlg.cbTrialBalance->currentText(), QStringLiteral("Post"));
        QCOMPARE(x.row(x.bob), (QStringList{"Yes", "No", "Create", "No access"}));
    }

    // A level the lists do not hold shows no selection; OK is refused until one is chosen.
    void emptyLevelIsRefused_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("trial balance") << "trial balance"
                                       << "Please select the Trial Balance access."
                                       << "cbTrialBalance";
        QTest::newRow("journal entries") << "journal entries"
                                         << "Please select the Journal entries access."
                                         << "cbJournalEntries";
    }

    void emptyLevelIsRefused()
    {
        QFETCH(QString, column);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        AccessWorld x;
        dropAccessChecks(x.db);
        x.db.exec(
            QStringLiteral("UPDATE access SET `%1` = '' WHERE `wp_user id` = %2").arg(column).arg(x.carol));
        const QStringList before = x.row(x.carol);
        TfrmAccess list(x.w.books(), x.w.qrAccess, &x.w);
        x.select(list, x.carol);
        TfrmChangeUserAccess dlg(&list);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        auto* box = dlg.findChild<QComboBox*>(focus);
        QCOMPARE(box->currentIndex(), -1);
        dlg.cbAccessCompany->setChecked(true);
        dlg.Button1->setFocus();
        dlg.Button1->click();
        QCOMPARE(x.log.messages, QStringList{message});
        QVERIFY(dlg.isVisible());
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(x.row(x.carol), before);

        x.log.clear();
        box->setCurrentText("View");
        dlg.Button1->click();
        QVERIFY(x.log.messages.isEmpty());
        QVERIFY(!dlg.isVisible());
        QCOMPARE(x.row(x.carol).first(), QStringLiteral("Yes"));
        QVERIFY(!x.row(x.carol).contains(QString()));
    }

    // Taking the company away keeps Bob's row and levels; his company box loses it at
    // his next refresh.
    void clearingAccessCompanyTakesTheCompanyAway()
    {
        AccessWorld x;
        x.db.addAccess(x.bob, x.alpha, "Yes", "No", "View", "Create");
        const int beta = x.db.addCompany("Beta Trading");
        x.db.addAccess(x.bob, beta, "Yes", "No", "View", "View");
        {
            TfrmAccess list(x.w.books(), x.w.qrAccess, &x.w);
            x.select(list, x.bob);
            TfrmChangeUserAccess change(&list);
            QVERIFY(change.cbAccessCompany->isChecked());
            change.cbAccessCompany->setChecked(false);
            change.Button1Click();
        }
        QVERIFY(x.log.messages.isEmpty());
        QCOMPARE(x.row(x.bob), (QStringList{"No", "No", "View", "Create"}));
        x.w.Logout();
        x.w.Login(x.bob);
        QCOMPARE(x.w.cbCompany->findText("Alpha Farms"), -1);
        QVERIFY(x.w.cbCompany->findText("Beta Trading") >= 0);
    }

    // The whole road through the menus on the demo data: a new user registers, the demo
    // user gives them "View" on the demo company's trial balance, and they log in and see it.
    void newUserIsGivenTheDemoTrialBalance()
    {
        TestDatabase db;
        db.execFile(databaseFile("demo.sql"));
        TfrmMain w;
        MessageLog log;
        auto menuLogin = [&](const QString& name, const QString& password) {
            auto modal = onNextModal([&](QDialog* d) {
                auto* login = qobject_cast<TfrmLogin*>(d);
                QTest::keyClicks(login->edtUsername, name);
                QTest::keyClicks(login->edtPassword, password);
                QTest::keyClick(login->edtPassword, Qt::Key_Return);
            });
            w.acLogin->trigger();
            QVERIFY(modal->ran);
        };
        auto registration = onNextModal([](QDialog* d) {
            auto* create = qobject_cast<TfrmCreateUser*>(d);
            QTest::keyClicks(create->edtUsername, "Newcomer");
            QTest::keyClicks(create->edtEmail, "newcomer@example.com");
            QTest::keyClicks(create->edtPassword, "welcome");
            QTest::keyClick(create->edtPassword, Qt::Key_Return);
        });
        w.acCreateUser->trigger();
        QVERIFY(registration->ran);

        menuLogin("demo", "demo");
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("Demo Trading Ltd"));
        auto window = onNextModal([&](QDialog* d) {
            auto* list = qobject_cast<TfrmAccess*>(d);
            auto add = onNextModal([](QDialog* dd) {
                auto* dialog = qobject_cast<TfrmAccessAddUser*>(dd);
                QTest::keyClicks(dialog->edtUsername, "newcomer");
                QTest::keyClick(dialog->edtUsername, Qt::Key_Return);
            });
            list->btnAddUser->click();
            QVERIFY(add->ran);
            QCOMPARE(w.qrAccess->asString("user_login"), QStringLiteral("newcomer"));
            auto change = onNextModal([](QDialog* dd) {
                auto* dialog = qobject_cast<TfrmChangeUserAccess*>(dd);
                dialog->cbTrialBalance->setCurrentText("View");
                QTest::mouseClick(dialog->Button1, Qt::LeftButton);
            });
            list->btnChangeUserAccess->click();
            QVERIFY(change->ran);
            list->close();
        });
        w.acAccess->trigger();
        QVERIFY(window->ran);
        w.acLogin->trigger(); // logs out

        menuLogin("newcomer", "welcome");
        QVERIFY2(log.messages.isEmpty(), qPrintable(log.messages.join('|')));
        QCOMPARE(w.windowTitle(), QStringLiteral("Veldra - [User: newcomer]"));
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("Demo Trading Ltd"));
        w.pcMain->setCurrentWidget(w.tsTrialBalance);
        QVERIFY2(log.messages.isEmpty(), qPrintable(log.messages.join('|')));
        QCOMPARE(w.pcMain->currentWidget(), w.tsTrialBalance);
        QVERIFY(w.sgTB->rowCount() > 2);
        // The journal entries stay closed to them.
        QVERIFY(!w.TestAccess("journal entries", "view"));
    }
};

QTEST_MAIN(TestAccessAdministration)
#include "tst_accessadmin.moc"
