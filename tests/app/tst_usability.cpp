// What a user meets first in every window: where the cursor is, where Tab goes, whether
// anything is cut off or silently changed, and what happens when a link cannot open.
#include "SetupTestHelpers.h"
#include "TestSupport.h"

#include "TrialBalanceTesting.h"
#include "app/Main.h"
#include "db/Query.h"
#include "journal/JournalEntry.h"
#include "setup/Account.h"
#include "setup/Accounts.h"
#include "setup/Companies.h"
#include "setup/Company.h"
#include "setup/CostCentre.h"
#include "setup/CostCentres.h"
#include "setup/FinancialYear.h"
#include "setup/FinancialYears.h"
#include "standard/LabeledEdit.h"
#include "standard/LinkLabel.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"
#include "users/Access.h"
#include "users/ChangeUserAccess.h"
#include "users/CreateUser.h"
#include "users/Login.h"

#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

namespace {
// A logged-in administrator of one company with a cost centre, the company selected.
struct Books : World {
    int alpha = company("Alpha Farms");
    Books()
    {
        db.addCostCentre(alpha, 100, "Head Office");
        db.addObject(11100, "Cash", "Balance Sheet", 2, "Yes");
        db.addYear(alpha, "FY2024", QDate(2024, 3, 1));
        w.Login(user);
        selectId(w.cbCompany, alpha);
    }
};

const QString kLong = QStringLiteral("A description long enough to run past the end of its box");

// The dialog a row of the table opens, with what it needs around it.
struct Opened {
    std::unique_ptr<QDialog> list;
    std::unique_ptr<QDialog> dialog;
    LabeledEdit* filled = nullptr; // a box the opener filled, which must show its start
};

Opened open(Books& x, const QString& which)
{
    Opened o;
    if (which == "login") {
        o.dialog = std::make_unique<TfrmLogin>([&x](int id) { x.w.Login(id); }, &x.w);
    } else if (which == "create user") {
        o.dialog = std::make_unique<TfrmCreateUser>(&x.w);
    } else if (which.endsWith("company")) {
        auto* list = new TfrmCompanies(x.w.books(), x.w.qrCompanies, &x.w);
        o.list.reset(list);
        auto* d = new TfrmCompany(list);
        o.dialog.reset(d);
        if (which.startsWith("edit")) {
            d->setWindowTitle(TfrmCompany::EditCaption);
            d->edtCompanyName->setText(kLong.left(50));
            o.filled = d->edtCompanyName;
        }
    } else if (which.endsWith("cost centre")) {
        auto* list = new TfrmCostCentres(x.w.books(), x.w.qrCostCentres, &x.w);
        o.list.reset(list);
        auto* d = new TfrmCostCentre(list);
        o.dialog.reset(d);
        if (which.startsWith("edit")) {
            d->setWindowTitle(TfrmCostCentre::EditCaption);
            d->edtCostCentreNumber->setText("100");
            d->edtCostCentreDescription->setText(kLong.left(50));
            o.filled = d->edtCostCentreDescription;
        }
    } else if (which == "new account") {
        showTrialBalance(x.w);
        selectRow(*x.w.sgTB, "11100", "");
        auto* list = new TfrmAccounts(x.w.books(), x.w.qrAccounts, trialBalanceObjectAt(*x.w.sgTB), &x.w);
        o.list.reset(list);
        o.dialog = std::make_unique<TfrmAccount>(list);
    } else if (which == "change access") {
        auto* list = new TfrmAccess(x.w.books(), x.w.qrAccess, &x.w);
        o.list.reset(list);
        o.dialog = std::make_unique<TfrmChangeUserAccess>(list);
    } else if (which == "journal entry") {
        o.dialog = std::make_unique<TfrmJournalEntry>(x.w.books(), &x.w);
    } else if (which == "new financial year") {
        auto* list = new TfrmFinancialYears(x.w.books(), x.w.qrFinancialYears, &x.w);
        o.list.reset(list);
        o.dialog = std::make_unique<TfrmFinancialYear>(list, list);
    } else if (which == "financial years") {
        o.dialog = std::make_unique<TfrmFinancialYears>(x.w.books(), x.w.qrFinancialYears, &x.w);
    } else if (which == "companies") {
        o.dialog = std::make_unique<TfrmCompanies>(x.w.books(), x.w.qrCompanies, &x.w);
    } else if (which == "cost centres") {
        o.dialog = std::make_unique<TfrmCostCentres>(x.w.books(), x.w.qrCostCentres, &x.w);
    }
    return o;
}

// The control that has the focus: a grid for its cell editor too.
QWidget* focused()
{
    QWidget* w = QApplication::focusWidget();
    for (QWidget* p = w; p; p = p->parentWidget())
        if (qobject_cast<QAbstractItemView*>(p))
            return p;
    return w;
}

QString focusName()
{
    QWidget* w = focused();
    return !w ? "(none)" : !w->objectName().isEmpty() ? w->objectName() : w->metaObject()->className();
}

// Presses Tab. An editable grid takes it for its own cells, and from it the focus goes on
// as when Tab leaves its last cell.
void pressTab()
{
    QWidget* at = QApplication::focusWidget();
    auto* view = qobject_cast<QAbstractItemView*>(focused());
    if (!view || !view->tabKeyNavigation()) {
        QTest::keyClick(at, Qt::Key_Tab);
        return;
    }
    for (QWidget* w = view->nextInFocusChain(); w != view; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()
            && w->window() == view->window() && !view->isAncestorOf(w)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
}
}

class TestUsability : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }

    void dialogsOpenInTheirFirstInputAndTabInReadingOrder_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QStringList>("chain"); // focus on opening, then after each Tab
        const QStringList list{"lblHelp", "lblBibleVerseLink"};
        QTest::newRow("login") << "login" << QStringList{"edtUsername", "edtPassword", "btnOk"};
        QTest::newRow("create user") << "create user"
                                     << QStringList{"edtUsername", "edtEmail", "edtPassword", "btnOk"};
        QTest::newRow("new company") << "new company" << QStringList{"edtCompanyName", "btnOk"};
        QTest::newRow("edit company") << "edit company" << QStringList{"edtCompanyName", "btnOk"};
        QTest::newRow("new cost centre")
            << "new cost centre" << QStringList{"edtCostCentreNumber", "edtCostCentreDescription", "btnOk"};
        QTest::newRow("edit cost centre")
            << "edit cost centre" << QStringList{"edtCostCentreNumber", "edtCostCentreDescription", "btnOk"};
        QTest::newRow("new account") << "new account"
                                     << QStringList{"cbCostCentre", "edtAccountDescription", "btnOk"};
        QTest::newRow("change access") << "change access"
                                       << QStringList{"cbAccessCompany", "cbAdministrator", "cbTrialBalance",
                                              "cbJournalEntries", "Button1"};
        QTest::newRow("journal entry")
            << "journal entry"
            << QStringList{"dtpJournalEntryDate", "edtJournalEntryDescription", "sg", "btnOK"};
        QTest::newRow("new financial year")
            << "new financial year"
            << QStringList{"edtFinancialYearDescription", "dtpStartDate", "btnCalculate", "sg", "btnOk"};
        QTest::newRow("financial years")
            << "financial years"
            << QStringList{"btnNewFinancialYear", "btnEditFinancialYear", "dbgFinancialYears"} + list;
        QTest::newRow("companies") << "companies"
                                   << QStringList{"btnNewCompany", "btnEditCompany", "dbgCompanies"} + list;
        QTest::newRow("cost centres")
            << "cost centres"
            << QStringList{"btnNewCostCentre", "btnEditCostCentre", "dbgCostCentres"} + list;
    }

    void dialogsOpenInTheirFirstInputAndTabInReadingOrder()
    {
        QFETCH(QString, which);
        QFETCH(QStringList, chain);
        Books x;
        Opened o = open(x, which);
        QDialog* d = o.dialog.get();
        QVERIFY(d);
        d->show();
        QVERIFY(QTest::qWaitForWindowActive(d));
        // The box with the cursor shows it: it looks different once the focus has left it.
        if (QWidget* first = focused(); first && !chain.first().startsWith("btn")) {
            const QImage withFocus = first->grab().toImage();
            first->clearFocus();
            const QImage without = first->grab().toImage();
            first->setFocus(Qt::OtherFocusReason);
            QVERIFY2(withFocus != without, qPrintable(chain.first() + " shows no focus"));
        }
        QStringList seen{focusName()};
        for (int i = 0; i < chain.size(); ++i) {
            pressTab();
            seen << focusName();
        }
        QCOMPARE(seen, chain + QStringList{chain.first()}); // and round again
        // A fixed dialog offers nothing to maximise.
        QVERIFY(!(d->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(d->windowFlags() & Qt::CustomizeWindowHint);
        QCOMPARE(d->minimumSize(), d->maximumSize());
        if (o.filled) {
            QCOMPARE(o.filled->cursorPosition(), 0); // shows the start of its text
            QVERIFY(o.filled->text().startsWith("A description"));
        }
    }

    void linksAreReachedAndFollowedByKeyboard()
    {
        Books x;
        LinkCatcher urls;
        TfrmCostCentres list(x.w.books(), x.w.qrCostCentres, &x.w);
        list.show();
        QVERIFY(QTest::qWaitForWindowActive(&list));
        list.lblHelp->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list.lblHelp, Qt::Key_Return);
        list.lblBibleVerseLink->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list.lblBibleVerseLink, Qt::Key_Space);
        QCOMPARE(urls.urls.size(), 2);
        QCOMPARE(urls.urls[1].toString(), verseUrl("/luke/14-28.htm"));
        QVERIFY(list.isVisible()); // Enter on a link does not press a button of the window
        // Still blue text with a hand cursor.
        QCOMPARE(list.lblHelp->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(list.lblHelp->cursor().shape(), Qt::PointingHandCursor);
        // The filter bar's captions come before its boxes, each line left to right.
        QStringList chain;
        for (QWidget* w = x.w.lblCompany; chain.size() < 6; w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w->objectName();
        QCOMPARE(chain,
            (QStringList{"lblCompany", "lblFinancialYear", "lblFinancialPeriod", "cbCompany",
                "cbFinancialYear", "cbFinancialPeriod"}));
    }

    void failedLinkShowsItsAddress()
    {
        // No handler and no browser behind the offscreen screen: opening fails.
        Books x;
        TfrmCompanies list(x.w.books(), x.w.qrCompanies, &x.w);
        QTest::mouseClick(list.lblHelp, Qt::LeftButton);
        QCOMPARE(x.log.messages.size(), 1);
        QVERIFY(x.log.messages[0].startsWith("The page could not be opened.  Its address is:"));
        QVERIFY(x.log.messages[0].endsWith(helpUrl("/blog/companies")));
        x.log.clear();
        {
            LinkCatcher urls; // with something to open it, no message
            QTest::mouseClick(list.lblHelp, Qt::LeftButton);
            QCOMPARE(urls.urls.size(), 1);
        }
        QVERIFY(x.log.messages.isEmpty());
    }

    void mainWindowCannotShrinkPastItsFilterBar()
    {
        Books x;
        x.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&x.w));
        x.w.resize(640, 360);
        QCoreApplication::processEvents();
        const QRect window = x.w.rect();
        for (QWidget* part : std::initializer_list<QWidget*>{x.w.cbCompany, x.w.cbFinancialYear,
                 x.w.cbFinancialPeriod, x.w.bDates, x.w.lblPeriodStartDate, x.w.lblPeriodOpen}) {
            const QRect at(part->mapTo(&x.w, QPoint(0, 0)), part->size());
            QVERIFY2(window.contains(at), qPrintable(part->objectName()));
            QVERIFY2(x.w.pnlFilters->rect().contains(
                         QRect(part->mapTo(x.w.pnlFilters, QPoint(0, 0)), part->size())),
                qPrintable(part->objectName()));
        }
        for (QWidget* tab : std::initializer_list<QWidget*>{x.w.tsTrialBalance, x.w.tsJournalEntries}) {
            x.w.pcMain->setCurrentWidget(tab);
            QCoreApplication::processEvents();
            for (QWidget* child : tab->findChildren<QPushButton*>())
                QVERIFY2(tab->rect().contains(child->geometry()), qPrintable(child->objectName()));
        }
        QTabBar* bar = x.w.pcMain->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            QVERIFY(bar->rect().contains(bar->tabRect(i)));
        QVERIFY(x.w.sgTB->width() >= 50);
        QVERIFY(x.w.minimumWidth() <= 1046 && x.w.minimumHeight() <= 531); // the designed size still fits
        x.w.close();
    }

    void refusedInputNeverAppears()
    {
        Books x;
        TfrmCostCentres list(x.w.books(), x.w.qrCostCentres, &x.w);
        TfrmCostCentre dialog(&list);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        LabeledEdit* number = dialog.edtCostCentreNumber;
        QSignalSpy refusals(number, &LabeledEdit::refused);
        QTest::keyClicks(number, "12");
        QVERIFY(refusals.isEmpty());
        // A paste that is not wholly a number is refused whole: no digits are picked out of it.
        QGuiApplication::clipboard()->setText("abc-1.5");
        number->paste();
        QCOMPARE(number->text(), QStringLiteral("12"));
        QCOMPARE(refusals.size(), 1);
        QCOMPARE(number->lastRefusal(), QStringLiteral("The cost centre number takes digits only."));
        // A typed character the box refuses never appears, and says so.
        QTest::keyClicks(number, "x");
        QCOMPARE(number->text(), QStringLiteral("12"));
        QCOMPARE(refusals.size(), 2);
        QGuiApplication::clipboard()->setText("345");
        number->paste();
        QCOMPARE(number->text(), QStringLiteral("12345"));
        QCOMPARE(refusals.size(), 2);

        // Past the 50-character limit a paste is refused, not cut short.
        LabeledEdit* description = dialog.edtCostCentreDescription;
        description->setFocus();
        QTest::keyClicks(description, QString(45, 'd'));
        QGuiApplication::clipboard()->setText("0123456789");
        description->paste();
        QCOMPARE(description->text(), QString(45, 'd'));
        QCOMPARE(description->lastRefusal(), QStringLiteral("This box takes at most 50 characters."));
        QTest::keyClicks(description, QString(10, 'e'));
        QCOMPARE(description->text(), QString(45, 'd') + QString(5, 'e'));
        dialog.close();
    }

    void limitCountsCharactersAsTheDatabaseDoes()
    {
        // An emoji is two UTF-16 units but one character: 49 letters and an emoji fit in 50.
        Books x;
        TfrmCompanies list(x.w.books(), x.w.qrCompanies, &x.w);
        TfrmCompany dialog(&list);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const QString emoji = QString::fromUcs4(U"\U0001F600");
        QGuiApplication::clipboard()->setText(QString(49, 'n') + emoji);
        dialog.edtCompanyName->paste();
        QCOMPARE(dialog.edtCompanyName->text(), QString(49, 'n') + emoji);
        QCOMPARE(dialog.edtCompanyName->lastRefusal(), QString());
        QTest::keyClicks(dialog.edtCompanyName, "n"); // the 51st character
        QCOMPARE(dialog.edtCompanyName->text(), QString(49, 'n') + emoji);
        QVERIFY(!dialog.edtCompanyName->lastRefusal().isEmpty());
        // It saves whole.
        dialog.btnOk->click();
        QCOMPARE(x.db.scalar("SELECT `company name` FROM companies ORDER BY id DESC LIMIT 1").toString(),
            QString(49, 'n') + emoji);
    }

    void messageBoxHasRoomForItsTitle()
    {
        // Without the test's message log the real box shows.
        int width = 0;
        QString title;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            width = box->width();
            title = box->windowTitle();
            box->accept();
        });
        Boodskap("Saved.", false);
        QCOMPARE(title, QStringLiteral("Veldra Accounting"));
        QVERIFY2(width >= messageBoxMinimumWidth(title), qPrintable(QString::number(width)));
    }

    void setupWindowsShareTheirVerseFont()
    {
        Books x;
        TfrmCompanies companies(x.w.books(), x.w.qrCompanies, &x.w);
        TfrmCostCentres costCentres(x.w.books(), x.w.qrCostCentres, &x.w);
        QCOMPARE(companies.lblVerse->font().pointSizeF(), costCentres.lblVerse->font().pointSizeF());
        QVERIFY(textFits(companies.lblVerse));
        QVERIFY(textFits(costCentres.lblVerse));
    }
};

QTEST_MAIN(TestUsability)
#include "tst_usability.moc"
