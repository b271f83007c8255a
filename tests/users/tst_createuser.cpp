#include "SetupTestHelpers.h"
#include "TestSupport.h"

#include "app/Main.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "users/CreateUser.h"
#include "users/Login.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

namespace {
const QString NameInvalid
    = "The value you supplied for Username (only lowercase letters and numbers) is not "
      "valid.\r -  The value must contain at least 3 characters and not any leading zeros "
      "or spaces.";
const QString NameCharacters = "Username may only contain lowercase letters and numbers.";
const QString EmailInvalid = "Email address supplied invalid.";
const QString PasswordInvalid
    = "The value you supplied for Password is not valid.\r -  The value must contain "
      "at least 3 characters and not any leading zeros or spaces.";

// The web site's users as "login email", in id order.
QStringList users(const TestDatabase& db)
{
    return db.texts("SELECT user_login, user_email FROM wp_users ORDER BY ID");
}

void fill(TfrmCreateUser& dlg, const QString& name, const QString& email, const QString& password)
{
    dlg.edtUsername->setText(name);
    dlg.edtEmail->setText(email);
    dlg.edtPassword->setText(password);
}

// The dialog shown and the focus on OK, as after a click on it.
void showWithFocusOnOk(TfrmCreateUser& dlg)
{
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    dlg.btnOk->setFocus();
}
}

class TestCreateUser : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }

    void dialogLooksAsDesigned()
    {
        TestDatabase db;
        TfrmMain w;
        TfrmCreateUser dlg(&w);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Create user"));
        QCOMPARE(dlg.size(), QSize(269, 194));
        QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
        QCOMPARE(dlg.gbLoginDetails->title(), QStringLiteral("User details"));
        QCOMPARE(dlg.edtUsername->editLabel()->text(),
            QStringLiteral("Username (only lowercase letters and numbers)"));
        QCOMPARE(dlg.edtEmail->editLabel()->text(), QStringLiteral("Email"));
        QCOMPARE(dlg.edtPassword->editLabel()->text(), QStringLiteral("Password"));
        for (LabeledEdit* e : {dlg.edtUsername, dlg.edtEmail, dlg.edtPassword})
            QCOMPARE(e->maxLength(), 50);
        QCOMPARE(dlg.edtPassword->echoMode(), QLineEdit::Password);
        QVERIFY(dlg.btnOk->isDefault());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        // The long caption is shown whole above its box.
        const QLabel* caption = dlg.edtUsername->editLabel();
        QVERIFY(caption->fontMetrics().horizontalAdvance(caption->text()) <= dlg.edtUsername->width());
        QVERIFY(caption->width() <= dlg.edtUsername->width());
        QCOMPARE(QApplication::focusWidget(), dlg.edtUsername);
        QCOMPARE(TabChain(4), (QList<QWidget*>{dlg.edtEmail, dlg.edtPassword, dlg.btnOk, dlg.edtUsername}));
    }

    // Through the menu, logged in or not: the user and its meta rows are written, the
    // session is as it was, and the new user can log in at once and sees no company.
    void registersThroughTheMenu_data()
    {
        QTest::addColumn<bool>("loggedIn");
        QTest::newRow("logged out") << false;
        QTest::newRow("logged in") << true;
    }

    void registersThroughTheMenu()
    {
        QFETCH(bool, loggedIn);
        TestDatabase db;
        TfrmMain w;
        MessageLog log;
        const int ann = db.addUser("ann", "ann@example.com", "secret");
        db.addAccess(ann, db.addCompany("Alpha Farms"));
        if (loggedIn)
            w.Login(ann);
        const QString title = w.windowTitle();
        const QString loginCaption = w.acLogin->text();
        const QDateTime now(QDate(2026, 3, 14), QTime(21, 45, 7));
        SetClockForTesting(now);

        QVERIFY(w.acCreateUser->isEnabled());
        auto modal = onNextModal([](QDialog* d) {
            auto* dlg = qobject_cast<TfrmCreateUser*>(d);
            QVERIFY(dlg);
            fill(*dlg, "NewUser7", "New.User@Example.COM", "Pass word!");
            QTest::mouseClick(dlg->btnOk, Qt::LeftButton);
            QVERIFY(!dlg->isVisible());
        });
        w.acCreateUser->trigger();
        SetClockForTesting({});
        QVERIFY(modal->ran);
        QVERIFY2(log.messages.isEmpty(), qPrintable(log.messages.join('|')));
        QVERIFY(log.errors.isEmpty());

        const auto stored
            = db.rows("SELECT ID, user_login, user_pass, user_nicename, user_email, user_registered, "
                      "user_status, display_name, spam, deleted, user_url, user_activation_key "
                      "FROM wp_users WHERE ID <> "
                + QString::number(ann));
        QCOMPARE(stored.size(), 1);
        const QVariantList& u = stored.first();
        const int id = u[0].toInt();
        QCOMPARE(u[1].toString(), QStringLiteral("newuser7"));
        QCOMPARE(u[2].toString(), wp_hash_password("Pass word!"));
        QCOMPARE(u[3].toString(), QStringLiteral("newuser7"));
        QCOMPARE(u[4].toString(), QStringLiteral("New.User@Example.COM"));
        QCOMPARE(u[5].toDateTime(), now);
        QCOMPARE(u[6].toInt(), 0);
        QCOMPARE(u[7].toString(), QStringLiteral("newuser7"));
        QCOMPARE(u[8].toInt(), 0);
        QCOMPARE(u[9].toInt(), 0);
        QCOMPARE(u[10].toString(), QString());
        QCOMPARE(u[11].toString(), QString());
        const auto meta = db.rows("SELECT user_id, meta_key, meta_value FROM wp_usermeta ORDER BY umeta_id");
        QCOMPARE(meta,
            (QList<QVariantList>{
                {id, "wp_capabilities", "a:1:{s:10:\"subscriber\";b:1;}"}, {id, "wp_user_level", "0"}}));

        QCOMPARE(w.UserID, loggedIn ? ann : 0);
        QCOMPARE(w.windowTitle(), title);
        QCOMPARE(w.acLogin->text(), loginCaption);

        if (loggedIn)
            w.Logout();
        TfrmLogin login([&w](int id) { w.Login(id); }, &w);
        login.edtUsername->setText("newuser7");
        login.edtPassword->setText("Pass word!");
        login.btnOkClick();
        QVERIFY2(log.messages.isEmpty(), qPrintable(log.messages.join('|')));
        QCOMPARE(w.UserID, id);
        QCOMPARE(w.cbCompany->findText("Alpha Farms"), -1);
    }

    // Each refusal: its message, the focus on the box to correct (none moves for the
    // character rule), the name lower-cased in its box, nothing written.
    void refusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("shownName");
        QTest::newRow("short name") << "Al"
                                    << "al@example.com"
                                    << "secret" << NameInvalid << "edtUsername"
                                    << "al";
        QTest::newRow("space") << "Ann Smith"
                               << "as@example.com"
                               << "secret" << NameInvalid << "edtUsername"
                               << "ann smith";
        QTest::newRow("leading zero") << "0123"
                                      << "z@example.com"
                                      << "secret" << NameInvalid << "edtUsername"
                                      << "0123";
        QTest::newRow("accent") << "José"
                                << "jose@example.com"
                                << "secret" << NameCharacters << "btnOk"
                                << "josé";
        QTest::newRow("hyphen") << "Mary-Ann"
                                << "ma@example.com"
                                << "secret" << NameCharacters << "btnOk"
                                << "mary-ann";
        QTest::newRow("underscore") << "mary_ann"
                                    << "ma@example.com"
                                    << "secret" << NameCharacters << "btnOk"
                                    << "mary_ann";
        QTest::newRow("capitals, bad e-mail") << "NewUser"
                                              << "newuser.example.com"
                                              << "secret" << EmailInvalid << "edtEmail"
                                              << "newuser";
        QTest::newRow("short password") << "NewUser"
                                        << "new@example.com"
                                        << "pw" << PasswordInvalid << "edtPassword"
                                        << "newuser";
        // The stored hash cannot tell characters outside ASCII apart.
        for (const QString& password : {QStringLiteral("p\u00f6ss\u00e9"), QStringLiteral("pass\u20ac"),
                 QStringLiteral("\u5bc6\u7801abc")})
            QTest::newRow(qPrintable("password " + password))
                << "NewUser"
                << "new@example.com" << password
                << "Password may only contain unaccented letters, numbers, spaces and the punctuation of an "
                   "English keyboard."
                << "edtPassword"
                << "newuser";
        // The web site stored "Bob" and "CAROL@EXAMPLE.COM"; the server compares without case.
        QTest::newRow("name in use, other case") << "BOB"
                                                 << "new@example.com"
                                                 << "secret"
                                                 << "Username already in use."
                                                 << "edtUsername"
                                                 << "bob";
        QTest::newRow("e-mail in use, other case") << "NewUser"
                                                   << "Carol@Example.com"
                                                   << "secret"
                                                   << "Email already in use."
                                                   << "edtEmail"
                                                   << "newuser";
        QTest::newRow("both in use: the name is told") << "bob"
                                                       << "carol@example.com"
                                                       << "secret"
                                                       << "Username already in use."
                                                       << "edtUsername"
                                                       << "bob";
    }

    void refusals()
    {
        QFETCH(QString, name);
        QFETCH(QString, email);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(QString, shownName);
        TestDatabase db;
        TfrmMain w;
        MessageLog log;
        db.addUser("Bob", "bob@example.com", "secret");
        db.addUser("carol", "CAROL@EXAMPLE.COM", "secret");
        const QStringList before = users(db);
        TfrmCreateUser dlg(&w);
        showWithFocusOnOk(dlg);
        fill(dlg, name, email, password);
        dlg.btnOk->click();

        QCOMPARE(log.messages, QStringList{message});
        QVERIFY(dlg.isVisible());
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(dlg.edtUsername->text(), shownName);
        QCOMPARE(dlg.edtEmail->text(), email);
        QCOMPARE(dlg.edtPassword->text(), password);
        QCOMPARE(users(db), before);
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM wp_usermeta").toInt(), 0);
        dlg.close();
    }

    void nameOfDigitsOnlyIsAccepted()
    {
        TestDatabase db;
        TfrmMain w;
        MessageLog log;
        TfrmCreateUser dlg(&w);
        fill(dlg, "2024", "digits@example.com", "secret");
        dlg.btnOkClick();
        QVERIFY2(log.messages.isEmpty(), qPrintable(log.messages.join('|')));
        QCOMPARE(users(db), QStringList{"2024 digits@example.com"});
    }

    // The second meta row is refused: the user row and the first meta row go with it.
    void failedSaveLeavesNothing()
    {
        TestDatabase db;
        TfrmMain w;
        MessageLog log;
        db.exec("ALTER TABLE wp_usermeta ADD CONSTRAINT no_level CHECK (meta_key <> 'wp_user_level')");
        TfrmCreateUser dlg(&w);
        dlg.show();
        fill(dlg, "newuser", "new@example.com", "secret");
        dlg.btnOk->click();
        QCOMPARE(log.messages, QStringList{"User could not be created.  Please try again."});
        QVERIFY(log.errors.isEmpty());
        QVERIFY(dlg.isVisible());
        QCOMPARE(users(db), QStringList());
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM wp_usermeta").toInt(), 0);
        // Once the fault is gone the same dialog registers.
        db.exec("ALTER TABLE wp_usermeta DROP CONSTRAINT no_level");
        log.clear();
        dlg.btnOk->click();
        QVERIFY(log.messages.isEmpty());
        QCOMPARE(users(db), QStringList{"newuser new@example.com"});
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM wp_usermeta").toInt(), 2);
    }

    // Another writer (the web site, which takes none of this program's locks) has inserted
    // the same name or e-mail and not yet committed when OK is pressed: the program's
    // look-up cannot see it yet, so the registering transaction must wait for it and then
    // refuse, leaving the other writer's user the only one.
    void concurrentRegistrationIsRefused_data()
    {
        QTest::addColumn<QString>("otherLogin");
        QTest::addColumn<QString>("otherEmail");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("same name") << "NewUser"
                                   << "someone@example.com"
                                   << "Username already in use."
                                   << "edtUsername";
        QTest::newRow("same e-mail") << "someone"
                                     << "NEW@EXAMPLE.COM"
                                     << "Email already in use."
                                     << "edtEmail";
    }

    void concurrentRegistrationIsRefused()
    {
        QFETCH(QString, otherLogin);
        QFETCH(QString, otherEmail);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TestDatabase db;
        TfrmMain w;
        MessageLog log;
        TfrmCreateUser dlg(&w);
        showWithFocusOnOk(dlg);
        fill(dlg, "newuser", "new@example.com", "secret");
        LockHolder other(db,
            {QStringLiteral("INSERT INTO wp_users (user_login, user_email, user_registered) "
                            "VALUES ('%1', '%2', NOW())")
                    .arg(otherLogin, otherEmail)});
        dlg.btnOk->click();
        other.join();
        QVERIFY2(other.sawWaiter(), "the program did not wait for the other writer");

        QCOMPARE(log.messages, QStringList{message});
        QVERIFY(log.errors.isEmpty());
        QVERIFY(dlg.isVisible());
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(users(db), QStringList{otherLogin + " " + otherEmail});
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM wp_usermeta").toInt(), 0);
        dlg.close();
    }
};

QTEST_MAIN(TestCreateUser)
#include "tst_createuser.moc"
