#include "SetupTestHelpers.h"
#include "TestSupport.h"

#include "app/Main.h"
#include "db/Query.h"
#include "setup/CostCentre.h"
#include "setup/CostCentres.h"
#include "standard/LabeledEdit.h"
#include "standard/LinkLabel.h"
#include "standard/Standard.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {
// A logged-in administrator of two companies with the first selected in the filter bar.
struct CostCentresWorld : World {
    int alpha = company("Alpha Farms");
    int beta = company("Beta Trading");
    CostCentresWorld()
    {
        w.Login(user);
        selectId(w.cbCompany, alpha);
    }
    // Cost centres of a company as "number description", in number order.
    QStringList stored(int company) const
    {
        return db.texts(QStringLiteral("SELECT `cost centre number`, `cost centre description` "
                                       "FROM `cost centres` WHERE `company id` = %1 "
                                       "ORDER BY `cost centre number`")
                            .arg(company));
    }
    int selectedId() const { return w.qrCostCentres->asInteger("id"); }
};

const QString NumberInvalid = "The value you supplied for Cost Centre Number is not valid.";
const QString DescriptionInvalid
    = "The value you supplied for Cost Centre Description is not valid.\r -  The value must contain at "
      "least 3 characters and not any leading zeros or spaces.";
}

class TestCostCentres : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }

    void listHoldsTheSelectedCompanysCostCentresInNumberOrder()
    {
        CostCentresWorld x;
        x.db.addCostCentre(x.alpha, 300, "Workshop");
        x.db.addCostCentre(x.alpha, 20, "Head Office");
        x.db.addCostCentre(x.beta, 100, "Beta's own");
        x.db.addCostCentre(x.alpha, 100, "Sales");
        TfrmCostCentres list(x.w.books(), x.w.qrCostCentres, &x.w);
        QCOMPARE(list.windowTitle(), QStringLiteral("Setup -> Cost Centres"));
        QVERIFY(list.dbgCostCentres->isVisibleTo(&list));
        QCOMPARE(
            shownTitles(list.dbgCostCentres), (QStringList{"Cost Centre Number", "Cost Centre Description"}));
        QCOMPARE(shownRows(list.dbgCostCentres),
            (QList<QStringList>{{"20", "Head Office"}, {"100", "Sales"}, {"300", "Workshop"}}));
        QCOMPARE(list.dbgCostCentres->currentIndex().row(), 0);
        // Designed widths, widened only where the title needs more room.
        QVERIFY(list.dbgCostCentres->gridColumnWidth(0) >= 105);
        QCOMPARE(list.dbgCostCentres->gridColumnWidth(1), 270);
    }

    void newAndEditedCostCentresAreSavedAndSelected()
    {
        CostCentresWorld x;
        x.db.addCostCentre(x.alpha, 300, "Workshop");
        x.db.addCostCentre(x.alpha, 100, "Head Office");
        TfrmCostCentres list(x.w.books(), x.w.qrCostCentres, &x.w);

        TfrmCostCentre created(&list);
        QCOMPARE(created.windowTitle(), QStringLiteral("New Cost Centre"));
        created.edtCostCentreNumber->setText("200");
        created.edtCostCentreDescription->setText("Sales");
        created.btnOkClick();
        QVERIFY(x.log.messages.isEmpty());
        QCOMPARE(created.result(), int(QDialog::Accepted));
        QCOMPARE(x.stored(x.alpha), (QStringList{"100 Head Office", "200 Sales", "300 Workshop"}));
        QCOMPARE(list.dbgCostCentres->currentIndex().row(), 1);
        const int sales = x.selectedId();

        // Saved unchanged through the edit button: its own number and name are no collision.
        auto unchanged = onNextModal([](QDialog* d) {
            auto* dialog = qobject_cast<TfrmCostCentre*>(d);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Cost Centre"));
            QCOMPARE(dialog->edtCostCentreNumber->text(), QStringLiteral("200"));
            QCOMPARE(dialog->edtCostCentreDescription->text(), QStringLiteral("Sales"));
            dialog->btnOk->click();
            QVERIFY(!dialog->isVisible());
        });
        list.btnEditCostCentre->click();
        QVERIFY(unchanged->ran);
        QVERIFY(x.log.messages.isEmpty());

        // A new number moves the row; it stays selected and keeps its id.
        TfrmCostCentre edited(&list);
        edited.setWindowTitle("Edit Cost Centre");
        edited.edtCostCentreNumber->setText("0400");
        edited.edtCostCentreDescription->setText("Sales & Marketing");
        edited.btnOkClick();
        QVERIFY(x.log.messages.isEmpty());
        QCOMPARE(
            x.stored(x.alpha), (QStringList{"100 Head Office", "300 Workshop", "400 Sales & Marketing"}));
        QCOMPARE(shownRows(list.dbgCostCentres).last(), (QStringList{"400", "Sales & Marketing"}));
        QCOMPARE(x.selectedId(), sales);
        QCOMPARE(list.dbgCostCentres->currentIndex().row(), 2);
    }

    void numberBoxTakesUpToEightDigits()
    {
        CostCentresWorld x;
        TfrmCostCentres list(x.w.books(), x.w.qrCostCentres, &x.w);
        TfrmCostCentre dialog(&list);
        QTest::keyClicks(dialog.edtCostCentreNumber, "12ab-3.4 56789");
        QCOMPARE(dialog.edtCostCentreNumber->text(), QStringLiteral("12345678"));
        QTest::keyClicks(dialog.edtCostCentreDescription, QString(60, 'd'));
        QCOMPARE(dialog.edtCostCentreDescription->text().size(), 50);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusOnNumber");
        QTest::newRow("empty number") << "New Cost Centre"
                                      << ""
                                      << "Stores" << NumberInvalid << true;
        QTest::newRow("zero") << "New Cost Centre"
                              << "0"
                              << "Stores" << NumberInvalid << true;
        QTest::newRow("letters pasted") << "New Cost Centre"
                                        << "12a"
                                        << "Stores" << NumberInvalid << true;
        QTest::newRow("short description") << "New Cost Centre"
                                           << "500"
                                           << "St" << DescriptionInvalid << false;
        QTest::newRow("number in use") << "New Cost Centre"
                                       << "100"
                                       << "Stores"
                                       << "Cost Centre Number already in use." << true;
        QTest::newRow("description in use, other case") << "New Cost Centre"
                                                        << "500"
                                                        << "HEAD OFFICE"
                                                        << "Cost Centre Description already in use." << false;
        QTest::newRow("both in use: the number is told") << "New Cost Centre"
                                                         << "100"
                                                         << "Workshop"
                                                         << "Cost Centre Number already in use." << true;
        QTest::newRow("edit onto another's number") << "Edit Cost Centre"
                                                    << "300"
                                                    << "Head Office"
                                                    << "Cost Centre Number already in use." << true;
    }

    void refusals()
    {
        QFETCH(QString, caption);
        QFETCH(QString, number);
        QFETCH(QString, description);
        QFETCH(QString, message);
        QFETCH(bool, focusOnNumber);
        CostCentresWorld x;
        x.db.addCostCentre(x.alpha, 100, "Head Office");
        x.db.addCostCentre(x.alpha, 300, "Workshop");
        TfrmCostCentres list(x.w.books(), x.w.qrCostCentres, &x.w);
        TfrmCostCentre dialog(&list);
        dialog.setWindowTitle(caption);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.btnOk->setFocus();
        dialog.edtCostCentreNumber->setText(number);
        dialog.edtCostCentreDescription->setText(description);
        dialog.btnOk->click();

        QCOMPARE(x.log.messages, QStringList{message});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.edtCostCentreNumber->text(), number);
        QCOMPARE(dialog.edtCostCentreDescription->text(), description);
        QCOMPARE(QApplication::focusWidget(),
            static_cast<QWidget*>(
                focusOnNumber ? dialog.edtCostCentreNumber : dialog.edtCostCentreDescription));
        QCOMPARE(x.stored(x.alpha), (QStringList{"100 Head Office", "300 Workshop"}));
        dialog.close();
    }

    // With the real message box: once it is closed, what the user types lands in the
    // refused box, through the window as a keyboard sends it.
    void typingAfterARefusalLandsInTheRefusedBox()
    {
        CostCentresWorld x;
        x.db.addCostCentre(x.alpha, 100, "Head Office");
        TfrmCostCentres list(x.w.books(), x.w.qrCostCentres, &x.w);
        TfrmCostCentre dialog(&list);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClicks(dialog.edtCostCentreNumber, "100");
        QTest::keyClick(dialog.edtCostCentreNumber, Qt::Key_Tab);
        QTest::keyClicks(dialog.edtCostCentreDescription, "Stores");
        SetBoodskapHandler({});
        auto box = onNextModal([](QDialog* d) {
            QVERIFY(QTest::qWaitForWindowActive(d));
            QTest::keyClick(d, Qt::Key_Return);
        });
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
        QVERIFY(box->ran);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::qWait(50);
        QTest::keyClick(dialog.windowHandle(), Qt::Key_End);
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Backspace);
        QTest::keyClick(dialog.windowHandle(), Qt::Key_5);
        QCOMPARE(dialog.edtCostCentreNumber->text(), QStringLiteral("105"));
        QCOMPARE(dialog.edtCostCentreDescription->text(), QStringLiteral("Stores"));
        dialog.close();
    }

    void anotherCompanyMayUseTheSameNumberAndDescription()
    {
        CostCentresWorld x;
        x.db.addCostCentre(x.beta, 100, "Head Office");
        TfrmCostCentres list(x.w.books(), x.w.qrCostCentres, &x.w);
        TfrmCostCentre dialog(&list);
        dialog.edtCostCentreNumber->setText("100");
        dialog.edtCostCentreDescription->setText("Head Office");
        dialog.btnOkClick();
        QVERIFY(x.log.messages.isEmpty());
        QCOMPARE(x.stored(x.alpha), QStringList{"100 Head Office"});
        QCOMPARE(x.stored(x.beta), QStringList{"100 Head Office"});
    }

    // Another workstation saves between the checks and the write: the unique key refuses
    // ours, and the user sees the field's own "already in use", the dialog open.
    void valueSavedMeanwhileByAnotherUserIsRefusedByTheDatabase_data()
    {
        QTest::addColumn<int>("theirNumber");
        QTest::addColumn<QString>("theirDescription");
        QTest::addColumn<QString>("message");
        QTest::newRow("same number") << 200 << "Stores"
                                     << "Cost Centre Number already in use.";
        QTest::newRow("same description") << 900 << "Sales"
                                          << "Cost Centre Description already in use.";
    }

    void valueSavedMeanwhileByAnotherUserIsRefusedByTheDatabase()
    {
        QFETCH(int, theirNumber);
        QFETCH(QString, theirDescription);
        QFETCH(QString, message);
        CostCentresWorld x;
        TfrmCostCentres list(x.w.books(), x.w.qrCostCentres, &x.w);
        TfrmCostCentre dialog(&list);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.edtCostCentreNumber->setText("200");
        dialog.edtCostCentreDescription->setText("Sales");
        QVERIFY(dialog.checkInput());
        // Another workstation saves between the checks and the write; the write runs as
        // the OK button runs it, guarded.
        x.db.addCostCentre(x.alpha, theirNumber, theirDescription);
        guarded([&] { dialog.Save(); });

        QVERIFY(x.log.errors.isEmpty());
        QCOMPARE(x.log.messages, QStringList{message});
        QCOMPARE(QApplication::focusWidget(),
            static_cast<QWidget*>(
                theirNumber == 200 ? dialog.edtCostCentreNumber : dialog.edtCostCentreDescription));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.edtCostCentreNumber->text(), QStringLiteral("200"));
        QCOMPARE(dialog.edtCostCentreDescription->text(), QStringLiteral("Sales"));
        QCOMPARE(x.stored(x.alpha), QStringList{QString::number(theirNumber) + " " + theirDescription});
        dialog.close();
    }

    void descriptionsAreStoredAndShownExactly()
    {
        CostCentresWorld x;
        TfrmCostCentres list(x.w.books(), x.w.qrCostCentres, &x.w);
        const QStringList descriptions = {QStringLiteral("O'Neil \"Depot\" \\ 50% off_"),
            QStringLiteral("\u03A9\u03C1\u03B1 \U0001F69A Transport"), QString(50, QChar(0x05D0))};
        for (int i = 0; i < descriptions.size(); ++i) {
            TfrmCostCentre dialog(&list);
            dialog.edtCostCentreNumber->setText(QString::number(10 * (i + 1)));
            dialog.edtCostCentreDescription->setText(descriptions[i]);
            dialog.btnOkClick();
            QVERIFY2(x.log.messages.isEmpty(), qPrintable(x.log.messages.join("|")));
            QCOMPARE(shownRows(list.dbgCostCentres)[i][1], descriptions[i]);
        }
        QCOMPARE(
            x.db.texts("SELECT `cost centre description` FROM `cost centres` ORDER BY id"), descriptions);
    }

    void openingNeedsAnAdministratorOfOneCompany_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("administrator");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("All") << "All"
                             << "Yes"
                             << "Please select/create a spesific company first.";
        QTest::newRow("not administrator") << "Beta Trading"
                                           << "No"
                                           << "You need administrator access to use this function.";
        QTest::newRow("administrator") << "Beta Trading"
                                       << "Yes"
                                       << "";
    }

    void openingNeedsAnAdministratorOfOneCompany()
    {
        QFETCH(QString, company);
        QFETCH(QString, administrator);
        QFETCH(QString, refusal);
        CostCentresWorld x;
        x.db.exec(QStringLiteral("UPDATE access SET administrator = '%1' WHERE `company id` = %2")
                      .arg(administrator)
                      .arg(x.beta));
        x.db.addCostCentre(x.beta, 100, "Beta's own");
        x.w.cbCompany->setCurrentIndex(x.w.cbCompany->findText(company));
        QStringList shown;
        auto window = onNextModal([&](QDialog* d) {
            auto* list = qobject_cast<TfrmCostCentres*>(d);
            QVERIFY(list);
            shown = shownRows(list->dbgCostCentres).value(0);
            // A company granted meanwhile shows in the filter bar once the window closes.
            x.db.addAccess(x.user, x.db.addCompany("Added Meanwhile"));
        });
        x.w.acCostCentres->trigger();
        QVERIFY2(x.log.errors.isEmpty(), qPrintable(x.log.errors.join("|")));
        QCOMPARE(window->ran, refusal.isEmpty());
        QCOMPARE(x.log.messages, refusal.isEmpty() ? QStringList() : QStringList{refusal});
        if (window->ran) {
            QCOMPARE(window->title, QStringLiteral("Cost Centres - Beta Trading"));
            QCOMPARE(shown, (QStringList{"100", "Beta's own"}));
            QVERIFY(x.w.cbCompany->findText("Added Meanwhile") >= 0);
            QCOMPARE(x.w.cbCompany->currentText(), QStringLiteral("Beta Trading"));
        }
    }

    void linksOpenTheHelpAndVersePages()
    {
        CostCentresWorld x;
        TfrmCostCentres list(x.w.books(), x.w.qrCostCentres, &x.w);
        LinkCatcher urls;
        QTest::mouseClick(list.lblHelp, Qt::LeftButton);
        QTest::mouseClick(list.lblBibleVerseLink, Qt::LeftButton);
        QCOMPARE(urls.urls.size(), 2);
        QVERIFY(urls.urls[0].toString().endsWith("/help/blog/cost-centres.html"));
        QCOMPARE(urls.urls[1].toString(), verseUrl("/luke/14-28.htm"));
        QCOMPARE(list.lblBibleVerseLink->text(), QStringLiteral("Luke 14:28"));
        QVERIFY(list.lblVerse->text().contains("intending to build a tower"));
        QVERIFY(textFits(list.lblVerse));
    }
};

QTEST_MAIN(TestCostCentres)
#include "tst_costcentres.moc"
