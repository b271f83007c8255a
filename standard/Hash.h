#pragma once
#include <QString>

// One byte per UTF-16 code unit (anything above 0x7F hashes as "?"), lower-case hex.
QString MD5(const QString& texto);
// The password hash kept in wp_users.user_pass.
QString wp_hash_password(const QString& password);
