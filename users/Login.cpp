#include "users/Login.h"

#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "users/UserStore.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

TfrmLogin::TfrmLogin(std::function<void(int)> logIn, QWidget* parent)
    : QDialog(parent), m_logIn(std::move(logIn))
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
    edtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // "*"
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(136, 127, 81, 25);
    setTabOrder(edtUsername, edtPassword);
    setTabOrder(edtPassword, btnOk);
    edtUsername->setFocus();

    connectGuarded(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    IniForm(this, true);
}

void TfrmLogin::btnOkClick()
{
    if (!ToetsText(edtUsername, 3, false, false, false))
        return;
    if (!ToetsText(edtPassword, 3, false, false, false))
        return;
    // When one user's login name is another's e-mail address, the older account is checked.
    const std::optional<UserRow> user = UserStore::byLoginOrEmail(edtUsername->text());
    if (!user) {
        Boodskap(QStringLiteral("Username / Email could not be found."));
        edtUsername->setFocus();
        return;
    }
    if (wp_hash_password(edtPassword->text()) != user->passwordHash) {
        Boodskap(QStringLiteral("Password not correct."));
        edtPassword->setFocus();
        return;
    }
    m_logIn(user->id);
    accept();
}
