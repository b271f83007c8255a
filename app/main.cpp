#include "app/Main.h"
#include "db/DbError.h"
#include "standard/DocumentOpener.h"
#include "standard/Standard.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    InitApplication();
    // Files open through it, so that a desktop without a program for them is reported.
    DocumentOpener opener;
    std::unique_ptr<TfrmMain> window;
    try {
        window = std::make_unique<TfrmMain>();
    } catch (const DbError& e) {
        // No offline mode: without the database the program cannot be used.
        QMessageBox::critical(nullptr, QStringLiteral("Veldra Accounting"),
            QStringLiteral("Could not connect to the database.\n\n") + e.text());
        return 1;
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Veldra Accounting"),
            QStringLiteral("The program could not start.\n\n") + QString::fromUtf8(e.what()));
        return 1;
    }
    window->show();
    return app.exec();
}
