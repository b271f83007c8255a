#include "users/Login.h"

#include "app/Main.h"
#include "db/Query.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
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

namespace {
// What a login changes on screen beyond the logged-in flags Logout resets: the filter
// boxes and the period labels, put back as they were when a login fails half-way.
class FilterBarState {
public:
    explicit FilterBarState(TfrmMain& w) : m_w(w)
    {
        for (QComboBox* box : boxes()) {
            Box b;
            for (int i = 0; i < box->count(); ++i)
                b.items.append({box->itemText(i), box->itemData(i)});
            b.current = box->currentIndex();
            m_boxes.append(b);
        }
        for (QLabel* label : labels())
            m_labels << label->text();
    }
    void restore() const
    {
        const QList<QComboBox*> all = boxes();
        for (int n = 0; n < all.size(); ++n) {
            QSignalBlocker block(all[n]);
            all[n]->clear();
            for (const auto& [text, data] : m_boxes[n].items)
                all[n]->addItem(text, data);
            all[n]->setCurrentIndex(m_boxes[n].current);
        }
        const QList<QLabel*> all2 = labels();
        for (int n = 0; n < all2.size(); ++n)
            all2[n]->setText(m_labels[n]);
    }

private:
    struct Box {
        QList<QPair<QString, QVariant>> items;
        int current = -1;
    };
    QList<QComboBox*> boxes() const { return {m_w.cbCompany, m_w.cbFinancialYear, m_w.cbFinancialPeriod}; }
    QList<QLabel*> labels() const
    {
        return {m_w.lblPeriodStartDate, m_w.lblPeriodEndDate, m_w.lblPeriodOpen};
    }
    TfrmMain& m_w;
    QList<Box> m_boxes;
    QStringList m_labels;
};
}

void TfrmMain::Login(int NewUserID)
{
    qrWP_Users->open({QStringLiteral("Select user_login from wp_users where ID = %1").arg(NewUserID)});
    if (qrWP_Users->isEmpty()) {
        Boodskap(QStringLiteral("User could not be found to log in."));
        return;
    }
    // Logged in only when every step succeeds: a refresh that fails leaves the program
    // logged out, exactly as before the attempt, and its error goes to the caller.
    const FilterBarState before(*this);
    try {
        setWindowTitle(QStringLiteral("Veldra - [User: ") + qrWP_Users->asString(QStringLiteral("user_login"))
            + QStringLiteral("]"));
        UserID = NewUserID;
        acLogin->setText(QStringLiteral("Logout"));
        pnlFilters->show();
        for (QAction* a : {acCompanies, acAccess, acCostCentres, acFinancialYears})
            a->setEnabled(true);
        setTabShown(tsTrialBalance, true);
        setTabShown(tsJournalEntries, true);
        RefreshFilters();
    } catch (...) {
        Logout();
        before.restore();
        throw;
    }
}

void TfrmMain::Logout()
{
    UserID = 0;
    acLogin->setText(QStringLiteral("Login"));
    setWindowTitle(QStringLiteral("Veldra"));
    pnlFilters->hide();
    for (QAction* a : {acCompanies, acAccess, acCostCentres, acFinancialYears})
        a->setEnabled(false);
    setTabShown(tsTrialBalance, false);
    setTabShown(tsJournalEntries, false);
    showTab(tsWelcome);
}
