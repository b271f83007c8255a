#include "import/ImportStore.h"

#include "db/Query.h"

std::optional<ImportedFile> ImportStore::latest(int companyId, const QString& contentHash)
{
    Query q;
    q.setSql(
        {QStringLiteral(
             "SELECT `file name`, `entry count`, `line count`, `imported by`, `imported at`, `save key`,"),
            QStringLiteral("(SELECT user_login FROM wp_users WHERE ID = `imported by`) AS login"),
            QStringLiteral("FROM `imported files`"),
            QStringLiteral("WHERE (`company id` = :company) and (`content hash` = :hash)"),
            QStringLiteral("ORDER BY id DESC LIMIT 1")});
    q.bind(QStringLiteral("company"), companyId);
    q.bind(QStringLiteral("hash"), contentHash);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    ImportedFile f;
    f.companyId = companyId;
    f.contentHash = contentHash;
    f.fileName = q.asString(QStringLiteral("file name"));
    f.entryCount = q.asInteger(QStringLiteral("entry count"));
    f.lineCount = q.asInteger(QStringLiteral("line count"));
    f.importedBy = q.asInteger(QStringLiteral("imported by"));
    f.importedAt = QDateTime::fromString(q.asString(QStringLiteral("imported at")), Qt::ISODate);
    f.importedByLogin = q.asString(QStringLiteral("login"));
    f.saveKey = q.asString(QStringLiteral("save key"));
    return f;
}

void ImportStore::insert(const ImportedFile& file)
{
    RowWriter(QStringLiteral("imported files"))
        .set(QStringLiteral("company id"), file.companyId)
        .set(QStringLiteral("content hash"), file.contentHash)
        .set(QStringLiteral("file name"), file.fileName)
        .set(QStringLiteral("entry count"), file.entryCount)
        .set(QStringLiteral("line count"), file.lineCount)
        .set(QStringLiteral("imported by"), file.importedBy)
        .set(QStringLiteral("imported at"), file.importedAt)
        .set(QStringLiteral("save key"), file.saveKey)
        .insert();
}

bool ImportStore::saved(const QString& saveKey)
{
    return Query::firstValue({QStringLiteral("SELECT id FROM `imported files` WHERE `save key` = :key")},
        {{QStringLiteral("key"), saveKey}}, QStringLiteral("id"))
        .has_value();
}
