#include "SetupTestHelpers.h"
#include "TestSupport.h"
#include "TrialBalanceTesting.h"

#include "app/Main.h"
#include "db/Query.h"
#include "setup/Account.h"
#include "setup/Accounts.h"
#include "standard/LabeledEdit.h"
#include "standard/LinkLabel.h"
#include "standard/Standard.h"

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {
// Ann with "create" on the trial balance of Alpha (not its administrator), Beta and
// Gamma (without cost centres). Alpha holds Cash on its cost centres 100 and 300; Beta has
// a cost centre 100 of its own with a Cash account. The trial balance of Alpha is shown.
struct Books : World {
    int alpha = db.addCompany("Alpha Farms");
    int beta = db.addCompany("Beta Trading");
    int gamma = db.addCompany("Gamma Empty");
    int cc300 = db.addCostCentre(alpha, 300, "Workshop");
    int cc100 = db.addCostCentre(alpha, 100, "Head Office");
    int cc200 = db.addCostCentre(alpha, 200, "Sales");
    int betaCc = db.addCostCentre(beta, 100, "Beta Office");
    int assets = db.addObject(10000, "Assets", "Balance Sheet", 1, "No");
    int cash = db.addObject(11100, "Cash", "Balance Sheet", 2, "Yes");
    int stock = db.addObject(12000, "Stock", "Balance Sheet", 2, "Yes");
    // The chart is loaded by other means; a database made before the schema checked the
    // flag may hold "yes", which does not count as "Yes".
    int loans = (db.exec("ALTER TABLE objects DROP CONSTRAINT `use for account flag`"),
        db.addObject(13000, "Loans", "Balance Sheet", 2, "yes"));
    int cashWorkshop = db.addAccount(cc300, cash, "Cash in the workshop");
    int cashOffice = db.addAccount(cc100, cash, "Petty cash");
    int betaCash = db.addAccount(betaCc, cash, "Beta's cash");

    Books()
    {
        for (int company : {alpha, beta, gamma})
            db.addAccess(user, company, "Yes", "No", "Create", "View");
        w.show();
        w.Login(user);
        choose("Alpha Farms");
    }
    void choose(const QString& company)
    {
        w.cbCompany->setCurrentIndex(w.cbCompany->findText(company));
        showTrialBalance(w);
    }
    // Alpha's accounts as "cost centre number object number description", by id.
    QStringList stored(int objectId) const
    {
        return db.texts(QStringLiteral("SELECT `cost centre number`, `object number`, "
                                       "`account description` FROM accounts "
                                       "JOIN `cost centres` c ON c.id = `cost centre id` "
                                       "JOIN objects o ON o.id = `object id` "
                                       "WHERE `object id` = %1 AND c.`company id` = %2 "
                                       "ORDER BY accounts.id")
                            .arg(objectId)
                            .arg(alpha));
    }
    int selectedId() const { return w.qrAccounts->asInteger("id"); }
};

void chooseCostCentre(TfrmAccount& dialog, const QString& description)
{
    dialog.cbCostCentre->setCurrentIndex(dialog.cbCostCentre->findText(description));
}

QStringList items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i) + "=" + box->itemData(i).toString();
    return out;
}

const QString NoCompany = "Please select/create a spesific company first.";
const QString NotForAccounts = "Select an object that can be used for an account.";
const QString NoCreate
    = "You must have \"create\" access to the trial balance on this company to access this function.";
const QString ShortDescription
    = "The value you supplied for Account Description is not valid.\r -  The value must contain at "
      "least 3 characters and not any leading zeros or spaces.";
}

class TestAccounts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }

    void openingChecksInOrder_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("costCentre");
        QTest::addColumn<QString>("trialBalance");
        QTest::addColumn<QString>("administrator");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QString>("refusal");
        // With "All" the company is told first, even on a usable row without "create".
        QTest::newRow("All") << "All"
                             << "11100"
                             << ""
                             << "View"
                             << "No" << false << NoCompany;
        QTest::newRow("heading object") << "Alpha Farms"
                                        << "10000"
                                        << ""
                                        << "Create"
                                        << "No" << false << NotForAccounts;
        QTest::newRow("\"yes\" is not \"Yes\"") << "Alpha Farms"
                                                << "13000"
                                                << ""
                                                << "Create"
                                                << "No" << true << NotForAccounts;
        QTest::newRow("view only") << "Alpha Farms"
                                   << "11100"
                                   << ""
                                   << "View"
                                   << "No" << false << NoCreate;
        QTest::newRow("post is more than create") << "Alpha Farms"
                                                  << "11100"
                                                  << ""
                                                  << "Post"
                                                  << "No" << false << "";
        QTest::newRow("administrator holds every right") << "Alpha Farms"
                                                         << "11100"
                                                         << ""
                                                         << "View"
                                                         << "Yes" << false << "";
        QTest::newRow("object row, double click") << "Alpha Farms"
                                                  << "11100"
                                                  << ""
                                                  << "Create"
                                                  << "No" << true << "";
        QTest::newRow("account row") << "Alpha Farms"
                                     << "11100"
                                     << "300"
                                     << "Create"
                                     << "No" << false << "";
    }

    void openingChecksInOrder()
    {
        QFETCH(QString, company);
        QFETCH(QString, object);
        QFETCH(QString, costCentre);
        QFETCH(QString, trialBalance);
        QFETCH(QString, administrator);
        QFETCH(bool, doubleClick);
        QFETCH(QString, refusal);
        Books x;
        x.db.exec(QStringLiteral("UPDATE access SET `trial balance` = '%1', administrator = '%2'")
                      .arg(trialBalance, administrator));
        x.choose(company);
        selectRow(*x.w.sgTB, object, costCentre);
        x.log.clear();
        QList<QStringList> shown;
        auto window = onNextModal([&](QDialog* d) {
            auto* list = qobject_cast<TfrmAccounts*>(d);
            QVERIFY(list);
            QCOMPARE(list->windowTitle(), QStringLiteral("Accounts"));
            shown = shownRows(list->dbgAccounts);
        });
        if (doubleClick) {
            StringGrid* g = x.w.sgTB;
            const QRect cell = g->visualRect(g->model()->index(g->currentRow() - 1, TB.ObjectDescription));
            // A user's double click: press and release, then the double click.
            QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, cell.center());
        } else {
            x.w.btnAccounts->click();
        }
        QVERIFY2(x.log.errors.isEmpty(), qPrintable(x.log.errors.join("|")));
        QCOMPARE(window->ran, refusal.isEmpty());
        QCOMPARE(x.log.messages, refusal.isEmpty() ? QStringList() : QStringList{refusal});
        if (window->ran)
            QCOMPARE(shown,
                (QList<QStringList>{{"Alpha Farms", "100", "11100", "Head Office", "Cash", "Petty cash"},
                    {"Alpha Farms", "300", "11100", "Workshop", "Cash", "Cash in the workshop"}}));
    }

    void listShowsTheObjectsAccountsOfTheCompany()
    {
        Books x;
        selectRow(*x.w.sgTB, "11100", "100");
        TfrmAccounts list(x.w.books(), x.w.qrAccounts, trialBalanceObjectAt(*x.w.sgTB), &x.w);
        QCOMPARE(list.size(), QSize(882, 392));
        QVERIFY(list.dbgAccounts->isVisibleTo(&list));
        QCOMPARE(shownTitles(list.dbgAccounts),
            (QStringList{"Company Name", "Cost Centre Number", "Object Number", "Cost Centre Description",
                "Object Description", "Account Description"}));
        QCOMPARE(shownRows(list.dbgAccounts).size(), 2);
        QCOMPARE(list.dbgAccounts->currentIndex().row(), 0);
        QCOMPARE(x.selectedId(), x.cashOffice);
        QCOMPARE(list.dbgAccounts->gridColumnWidth(5), 141);

        // Beta's own account of the object is Beta's alone.
        x.choose("Beta Trading");
        selectRow(*x.w.sgTB, "11100", "");
        TfrmAccounts beta(x.w.books(), x.w.qrAccounts, trialBalanceObjectAt(*x.w.sgTB), &x.w);
        QCOMPARE(shownRows(beta.dbgAccounts),
            (QList<QStringList>{{"Beta Trading", "100", "11100", "Beta Office", "Cash", "Beta's cash"}}));
    }

    void newDialogStartsEmptyWithTheObjectsDescription()
    {
        Books x;
        selectRow(*x.w.sgTB, "11100", "300");
        TfrmAccounts list(x.w.books(), x.w.qrAccounts, trialBalanceObjectAt(*x.w.sgTB), &x.w);
        TfrmAccount dialog(&list);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New Account"));
        // Descriptions in cost centre number order, ids as item data, none chosen.
        QCOMPARE(items(dialog.cbCostCentre),
            (QStringList{"Head Office=" + QString::number(x.cc100), "Sales=" + QString::number(x.cc200),
                "Workshop=" + QString::number(x.cc300)}));
        QCOMPARE(dialog.cbCostCentre->currentIndex(), -1);
        QVERIFY(!dialog.cbCostCentre->isEditable());
        // The object's, also from one of its account rows, not the account's own.
        QCOMPARE(dialog.edtAccountDescription->text(), QStringLiteral("Cash"));
        QCOMPARE(dialog.findChild<QLabel*>("lblCostCentre")->text(), QStringLiteral("Cost Centre"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.cbCostCentre));
        QTest::keyClick(dialog.cbCostCentre, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.edtAccountDescription));
        QTest::keyClick(dialog.edtAccountDescription, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.btnOk));
        dialog.edtAccountDescription->clear();
        QTest::keyClicks(dialog.edtAccountDescription, QString(60, 'd'));
        QCOMPARE(dialog.edtAccountDescription->text().size(), 50);
        dialog.close();
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<bool>("editing"); // the list's first account, Petty cash on 100
        QTest::addColumn<QString>("costCentre");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus"); // the box to correct; empty: the focus stays
        QTest::newRow("no cost centre") << "Alpha Farms" << false << ""
                                        << "Cash"
                                        << "Select a cost centre."
                                        << "cbCostCentre";
        QTest::newRow("company without cost centres") << "Gamma Empty" << false << ""
                                                      << "Cash"
                                                      << "Select a cost centre."
                                                      << "cbCostCentre";
        QTest::newRow("short description") << "Alpha Farms" << false << "Sales"
                                           << "Ca" << ShortDescription << "edtAccountDescription";
        QTest::newRow("second account on a cost centre") << "Alpha Farms" << false << "Workshop"
                                                         << "Cash" << TfrmAccount::AlreadyCreated << "";
        QTest::newRow("moved onto a cost centre holding the object")
            << "Alpha Farms" << true << "Workshop"
            << "Petty cash" << TfrmAccount::AlreadyCreated << "";
    }

    void refusals()
    {
        QFETCH(QString, company);
        QFETCH(bool, editing);
        QFETCH(QString, costCentre);
        QFETCH(QString, description);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Books x;
        x.choose(company);
        selectRow(*x.w.sgTB, "11100", "");
        const QStringList before = x.stored(x.cash);
        TfrmAccounts list(x.w.books(), x.w.qrAccounts, trialBalanceObjectAt(*x.w.sgTB), &x.w);
        TfrmAccount dialog(&list);
        if (editing)
            dialog.setWindowTitle(TfrmAccount::EditCaption);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        chooseCostCentre(dialog, costCentre);
        dialog.edtAccountDescription->setText(description);
        dialog.btnOk->setFocus();
        dialog.btnOk->click();

        QCOMPARE(x.log.messages, QStringList{message});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.cbCostCentre->currentText(), costCentre);
        QCOMPARE(dialog.edtAccountDescription->text(), description);
        QCOMPARE(
            QApplication::focusWidget()->objectName(), focus.isEmpty() ? QStringLiteral("btnOk") : focus);
        QCOMPARE(x.stored(x.cash), before);
        dialog.close();
    }

    void savedAccountsAreSelectedInCostCentreOrder()
    {
        Books x;
        selectRow(*x.w.sgTB, "11100", "");
        TfrmAccounts list(x.w.books(), x.w.qrAccounts, trialBalanceObjectAt(*x.w.sgTB), &x.w);

        // New, on the cost centre between the two that hold the object.
        auto created = onNextModal([](QDialog* d) {
            auto* dialog = qobject_cast<TfrmAccount*>(d);
            chooseCostCentre(*dialog, "Sales");
            dialog->edtAccountDescription->setText("Cash at the till");
            dialog->btnOk->click();
            QVERIFY(!dialog->isVisible());
        });
        list.btnNewAccount->click();
        QVERIFY(created->ran);
        QVERIFY2(x.log.messages.isEmpty(), qPrintable(x.log.messages.join("|")));
        QCOMPARE(x.stored(x.cash),
            (QStringList{
                "300 11100 Cash in the workshop", "100 11100 Petty cash", "200 11100 Cash at the till"}));
        QCOMPARE(shownRows(list.dbgAccounts)[1],
            (QStringList{"Alpha Farms", "200", "11100", "Sales", "Cash", "Cash at the till"}));
        QCOMPARE(list.dbgAccounts->currentIndex().row(), 1);
        QCOMPARE(x.w.qrAccounts->asString("account description"), QStringLiteral("Cash at the till"));

        // Saved unchanged through a double click: its own row is no collision.
        list.dbgAccounts->selectRow(2);
        QCOMPARE(x.selectedId(), x.cashWorkshop);
        auto unchanged = onNextModal([](QDialog* d) {
            auto* dialog = qobject_cast<TfrmAccount*>(d);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Account"));
            QCOMPARE(dialog->cbCostCentre->currentText(), QStringLiteral("Workshop"));
            QCOMPARE(dialog->edtAccountDescription->text(), QStringLiteral("Cash in the workshop"));
            dialog->btnOk->click();
            QVERIFY(!dialog->isVisible());
        });
        emit list.dbgAccounts->doubleClicked(list.dbgAccounts->currentIndex());
        QVERIFY(unchanged->ran);
        QVERIFY(x.log.messages.isEmpty());
        QCOMPARE(list.dbgAccounts->currentIndex().row(), 2);

        // Moved to a free cost centre: the same account, still selected, now first.
        list.dbgAccounts->selectRow(2);
        x.db.addCostCentre(x.alpha, 50, "Garage");
        TfrmAccount edited(&list);
        edited.setWindowTitle(TfrmAccount::EditCaption);
        chooseCostCentre(edited, "Garage");
        edited.edtAccountDescription->setText("Cash in the garage");
        edited.btnOkClick();
        QVERIFY(x.log.messages.isEmpty());
        QCOMPARE(x.selectedId(), x.cashWorkshop);
        QCOMPARE(list.dbgAccounts->currentIndex().row(), 0);
        QCOMPARE(shownRows(list.dbgAccounts)[0],
            (QStringList{"Alpha Farms", "50", "11100", "Garage", "Cash", "Cash in the garage"}));
    }

    void trialBalanceShowsTheNewAccountOnceTheWindowCloses()
    {
        Books x;
        selectRow(*x.w.sgTB, "11100", "");
        auto window = onNextModal([&](QDialog* d) {
            auto* list = qobject_cast<TfrmAccounts*>(d);
            auto dialog = onNextModal([](QDialog* d) {
                auto* account = qobject_cast<TfrmAccount*>(d);
                chooseCostCentre(*account, "Sales");
                account->btnOk->click();
            });
            list->btnNewAccount->click();
            QVERIFY(dialog->ran);
        });
        x.w.btnAccounts->click();
        QVERIFY(window->ran);
        QVERIFY2(x.log.messages.isEmpty() && x.log.errors.isEmpty(),
            qPrintable((x.log.messages + x.log.errors).join("|")));
        QStringList cash;
        const StringGrid& g = *x.w.sgTB;
        for (int r = 1; r < g.rowCount(); ++r)
            if (g.cell(TB.ObjectNumber, r) == "11100")
                cash << g.cell(TB.CostCentreNumber, r) + " " + g.cell(TB.AccountDescription, r);
        QCOMPARE(cash, (QStringList{" ", "100 Petty cash", "200 Cash", "300 Cash in the workshop"}));
    }

    void accountOpenedMeanwhileElsewhereIsRefusedByTheKey()
    {
        Books x;
        selectRow(*x.w.sgTB, "11100", "");
        TfrmAccounts list(x.w.books(), x.w.qrAccounts, trialBalanceObjectAt(*x.w.sgTB), &x.w);
        TfrmAccount dialog(&list);
        dialog.show();
        chooseCostCentre(dialog, "Sales");
        dialog.edtAccountDescription->setText("Our till");
        QVERIFY(dialog.checkInput());
        // Another workstation opens the same account after our check and commits only while
        // our write waits for its row.
        LockHolder theirs(x.db,
            {QStringLiteral("INSERT INTO accounts (`cost centre id`, `object id`, "
                            "`account description`) VALUES (%1, %2, 'Their till')")
                    .arg(x.cc200)
                    .arg(x.cash)});
        guarded([&] { dialog.Save(); });
        theirs.join();
        QVERIFY(theirs.sawWaiter());

        QCOMPARE(x.log.messages, QStringList{TfrmAccount::AlreadyCreated});
        QVERIFY(x.log.errors.isEmpty());
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.cbCostCentre->currentText(), QStringLiteral("Sales"));
        QCOMPARE(dialog.edtAccountDescription->text(), QStringLiteral("Our till"));
        QCOMPARE(x.stored(x.cash),
            (QStringList{"300 11100 Cash in the workshop", "100 11100 Petty cash", "200 11100 Their till"}));
        dialog.close();
    }

    void linksOpenTheHelpAndVersePagesAndWidthsAreOnlyRead()
    {
        Books x;
        selectRow(*x.w.sgTB, "11100", "");
        {
            TfrmAccounts list(x.w.books(), x.w.qrAccounts, trialBalanceObjectAt(*x.w.sgTB), &x.w);
            LinkCatcher urls;
            QTest::mouseClick(list.lblHelp, Qt::LeftButton);
            QTest::mouseClick(list.lblBibleVerseLink, Qt::LeftButton);
            QCOMPARE(urls.urls.size(), 2);
            QVERIFY2(urls.urls[0].toString().endsWith("/help/blog/accounts.html"),
                qPrintable(urls.urls[0].toString()));
            QCOMPARE(urls.urls[1].toString(), verseUrl("/1_chronicles/4-10.htm"));
            QCOMPARE(list.lblBibleVerseLink->text(), QStringLiteral("1 Chronicles 4:10"));
            QVERIFY(list.lblVerse->text().contains("Jabez"));
            QVERIFY(textFits(list.lblVerse));
        }
        // The window stores no widths (see the list windows' test), but applies stored ones.
        {
            TfrmAccounts list(x.w.books(), x.w.qrAccounts, trialBalanceObjectAt(*x.w.sgTB), &x.w);
            list.dbgAccounts->setGridColumnWidth(5, 222);
            SaveDBG(list.dbgAccounts);
        }
        TfrmAccounts again(x.w.books(), x.w.qrAccounts, trialBalanceObjectAt(*x.w.sgTB), &x.w);
        QCOMPARE(again.dbgAccounts->gridColumnWidth(5), 222);
    }
};

QTEST_MAIN(TestAccounts)
#include "tst_accounts.moc"
