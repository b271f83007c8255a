#include "TestSupport.h"

#include "app/Main.h"
#include "db/Connection.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "users/Login.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {
// Types into the dialog and presses OK, as a user would.
void submit(TfrmLogin& dlg, const QString& name, const QString& password)
{
    dlg.edtUsername->setText(name);
    dlg.edtPassword->setText(password);
    QTest::mouseClick(dlg.btnOk, Qt::LeftButton);
}

void verifyLoggedOut(TfrmMain& w)
{
    QCOMPARE(w.UserID, 0);
    QCOMPARE(w.windowTitle(), QStringLiteral("Veldra"));
    QCOMPARE(w.acLogin->text(), QStringLiteral("Login"));
    QVERIFY(!w.pnlFilters->isVisibleTo(&w));
    for (QAction* a : {w.acCompanies, w.acAccess, w.acCostCentres, w.acFinancialYears})
        QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
    QVERIFY(!w.pcMain->isTabVisible(w.pcMain->indexOf(w.tsTrialBalance)));
    QVERIFY(!w.pcMain->isTabVisible(w.pcMain->indexOf(w.tsJournalEntries)));
    QCOMPARE(w.pcMain->currentWidget(), w.tsWelcome);
}
}

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }

    void dialogLooksAsDesigned()
    {
        TestDatabase db;
        TfrmMain w;
        TfrmLogin dlg([&w](int id) { w.Login(id); }, &w);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Login"));
        QCOMPARE(dlg.size(), QSize(233, 161));
        QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
        QCOMPARE(dlg.gbLoginDetails->title(), QStringLiteral("Login details"));
        QCOMPARE(dlg.edtUsername->editLabel()->text(), QStringLiteral("Username / Email"));
        QCOMPARE(dlg.edtPassword->editLabel()->text(), QStringLiteral("Password"));
        QCOMPARE(dlg.edtUsername->maxLength(), 50);
        QCOMPARE(dlg.edtPassword->maxLength(), 50);
        QCOMPARE(dlg.edtPassword->echoMode(), QLineEdit::Password);
        QVERIFY(dlg.btnOk->isDefault());
        QCOMPARE(dlg.btnOk->text(), QStringLiteral("OK"));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(QApplication::focusWidget(), dlg.edtUsername);
        QTest::keyClick(dlg.edtUsername, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dlg.edtPassword);
    }

    // The whole road through the menu: log in, look at the window, log out again.
    void menuLogsInAndOut_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("login name") << "alice";
        QTest::newRow("e-mail") << "alice@example.com";
    }
    void menuLogsInAndOut()
    {
        QFETCH(QString, typed);
        TestDatabase db;
        const int alice = db.addUser("alice", "alice@example.com", "secret1");
        db.addUser("bob", "bob@example.com", "secret2");
        const int company = db.addCompany("Acme");
        db.addAccess(alice, company);
        MessageLog log;
        TfrmMain w;
        bool sawDialog = false;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<TfrmLogin*>(QApplication::activeModalWidget());
            sawDialog = dlg != nullptr;
            if (dlg)
                submit(*dlg, typed, "secret1");
        });
        w.acLogin->trigger();
        QVERIFY(sawDialog);
        QVERIFY(log.messages.isEmpty());
        QVERIFY(!QApplication::activeModalWidget());

        QCOMPARE(w.UserID, alice);
        QCOMPARE(w.windowTitle(), QStringLiteral("Veldra - [User: alice]"));
        QCOMPARE(w.acLogin->text(), QStringLiteral("Logout"));
        QCOMPARE(w.findChild<QAction*>("acLoginItem")->text(), QStringLiteral("&Logout"));
        QVERIFY(w.pnlFilters->isVisibleTo(&w));
        for (QAction* a : {w.acCompanies, w.acAccess, w.acCostCentres, w.acFinancialYears})
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(w.pcMain->isTabVisible(w.pcMain->indexOf(w.tsTrialBalance)));
        QVERIFY(w.pcMain->isTabVisible(w.pcMain->indexOf(w.tsJournalEntries)));
        QCOMPARE(w.pcMain->currentWidget(), w.tsWelcome);
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("Acme"));

        // Logging out asks nothing and leaves the filter boxes filled behind the hidden bar.
        w.acLogin->trigger();
        QVERIFY(log.messages.isEmpty());
        verifyLoggedOut(w);
        QCOMPARE(w.findChild<QAction*>("acLoginItem")->text(), QStringLiteral("&Login"));
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("Acme"));
    }

    // The password is right but the refresh after it fails: the error shows, the dialog
    // stays open and the program is exactly as before the attempt (logged out, the filter
    // boxes as the last user left them).
    void refreshFailingAfterThePasswordLogsNothingIn()
    {
        TestDatabase db;
        const int alice = db.addUser("alice", "alice@example.com", "secret1");
        const int bob = db.addUser("bob", "bob@example.com", "secret2");
        db.addAccess(alice, db.addCompany("Acme"));
        db.addAccess(bob, db.addCompany("Bobco"));
        MessageLog log;
        TfrmMain w;
        w.Login(alice);
        w.Logout();
        // The companies are read; the years, next, are not there.
        db.exec("RENAME TABLE `financial years` TO `years gone`");
        bool stillOpen = false;
        QTimer::singleShot(0, [&] {
            if (auto* dlg = qobject_cast<TfrmLogin*>(QApplication::activeModalWidget())) {
                submit(*dlg, "bob", "secret2");
                stillOpen = dlg->isVisible();
                dlg->reject();
            }
        });
        w.acLogin->trigger();
        QVERIFY(stillOpen);
        QCOMPARE(log.errors.size(), 1);
        QVERIFY(log.messages.isEmpty());
        verifyLoggedOut(w);
        QCOMPARE(w.cbCompany->count(), 1);
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("Acme"));
    }

    void closingTheDialogStaysLoggedOut()
    {
        TestDatabase db;
        db.addUser("alice", "alice@example.com", "secret1");
        MessageLog log;
        TfrmMain w;
        QTimer::singleShot(0, [&] {
            if (auto* dlg = qobject_cast<TfrmLogin*>(QApplication::activeModalWidget())) {
                dlg->edtUsername->setText("alice");
                dlg->edtPassword->setText("secret1");
                dlg->reject();
            }
        });
        w.acLoginExecute();
        verifyLoggedOut(w);
        QVERIFY(log.messages.isEmpty());
    }

    // Every refusal leaves the dialog open, the typed texts in place and the focus on
    // the field to correct.
    void refusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("sendsStatement");
        QTest::newRow("wrong password") << "alice"
                                        << "secret2"
                                        << "Password not correct."
                                        << "edtPassword" << true;
        QTest::newRow("password differs in case") << "alice"
                                                  << "SECRET1"
                                                  << "Password not correct."
                                                  << "edtPassword" << true;
        QTest::newRow("unknown name") << "alicia"
                                      << "secret1"
                                      << "Username / Email could not be found."
                                      << "edtUsername" << true;
        QTest::newRow("name of two characters")
            << "al"
            << "secret1"
            << "The value you supplied for Username / Email is not valid.\r -  The value must contain at least 3 "
               "characters and not any leading zeros or spaces."
            << "edtUsername" << false;
        QTest::newRow("password of two characters")
            << "alice"
            << "se"
            << "The value you supplied for Password is not valid.\r -  The value must contain at least 3 "
               "characters and not any leading zeros or spaces."
            << "edtPassword" << false;
    }
    void refusals()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(bool, sendsStatement);
        TestDatabase db;
        db.addUser("alice", "alice@example.com", "secret1");
        MessageLog log;
        TfrmMain w;
        TfrmLogin dlg([&w](int id) { w.Login(id); }, &w);
        dlg.show();
        const int before0 = statementsSent();
        const int noStatements = statementsSent() - before0; // what counting itself adds
        const int before = statementsSent();
        submit(dlg, name, password);
        const int sent = statementsSent() - before - noStatements;
        QCOMPARE(log.messages, QStringList{message});
        QCOMPARE(sent > 0, sendsStatement);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(dlg.focusWidget()->objectName(), focus);
        QCOMPARE(dlg.edtUsername->text(), name);
        QCOMPARE(dlg.edtPassword->text(), password);
        verifyLoggedOut(w);
    }

    // Quotes, backslashes, "%" and "--" are only ever text to compare.
    void specialCharactersAreHarmless_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        QTest::newRow("always-true or") << "' OR '1'='1" << false;
        QTest::newRow("comment after name") << "alice' -- " << false;
        QTest::newRow("double quotes") << "\" or \"\"=\"" << false;
        QTest::newRow("wildcards") << "%%%" << false;
        QTest::newRow("underscores") << "a_ice" << false;
        QTest::newRow("backslashes") << "\\\\\\" << false;
        QTest::newRow("stacked statement") << "x'; DROP TABLE wp_users; --" << false;
        QTest::newRow("the odd name itself") << "o'bri\\en%_--\"" << true;
    }
    void specialCharactersAreHarmless()
    {
        QFETCH(QString, typed);
        QFETCH(bool, found);
        TestDatabase db;
        db.addUser("alice", "alice@example.com", "secret1");
        const int odd = db.addUser("o'bri\\en%_--\"", "odd@example.com", "secret1");
        MessageLog log;
        TfrmMain w;
        TfrmLogin dlg([&w](int id) { w.Login(id); }, &w);
        dlg.show();
        submit(dlg, typed, "secret1");
        if (found) {
            QVERIFY(log.messages.isEmpty());
            QCOMPARE(w.UserID, odd);
            QCOMPARE(w.windowTitle(), QStringLiteral("Veldra - [User: o'bri\\en%_--\"]"));
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        } else {
            QCOMPARE(log.messages, QStringList{"Username / Email could not be found."});
            verifyLoggedOut(w);
        }
        QVERIFY(log.errors.isEmpty());
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM wp_users").toInt(), 2);
    }

    // One user's login name is another's e-mail address: the older account is the one checked.
    void nameMatchingTwoUsersTakesTheOlder()
    {
        TestDatabase db;
        const int older = db.addUser("carol", "shared@example.com", "olderpw");
        db.addUser("shared@example.com", "dave@example.com", "newerpw");
        MessageLog log;
        TfrmMain w;
        {
            TfrmLogin dlg([&w](int id) { w.Login(id); }, &w);
            dlg.show();
            submit(dlg, "shared@example.com", "newerpw");
            QCOMPARE(log.messages, QStringList{"Password not correct."});
            QCOMPARE(w.UserID, 0);
            submit(dlg, "shared@example.com", "olderpw");
            QCOMPARE(w.UserID, older);
        }
    }

    void loginOfUnknownIdChangesNothing()
    {
        TestDatabase db;
        const int alice = db.addUser("alice", "alice@example.com", "secret1");
        MessageLog log;
        TfrmMain w;
        w.Login(alice + 100);
        QCOMPARE(log.messages, QStringList{"User could not be found to log in."});
        verifyLoggedOut(w);
        w.Login(alice);
        log.clear();
        w.Login(alice + 100);
        QCOMPARE(log.messages, QStringList{"User could not be found to log in."});
        QCOMPARE(w.UserID, alice);
        QCOMPARE(w.windowTitle(), QStringLiteral("Veldra - [User: alice]"));
    }

    // A statement that fails is reported; the dialog stays open and nobody is logged in.
    void databaseErrorKeepsTheDialogOpen()
    {
        TestDatabase db;
        db.addUser("alice", "alice@example.com", "secret1");
        MessageLog log;
        TfrmMain w;
        TfrmLogin dlg([&w](int id) { w.Login(id); }, &w);
        dlg.show();
        db.exec("RENAME TABLE wp_users TO wp_users_gone");
        submit(dlg, "alice", "secret1");
        QCOMPARE(log.errors.size(), 1);
        QVERIFY(dlg.isVisible());
        verifyLoggedOut(w);
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
