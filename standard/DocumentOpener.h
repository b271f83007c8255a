#pragma once
// Opens local files (an exported workbook, the shipped help pages) in the desktop's program
// for them, and says so when that fails, also when it fails only after it started: the
// desktop's own opener reports success as soon as it has launched its helper.
#include <QObject>
#include <QUrl>

class DocumentOpener : public QObject {
    Q_OBJECT
public:
    // Becomes the handler of file: links for as long as it lives.
    explicit DocumentOpener(QObject* parent = nullptr);
    ~DocumentOpener() override;

    // The message shown when no program could open `path`.
    static QString failureMessage(const QString& path);

public slots:
    void open(const QUrl& url);
};
