#include "users/Login.h"

#include "app/Main.h"
#include "db/Query.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"

#include <QAction>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>

TfrmLogin::TfrmLogin(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Login"));
    resize(233, 161);

    gbLoginDetails = new QGroupBox(QStringLiteral("Login details"), this);
    gbLoginDetails->setObjectName(QStringLiteral("gbLoginDetails"));
    gbLoginDetails->setGeometry(8, 8, 217, 113);
    edtUsername = new LabeledEdit(QStringLiteral("Username / Email"), gbLoginDetails);
    edtUsername->setObjectName(QStringLiteral("edtUsername"));
    edtUsername->place(8, 32, 201);
    edtPassword = new LabeledEdit(QStringLiteral("Password"), gbLoginDetails);
    edtPassword->setObjectName(QStringLiteral("edtPassword"));
    edtPassword->place(8, 80, 201);
    edtPassword->setEchoMode(QLineEdit::Password);
    edtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));   // "*"
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(136, 127, 81, 25);
    setTabOrder(edtUsername, edtPassword);
    setTabOrder(edtPassword, btnOk);
    edtUsername->setFocus();

    ConnectGuarded(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    IniForm(this, true);
}

void TfrmLogin::btnOkClick()
{
    if (!ToetsText(edtUsername, 3, false, false, false))
        return;
    if (!ToetsText(edtPassword, 3, false, false, false))
        return;
    Query& users = *frmMain->qrWP_Users;
    // When one user's login name is another's e-mail address, the older account is checked.
    users.setSql({QStringLiteral("SELECT ID, user_pass FROM wp_users WHERE"),
                  QStringLiteral("(user_login = :username)"), QStringLiteral("or (user_email = :username)"),
                  QStringLiteral("ORDER BY ID")});
    users.bind(QStringLiteral("username"), edtUsername->text());
    users.open();
    if (users.isEmpty()) {
        Boodskap(QStringLiteral("Username / Email could not be found."));
        edtUsername->setFocus();
        return;
    }
    users.first();
    if (wp_hash_password(edtPassword->text()) != users.asString(QStringLiteral("user_pass"))) {
        Boodskap(QStringLiteral("Password not correct."));
        edtPassword->setFocus();
        return;
    }
    frmMain->Login(users.asInteger(QStringLiteral("ID")));
    accept();
}

void TfrmMain::acLoginExecute()
{
    if (acLogin->text() == QLatin1String("Login")) {
        TfrmLogin frmLogin(this);
        frmLogin.exec();
    } else {
        Logout();
    }
}

void TfrmMain::Login(int NewUserID)
{
    qrWP_Users->open({QStringLiteral("Select user_login from wp_users where ID = %1").arg(NewUserID)});
    if (qrWP_Users->isEmpty()) {
        Boodskap(QStringLiteral("User could not be found to log in."));
        return;
    }
    setWindowTitle(QStringLiteral("Veldra - [User: ") + qrWP_Users->asString(QStringLiteral("user_login")) +
                   QStringLiteral("]"));
    UserID = NewUserID;
    acLogin->setText(QStringLiteral("Logout"));
    pnlFilters->show();
    for (QAction* a : {acCompanies, acAccess, acCostCentres, acFinancialYears})
        a->setEnabled(true);
    SetTabShown(tsTrialBalance, true);
    SetTabShown(tsJournalEntries, true);
    RefreshFilters();
}

void TfrmMain::Logout()
{
    UserID = 0;
    acLogin->setText(QStringLiteral("Login"));
    setWindowTitle(QStringLiteral("Veldra"));
    pnlFilters->hide();
    for (QAction* a : {acCompanies, acAccess, acCostCentres, acFinancialYears})
        a->setEnabled(false);
    SetTabShown(tsTrialBalance, false);
    SetTabShown(tsJournalEntries, false);
    ShowTab(tsWelcome);
}
