#include "TestSupport.h"

#include "app/Main.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"

#include "db/DbError.h"
#include "db/Query.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>

// Runs `step` from the event loop, also while a modal dialog or message box has its own.
static void later(int ms, std::function<void()> step) { QTimer::singleShot(ms, qApp, std::move(step)); }

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }

    void startsLoggedOut()
    {
        TestDatabase db;
        TfrmMain w;
        QCOMPARE(frmMain, &w);
        QCOMPARE(w.windowTitle(), QStringLiteral("Veldra"));
        QCOMPARE(w.UserID, 0);
        QCOMPARE(w.acLogin->text(), QStringLiteral("Login"));
        QVERIFY(!w.pnlFilters->isVisibleTo(&w));
        for (QAction* a : {w.acCompanies, w.acAccess, w.acCostCentres, w.acFinancialYears})
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        for (QAction* a : {w.acLogin, w.acCreateUser, w.acExit})
            QVERIFY(a->isEnabled());
        QVERIFY(w.pcMain->isTabVisible(0));
        QVERIFY(!w.pcMain->isTabVisible(1));
        QVERIFY(!w.pcMain->isTabVisible(2));
        QCOMPARE(w.pcMain->currentWidget(), w.tsWelcome);
        QCOMPARE(TB.OpeningBalance, 10);
        QCOMPARE(TB.Classification, 1);
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Veldra Accounting"));
        // Every named part is findable by its name.
        for (const char* name : {"cbCompany", "cbFinancialYear", "cbFinancialPeriod", "lblPeriodOpen", "sgTB",
                 "dbgJournalEntries", "btnNewJournalEntry", "qrAccess", "qrTransactionDetails", "fdcMain",
                 "acFinancialYears", "lblWelcome"})
            QVERIFY2(w.findChild<QObject*>(QLatin1String(name)), name);
    }

    void welcomeLinkOpensHelpPage()
    {
        TestDatabase db;
        TfrmMain w;
        LinkCatcher catcher;
        w.lblWelcomeClick();
        QCOMPARE(catcher.urls.size(), 1);
        QVERIFY(catcher.urls[0].toString().endsWith("/help/blog/welcome-to-veldra-accounting.html"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Veldra"));
    }

    // A database error no code handles reaches the standard error box from inside a
    // modal dialog; the dialog stays open and the program goes on.
    void uncaughtErrorInsideDialogIsShownAndProgramGoesOn()
    {
        TestDatabase db;
        TfrmMain w;
        w.show();
        QDialog dialog(&w);
        auto* button = new QPushButton("Save", &dialog);
        bool reached = false;
        QObject::connect(button, &QPushButton::clicked, &dialog, [&] {
            guarded([&] {
                Query q;
                q.open({"SELECT * FROM no_such_table"});
                reached = true;
            });
        });
        QString shown;
        bool dialogOpenAfterError = false;
        later(0, [&] { button->click(); });
        // The error box is up while the click handler waits for it.
        std::function<void()> closeBox = [&] {
            if (QMessageBox* box = shownMessageBox()) {
                shown = box->text();
                box->accept();
                later(0, [&] {
                    dialogOpenAfterError = dialog.isVisible();
                    dialog.accept();
                });
            } else {
                later(20, closeBox);
            }
        };
        later(20, closeBox);
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(!reached);
        QVERIFY2(shown.contains("no_such_table"), qPrintable(shown));
        QVERIFY(dialogOpenAfterError);
        w.qrCompanies->open({"SELECT COUNT(*) AS n FROM companies"});
        QCOMPARE(w.qrCompanies->asInteger("n"), 0);
    }

    // A handler that lets an error out of its transaction leaves nothing written and no
    // transaction open for the next one.
    void guardedRollsBackAnAbandonedTransaction()
    {
        TestDatabase db;
        TfrmMain w;
        MessageLog log;
        guarded([&] {
            w.fdcMain->startTransaction();
            RowWriter("companies").set("company name", "Acme").insert();
            Query::execute("INSERT INTO no_such_table VALUES (1)");
            w.fdcMain->commit();
        });
        QCOMPARE(log.errors.size(), 1);
        QVERIFY(!w.fdcMain->inTransaction());
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM companies").toInt(), 0);
        w.fdcMain->startTransaction();
        RowWriter("companies").set("company name", "Beta").insert();
        w.fdcMain->commit();
        QCOMPARE(db.scalar("SELECT `company name` FROM companies").toString(), QStringLiteral("Beta"));
    }

    // Without a server there is no main window to work with.
    void unreachableServerStopsStartUp()
    {
        ConnectionSettings s = testServerSettings();
        s.port = 1;
        s.database = "nowhere";
        SetConnectionSettings(s);
        QVERIFY_THROWS_EXCEPTION(DbError, TfrmMain());
        QCOMPARE(frmMain, nullptr);
    }

    void closeSavesLayoutExitDoesNot()
    {
        TestDatabase db;
        QFile::remove(layoutDir() + "frmMain.txt");
        QFile::remove(layoutDir() + "sgTB.txt");
        {
            TfrmMain w;
            w.show();
            w.move(40, 50);
            // The main window's minimum width is wider than the test screen's: only the
            // height is free, so the test keeps to the minimum width.
            w.resize(w.minimumWidth(), 560);
            w.sgTB->setColumnWidth(2, 123);
            w.acExitExecute(); // ends without saving
        }
        QVERIFY(!QFile::exists(layoutDir() + "frmMain.txt"));
        {
            TfrmMain w;
            w.show();
            w.move(40, 50);
            w.resize(w.minimumWidth(), 560);
            w.sgTB->setColumnWidth(2, 123);
            w.close();
        }
        QVERIFY(QFile::exists(layoutDir() + "frmMain.txt"));
        TfrmMain again;
        QCOMPARE(again.size(), QSize(again.minimumWidth(), 560));
        QCOMPARE(again.sgTB->columnWidth(2), 123);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
