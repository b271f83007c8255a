#include "standard/Hash.h"

#include <QCryptographicHash>

QString MD5(const QString& texto)
{
    QByteArray bytes;
    bytes.reserve(texto.size());
    for (const QChar c : texto)
        bytes.append(c.unicode() <= 0x7F ? char(c.unicode()) : '?');
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

QString wp_hash_password(const QString& password)
{
    QString h = MD5(QStringLiteral("Lobo3189@@") + password + QStringLiteral("@@Lobo3189"));
    h = MD5(h + QStringLiteral("@@Rona velmar447@@"));
    for (int i = 0; i < 4; ++i)
        h = MD5(h);
    return h;
}
