#pragma once
#include <QDateTime>
#include <QString>
#include <optional>

// A web site user as the program's windows find one.
struct UserRow {
    int id = 0;
    QString passwordHash;
};

// The statements on the web site's `wp_users` that the program runs. Each throws DbError.
namespace UserStore {
// The user whose login name or e-mail address is `text`; when one user's login name is
// another's address, the older account (lowest ID).
std::optional<UserRow> byLoginOrEmail(const QString& text);
// The user's login name; empty when there is no such user.
std::optional<QString> loginName(int userId);
// Whether a user already holds `value` in `column` (user_login or user_email). With
// `locking`, inside the saving transaction: the read waits for another writer's
// uncommitted row with that value, the web site's included, and then sees it.
bool valueTaken(const QString& column, const QString& value, bool locking);
// Whether the user exists.
bool exists(int userId);
// Whether a committed registration wrote this claim.
bool claimed(const QString& claim);
// Claims a login name or address ("login:" or "email:" before it) for a registration:
// two registrations of one on two cluster nodes collide on the claim's row.
void claim(const QString& claim, const QDateTime& at);
}
