#include "standard/DocumentOpener.h"

#include "standard/Standard.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>

DocumentOpener::DocumentOpener(QObject* parent) : QObject(parent)
{
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
}

DocumentOpener::~DocumentOpener() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

QString DocumentOpener::failureMessage(const QString& path)
{
    return QStringLiteral("No program could open the file.  It is saved as:\n\n")
        + QDir::toNativeSeparators(path);
}

void DocumentOpener::open(const QUrl& url)
{
    const QString path = url.toLocalFile();
    // xdg-open picks the desktop's program; it ends with an error code when there is none
    // (after it started, so only its end tells). A program it runs in the foreground may
    // keep it going for as long as the document is open: that is success.
    auto* process = new QProcess(this);
    connect(process, &QProcess::errorOccurred, this, [process, path](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        Boodskap(failureMessage(path));
    });
    connect(process, &QProcess::finished, this, [process, path](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status != QProcess::NormalExit || code != 0)
            Boodskap(failureMessage(path));
    });
    process->start(QStringLiteral("xdg-open"), {path});
}
