#pragma once
#include <QDateTime>
#include <QString>
#include <optional>

// A file imported into a company: its fingerprint, kept so the same file is noticed
// when it comes again.
struct ImportedFile {
    int companyId = 0;
    QString contentHash; // SHA-256 of the file's bytes, hex
    QString fileName;
    int entryCount = 0;
    int lineCount = 0;
    int importedBy = 0;
    QDateTime importedAt;
    QString importedByLogin; // read only
    QString saveKey; // unique: a second save of the same import collides on it
};

// The statements on `imported files`. Each throws DbError.
namespace ImportStore {
// The latest import of a file with this hash into the company; empty when there is none.
std::optional<ImportedFile> latest(int companyId, const QString& contentHash);
void insert(const ImportedFile& file);
// Whether the import with this key is stored (asked after a COMMIT whose reply was lost).
bool saved(const QString& saveKey);
}
