#include "TestSupport.h"

#include "app/Main.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"

#include <QAction>
#include <QDesktopServices>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestApplication(); }

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
        for (const char* name : {"cbCompany", "cbFinancialYear", "cbFinancialPeriod", "lblPeriodOpen",
                                 "sgTB", "dbgJournalEntries", "btnNewJournalEntry", "qrAccess",
                                 "qrTransactionDetails", "fdcMain", "acFinancialYears", "lblWelcome"})
            QVERIFY2(w.findChild<QObject*>(QLatin1String(name)), name);
    }

    void welcomeLinkOpensHelpPage()
    {
        TestDatabase db;
        TfrmMain w;
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        w.lblWelcomeClick();
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(catcher.urls.size(), 1);
        QVERIFY(catcher.urls[0].toString().endsWith("/help/blog/welcome-to-veldra-accounting.html"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Veldra"));
    }

    void closeSavesLayoutExitDoesNot()
    {
        TestDatabase db;
        QFile::remove(LayoutDir() + "frmMain.txt");
        QFile::remove(LayoutDir() + "sgTB.txt");
        {
            TfrmMain w;
            w.show();
            w.move(40, 50);
            w.resize(900, 600);
            w.sgTB->setColumnWidth(2, 123);
            w.acExitExecute();   // ends without saving
        }
        QVERIFY(!QFile::exists(LayoutDir() + "frmMain.txt"));
        {
            TfrmMain w;
            w.show();
            w.move(40, 50);
            w.resize(900, 600);
            w.sgTB->setColumnWidth(2, 123);
            w.close();
        }
        QVERIFY(QFile::exists(LayoutDir() + "frmMain.txt"));
        TfrmMain again;
        QCOMPARE(again.size(), QSize(900, 600));
        QCOMPARE(again.sgTB->columnWidth(2), 123);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
