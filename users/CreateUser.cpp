#include "users/CreateUser.h"

#include "db/DbError.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "users/UserStore.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

namespace {
EditDialogDesign createUserDesign()
{
    EditDialogDesign d;
    d.name = QStringLiteral("frmCreateUser");
    d.caption = QStringLiteral("Create user");
    d.clientSize = {269, 194};
    d.groupName = QStringLiteral("gbLoginDetails");
    d.groupCaption = QStringLiteral("User details");
    d.groupRect = {8, 8, 250, 145};
    d.okRect = {168, 161, 81, 25};
    return d;
}

const QString UsernameInUse = QStringLiteral("Username already in use.");
const QString EmailInUse = QStringLiteral("Email already in use.");
const QString PasswordCharacters
    = QStringLiteral("Password may only contain unaccented letters, numbers, spaces and the punctuation "
                     "of an English keyboard.");

}

TfrmCreateUser::TfrmCreateUser(QWidget* parent)
    : EditDialog(createUserDesign(), QString(), parent), gbLoginDetails(group()),
      edtUsername(addEdit(QStringLiteral("edtUsername"),
          QStringLiteral("Username (only lowercase letters and numbers)"), 8, 32, 233)),
      edtEmail(addEdit(QStringLiteral("edtEmail"), QStringLiteral("Email"), 8, 72, 233)),
      edtPassword(addEdit(QStringLiteral("edtPassword"), QStringLiteral("Password"), 8, 115, 233)),
      btnOk(okButton())
{
    setSaveKeyLookup([this] { return UserStore::claimed(saveClaim()); });
    edtPassword->setEchoMode(QLineEdit::Password);
    edtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // "*"
    FormCreate();
}

void TfrmCreateUser::showEvent(QShowEvent* event)
{
    EditDialog::showEvent(event);
    // The long caption is made to fit above its box in the font it is shown in (known only
    // now), rather than cut off at the group's edge.
    QLabel* caption = edtUsername->editLabel();
    QFont font = caption->font();
    while (
        QFontMetrics(font).horizontalAdvance(caption->text()) > edtUsername->width() && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    caption->setFont(font);
    caption->adjustSize();
}

bool TfrmCreateUser::checkInput()
{
    // The user sees the name as it will be stored, also when a later check refuses.
    edtUsername->setText(edtUsername->text().toLower());
    if (!ToetsText(edtUsername, 3, false, true, true))
        return false;
    static const QRegularExpression allowed(QStringLiteral("^[0-9a-z]+$"));
    if (!allowed.match(edtUsername->text()).hasMatch()) {
        Boodskap(QStringLiteral("Username may only contain lowercase letters and numbers."));
        return false;
    }
    if (!ToetsEmail(edtEmail, 3, false, false, false))
        return false;
    if (!ToetsText(edtPassword, 3, false, false, false))
        return false;
    // The stored hash, shared with the web site, reads every other character as one and
    // the same: "pössé" would also let "päss€" in.
    for (const QChar c : edtPassword->text())
        if (c.unicode() > 0x7e)
            return refuse(edtPassword, PasswordCharacters);
    if (UserStore::valueTaken(QStringLiteral("user_login"), edtUsername->text(), false))
        return refuse(edtUsername, UsernameInUse);
    if (UserStore::valueTaken(QStringLiteral("user_email"), edtEmail->text(), false))
        return refuse(edtEmail, EmailInUse);
    return true;
}

void TfrmCreateUser::Save()
{
    const QString name = edtUsername->text();
    const QString email = edtEmail->text();
    int id = 0;
    const bool saved = SaveResult::Saved
        == saveInTransaction(
            [&](Transaction&) {
                // The web site's tables have no unique keys: these locking reads are what keeps
                // a name or an address from being registered twice at the same moment, after
                // the claims that make two registrations on two cluster nodes collide.
                for (const QString& claim :
                    {QStringLiteral("login:") + name, QStringLiteral("email:") + email})
                    UserStore::claim(claim, Now());
                // The window's own claim, which only this registration writes: OK again after
                // an unconfirmed save finds it when the user was registered.
                UserStore::claim(saveClaim(), Now());
                if (UserStore::valueTaken(QStringLiteral("user_login"), name, true))
                    throw SaveRefused{edtUsername, UsernameInUse, {}};
                if (UserStore::valueTaken(QStringLiteral("user_email"), email, true))
                    throw SaveRefused{edtEmail, EmailInUse, {}};
                id = RowWriter(QStringLiteral("wp_users"))
                         .set(QStringLiteral("user_login"), name)
                         .set(QStringLiteral("user_pass"), wp_hash_password(edtPassword->text()))
                         .set(QStringLiteral("user_nicename"), name)
                         .set(QStringLiteral("user_email"), email)
                         .set(QStringLiteral("user_registered"), Now())
                         .set(QStringLiteral("user_status"), 0)
                         .set(QStringLiteral("display_name"), name)
                         .set(QStringLiteral("spam"), 0)
                         .set(QStringLiteral("deleted"), 0)
                         .insert();
                const std::pair<QString, QString> meta[]
                    = {{QStringLiteral("wp_capabilities"), QStringLiteral("a:1:{s:10:\"subscriber\";b:1;}")},
                        {QStringLiteral("wp_user_level"), QStringLiteral("0")}};
                for (const auto& [key, value] : meta)
                    RowWriter(QStringLiteral("wp_usermeta"))
                        .set(QStringLiteral("user_id"), id)
                        .set(QStringLiteral("meta_key"), key)
                        .set(QStringLiteral("meta_value"), value)
                        .insert();
            },
            [&] { return UserStore::exists(id); },
            QStringLiteral("User could not be created.  Please try again."));
    if (saved)
        accept();
}
