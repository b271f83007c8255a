#include "SetupTestHelpers.h"
#include "TestSupport.h"

#include "app/Main.h"
#include "db/Query.h"
#include "setup/FinancialYear.h"
#include "setup/FinancialYears.h"
#include "standard/LabeledEdit.h"
#include "standard/LinkLabel.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace {
// A logged-in administrator of two companies, the first selected in the filter bar.
struct YearsWorld : World {
    int alpha = company("Alpha Farms");
    int beta = company("Beta Trading");
    YearsWorld()
    {
        w.Login(user);
        selectId(w.cbCompany, alpha);
        w.RefreshFilters();
    }
    // The years of a company as "description last-day", in id order.
    QStringList years(int company) const
    {
        QStringList out;
        for (const auto& r : db.rows(QStringLiteral("SELECT `financial year description`, "
                                                    "`last day of financial year` FROM `financial years` "
                                                    "WHERE `company id` = %1 ORDER BY id")
                                         .arg(company)))
            out << r[0].toString() + " " + r[1].toDate().toString("dd/MM/yyyy");
        return out;
    }
    // Every period row of a year, deleted ones too: "n start end description open deleted".
    QStringList periods(int year) const
    {
        QStringList out;
        for (const auto& r : db.rows(QStringLiteral("SELECT `period number`, `start date`, `end date`, "
                                                    "`period description`, `period open`, `period deleted` "
                                                    "FROM `financial periods` WHERE `financial year id` = %1 "
                                                    "ORDER BY `period number`")
                                         .arg(year)))
            out << QStringList{r[0].toString(), r[1].toDate().toString("dd/MM/yyyy"),
                r[2].toDate().toString("dd/MM/yyyy"), r[3].toString(), r[4].toString(), r[5].toString()}
                       .join(' ');
        return out;
    }
    int periodId(int year, int n) const
    {
        return db
            .scalar(QStringLiteral("SELECT id FROM `financial periods` WHERE `financial year id` = %1 "
                                   "AND `period number` = %2")
                        .arg(year)
                        .arg(n))
            .toInt();
    }
    int yearId(const QString& description) const
    {
        return db
            .scalar(
                QStringLiteral("SELECT id FROM `financial years` WHERE `financial year description` = '%1'")
                    .arg(description))
            .toInt();
    }
    QStringList periodBox() const
    {
        QStringList out;
        for (int i = 0; i < w.cbFinancialPeriod->count(); ++i)
            out << w.cbFinancialPeriod->itemText(i);
        return out;
    }
};

// Types a row into the grid.
void typeRow(StringGrid* sg, int n, const QStringList& cells)
{
    for (int c = 0; c < cells.size(); ++c)
        sg->setCell(c + 1, n, cells[c]);
}

// A dialog for a new year of alpha, opened from the list, with a description and periods
// calculated from firstDay.
void calculate(TfrmFinancialYear& dialog, const QString& description, const QDate& firstDay)
{
    dialog.edtFinancialYearDescription->setText(description);
    dialog.dtpStartDate->setDate(firstDay);
    dialog.btnCalculateClick();
}

// An edit dialog of a year, as the list's edit button makes it.
struct YearEditDialog {
    TfrmFinancialYear dialog;
    YearEditDialog(TfrmFinancialYears* list, int year) : dialog(list, list)
    {
        dialog.setWindowTitle(TfrmFinancialYear::EditCaption);
        dialog.FinancialYearID = year;
        dialog.LoadEdit();
    }
};

const QString DescriptionInvalid
    = "The value you supplied for Financial Year Description is not valid.\r -  The value must contain at "
      "least 3 characters and not any leading zeros or spaces.";
const QString CouldNotBeSaved = "Financial year could not be saved.  Please try again.";
}

class TestFinancialYears : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }
    void init() { SetClockForTesting(QDateTime(QDate(2017, 3, 1), QTime(9, 0))); }
    void cleanup() { SetClockForTesting({}); }

    void listHoldsTheCompanysYearsAndOpensThemForEditing()
    {
        YearsWorld x;
        x.db.addYear(x.alpha, "FY2017", QDate(2017, 3, 1));
        x.db.addYear(x.beta, "Beta's year", QDate(2017, 3, 1));
        const int fy2018 = x.db.addYear(x.alpha, "FY2018", QDate(2018, 3, 1));
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QCOMPARE(shownTitles(list.dbgFinancialYears),
            (QStringList{"Company Name", "Financial Year Description", "Last day of financial year"}));
        QCOMPARE(shownRows(list.dbgFinancialYears),
            (QList<QStringList>{
                {"Alpha Farms", "FY2017", "28/02/2018"}, {"Alpha Farms", "FY2018", "28/02/2019"}}));
        list.dbgFinancialYears->setCurrentIndex(list.dbgFinancialYears->model()->index(1, 0));
        QStringList shown;
        auto edit = onNextModal([&](QDialog* d) {
            auto* dialog = qobject_cast<TfrmFinancialYear*>(d);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Financial Year"));
            QCOMPARE(dialog->FinancialYearID, fy2018);
            QCOMPARE(dialog->CompanyID, x.alpha);
            QCOMPARE(dialog->focusWidget(), static_cast<QWidget*>(dialog->edtFinancialYearDescription));
            shown << dialog->edtFinancialYearDescription->text() << dialog->sg->cell(1, 1)
                  << dialog->sg->cell(2, 12) << dialog->sg->cell(4, 12) << dialog->sg->cell(1, 13);
        });
        // A double click is a click and then a second press.
        const QPoint cell
            = list.dbgFinancialYears->visualRect(list.dbgFinancialYears->model()->index(1, 1)).center();
        QTest::mouseClick(list.dbgFinancialYears->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(list.dbgFinancialYears->viewport(), Qt::LeftButton, {}, cell);
        QVERIFY(edit->ran);
        QCOMPARE(shown, (QStringList{"FY2018", "01/03/2018", "28/02/2019", "Yes", ""}));
    }

    void dialogLayout()
    {
        YearsWorld x;
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        TfrmFinancialYear dialog(&list, &list);
        dialog.CompanyID = x.alpha;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New Financial Year"));
        QCOMPARE(dialog.dtpStartDate->date(), QDate(2017, 3, 1));
        QCOMPARE(dialog.sg->rowCount(), 19);
        QCOMPARE(dialog.sg->columnCount(), 5);
        QCOMPARE((QStringList{dialog.sg->cell(0, 0), dialog.sg->cell(1, 0), dialog.sg->cell(2, 0),
                     dialog.sg->cell(3, 0), dialog.sg->cell(4, 0)}),
            (QStringList{"Period Number", "Start Date", "End Date", "Period Description", "Period Open"}));
        QCOMPARE(dialog.sg->cell(0, 1), QStringLiteral("1"));
        QCOMPARE(dialog.sg->cell(0, 18), QStringLiteral("18"));
        QVERIFY(dialog.sg->columnWidth(0) >= 80);
        QCOMPARE(dialog.sg->columnWidth(1), 110);
        QVERIFY(!(dialog.sg->model()->flags(dialog.sg->model()->index(3, 0)) & Qt::ItemIsEditable));
        QVERIFY(dialog.sg->model()->flags(dialog.sg->model()->index(3, 1)) & Qt::ItemIsEditable);
        // Reading order for Tab, OK last.
        QList<QWidget*> order;
        QWidget* w = dialog.edtFinancialYearDescription;
        do {
            if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && !order.contains(w->parentWidget())
                && !qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
                order << w;
            w = w->nextInFocusChain();
        } while (w != dialog.edtFinancialYearDescription && order.size() < 10);
        QCOMPARE(order,
            (QList<QWidget*>{dialog.edtFinancialYearDescription, dialog.dtpStartDate, dialog.btnCalculate,
                dialog.sg, dialog.btnOk}));
        QTest::keyClicks(dialog.edtFinancialYearDescription, QString(60, 'y'));
        QCOMPARE(dialog.edtFinancialYearDescription->text().size(), 50);
    }

    void calculateAsksEveryTimeAndLeavesRows13To18()
    {
        YearsWorld x;
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        TfrmFinancialYear dialog(&list, &list);
        dialog.CompanyID = x.alpha;
        typeRow(dialog.sg, 1, {"x", "y", "z", "w"});
        typeRow(dialog.sg, 13, {"01/03/2018", "31/03/2018", "Thirteen", "No"});
        dialog.dtpStartDate->setDate(QDate(2017, 3, 15));
        x.log.answer = false;
        dialog.btnCalculate->click();
        QCOMPARE(x.log.messages, QStringList{"Do you want to overwrite existing values?"});
        QCOMPARE(dialog.sg->cell(1, 1), QStringLiteral("x"));
        x.log.answer = true;
        dialog.btnCalculate->click();
        dialog.btnCalculate->click();
        QCOMPARE(x.log.messages.size(), 3);
        QCOMPARE((QStringList{dialog.sg->cell(1, 1), dialog.sg->cell(2, 1), dialog.sg->cell(3, 1),
                     dialog.sg->cell(4, 1)}),
            (QStringList{"15/03/2017", "31/03/2017", "Period 1", "Yes"}));
        QCOMPARE(dialog.sg->cell(2, 12), QStringLiteral("28/02/2018"));
        QCOMPARE((QStringList{dialog.sg->cell(1, 13), dialog.sg->cell(3, 13)}),
            (QStringList{"01/03/2018", "Thirteen"}));
        // The row left from earlier is tested and saved with the twelve.
        dialog.edtFinancialYearDescription->setText("FY2017");
        dialog.btnOkClick();
        QCOMPARE(x.log.messages.size(), 3);
        const int year = x.yearId("FY2017");
        QCOMPARE(x.years(x.alpha), QStringList{"FY2017 31/03/2018"});
        QCOMPARE(x.periods(year).size(), 13);
        QCOMPARE(x.periods(year).last(), QStringLiteral("13 01/03/2018 31/03/2018 Thirteen No No"));
    }

    void newYearsFollowTheCompanysLatestYear()
    {
        YearsWorld x;
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        {
            TfrmFinancialYear first(&list, &list);
            first.CompanyID = x.alpha;
            calculate(first, "FY2017", QDate(2017, 3, 1));
            first.btnOkClick();
            QVERIFY(x.log.messages.size() == 1);
            QCOMPARE(first.result(), int(QDialog::Accepted));
        }
        const int fy2017 = x.yearId("FY2017");
        QCOMPARE(x.periods(fy2017).first(), QStringLiteral("1 01/03/2017 31/03/2017 Period 1 Yes No"));
        QCOMPARE(x.periods(fy2017).last(), QStringLiteral("12 01/02/2018 28/02/2018 Period 12 Yes No"));
        QCOMPARE(x.w.qrFinancialYears->asInteger("id"), fy2017);

        // The second year must start on 01/03/2018.
        TfrmFinancialYear second(&list, &list);
        second.CompanyID = x.alpha;
        second.show();
        calculate(second, "FY2018", QDate(2018, 3, 2));
        second.btnOkClick();
        QCOMPARE(x.log.messages.last(),
            QStringLiteral("Period 1, \"Start Date\" must be one day after end of previous financial year."));
        QCOMPARE(second.sg->currentRow(), 1);
        QCOMPARE(second.sg->currentColumn(), 1);
        QVERIFY(second.isVisible());
        calculate(second, "FY2018", QDate(2018, 3, 1));
        second.btnOkClick();
        QVERIFY(!second.isVisible());
        QCOMPARE(shownRows(list.dbgFinancialYears).size(), 2);
        QCOMPARE(x.w.qrFinancialYears->asString("financial year description"), QStringLiteral("FY2018"));

        // The third counts from the second: 01/03/2019, through the leap day 2020.
        TfrmFinancialYear third(&list, &list);
        third.CompanyID = x.alpha;
        calculate(third, "FY2019", QDate(2018, 3, 1));
        third.btnOkClick();
        QCOMPARE(x.log.messages.last(),
            QStringLiteral("Period 1, \"Start Date\" must be one day after end of previous financial year."));
        calculate(third, "FY2019", QDate(2019, 3, 1));
        third.btnOkClick();
        QCOMPARE(
            x.years(x.alpha), (QStringList{"FY2017 28/02/2018", "FY2018 28/02/2019", "FY2019 29/02/2020"}));
        // Another company's years do not count.
        TfrmFinancialYear beta(&list, nullptr);
        beta.CompanyID = x.beta;
        calculate(beta, "FY2017", QDate(2016, 7, 1));
        beta.btnOkClick();
        QCOMPARE(x.years(x.beta), QStringList{"FY2017 30/06/2017"});
    }

    void latestYearIsTheOneWithTheLatestLastDay()
    {
        YearsWorld x;
        x.db.addYear(x.alpha, "Later", QDate(2019, 3, 1));
        x.db.addYear(x.alpha, "Earlier", QDate(2017, 3, 1));
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        TfrmFinancialYear dialog(&list, &list);
        dialog.CompanyID = x.alpha;
        calculate(dialog, "Next", QDate(2018, 3, 1));
        dialog.btnOkClick();
        QCOMPARE(x.log.messages.last(),
            QStringLiteral("Period 1, \"Start Date\" must be one day after end of previous financial year."));
        calculate(dialog, "Next", QDate(2020, 3, 1));
        dialog.btnOkClick();
        QCOMPARE(x.years(x.alpha).last(), QStringLiteral("Next 28/02/2021"));
    }

    void shorteningMarksPeriodsDeletedAndLengtheningTakesThemBack()
    {
        YearsWorld x;
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        {
            TfrmFinancialYear dialog(&list, &list);
            dialog.CompanyID = x.alpha;
            calculate(dialog, "Long year", QDate(2017, 3, 1));
            typeRow(dialog.sg, 13, {"01/03/2018", "31/03/2018", "Extra", "Yes"});
            dialog.btnOkClick();
        }
        const int year = x.yearId("Long year");
        QCOMPARE(x.years(x.alpha), QStringList{"Long year 31/03/2018"});
        const int p13 = x.periodId(year, 13), p12 = x.periodId(year, 12);

        { // Row 13 emptied: period 13 is marked deleted, the year ends with period 12.
            YearEditDialog e(&list, year);
            QCOMPARE(e.dialog.sg->cell(3, 13), QStringLiteral("Extra"));
            typeRow(e.dialog.sg, 13, {"", "", "", ""});
            e.dialog.btnOkClick();
            QCOMPARE(e.dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(x.years(x.alpha), QStringList{"Long year 28/02/2018"});
        QCOMPARE(x.periods(year).size(), 13);
        QCOMPARE(x.periods(year)[12], QStringLiteral("13 01/03/2018 31/03/2018 Extra Yes Yes"));
        {
            YearEditDialog e(&list, year);
            QCOMPARE(e.dialog.sg->cell(1, 13), QString());
            QCOMPARE(e.dialog.sg->cell(3, 12), QStringLiteral("Period 12"));
        }
        // Neither the filter bar nor the trial balance offers it.
        selectId(x.w.cbFinancialYear, year);
        x.w.RefreshFilters();
        QCOMPARE(x.periodBox().size(), 12);
        QVERIFY(!x.periodBox().contains("Extra"));
        x.w.showTab(x.w.tsTrialBalance);
        x.w.RefreshFilters();
        QStringList titles;
        for (int c = 0; c < x.w.sgTB->columnCount(); ++c)
            titles << x.w.sgTB->cell(c, 0);
        QVERIFY2(titles.contains("Period 12") && !titles.contains("Extra"), qPrintable(titles.join("|")));

        { // Filled again: the same row comes back, rewritten.
            YearEditDialog e(&list, year);
            typeRow(e.dialog.sg, 13, {"01/03/2018", "15/03/2018", "Short", "no"});
            e.dialog.btnOkClick();
        }
        QCOMPARE(x.periodId(year, 13), p13);
        QCOMPARE(x.periodId(year, 12), p12);
        QCOMPARE(x.periods(year)[12], QStringLiteral("13 01/03/2018 15/03/2018 Short no No"));
        QCOMPARE(x.years(x.alpha), QStringList{"Long year 15/03/2018"});
        QCOMPARE(x.db.scalar("SELECT COUNT(*) FROM `financial periods`").toInt(), 13);
    }

    // Another workstation changed the year, or one of its periods, after this dialog read
    // it: OK writes nothing (the grid would put back every period as it was read) and says
    // so; the dialog stays open with everything typed.
    void changedMeanwhileIsRefused_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("year renamed")
            << "UPDATE `financial years` SET `financial year description` = 'FY 17'";
        QTest::newRow("period closed") << "UPDATE `financial periods` SET `period open` = 'No' WHERE "
                                          "`period number` = 2";
        QTest::newRow("last period dropped")
            << "UPDATE `financial periods` SET `period deleted` = 'Yes' WHERE `period number` = 12";
    }
    void changedMeanwhileIsRefused()
    {
        QFETCH(QString, change);
        YearsWorld x;
        const int year = x.db.addYear(x.alpha, "FY2017", QDate(2017, 3, 1));
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        YearEditDialog e(&list, year);
        e.dialog.sg->setCell(3, 1, "March");
        x.db.exec(change);
        const QStringList before = x.years(x.alpha) + x.periods(year);
        e.dialog.btnOkClick();
        QCOMPARE(x.log.messages,
            QStringList{"Financial year was changed by another user since you opened it. Close this window "
                        "and open it again to see the change."});
        QVERIFY(e.dialog.result() != QDialog::Accepted);
        QCOMPARE(e.dialog.sg->cell(3, 1), QStringLiteral("March"));
        QCOMPARE(x.years(x.alpha) + x.periods(year), before);
    }

    // An edited year may not reach into another year of the company: lengthened into the
    // next one, or started inside the one before. Also when the next year is still being
    // saved by another workstation as OK is pressed: the save waits for it and sees it.
    void editedYearMayNotOverlapAnother_data()
    {
        QTest::addColumn<int>("cell"); // 1: period 1's start, 2: period 12's end
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("nextStillSaving");
        QTest::addColumn<QString>("message");
        const QString intoNext = "Period 12, End Date falls in another financial year of the company.";
        QTest::newRow("end into the next year") << 2 << "31/03/2018" << false << intoNext;
        QTest::newRow("end into a next year still being saved") << 2 << "31/03/2018" << true << intoNext;
        QTest::newRow("start inside the year before")
            << 1 << "15/02/2017" << false
            << "Period 1, \"Start Date\" falls in another financial year of the company.";
    }
    void editedYearMayNotOverlapAnother()
    {
        QFETCH(int, cell);
        QFETCH(QString, typed);
        QFETCH(bool, nextStillSaving);
        QFETCH(QString, message);
        YearsWorld x;
        x.db.addYear(x.alpha, "FY2016", QDate(2016, 3, 1));
        const int year = x.db.addYear(x.alpha, "FY2017", QDate(2017, 3, 1));
        const QString next = "INSERT INTO `financial years` (`company id`, `financial year description`, "
                             "`last day of financial year`) VALUES (%1, 'FY2018', '2019-02-28')";
        const QString nextPeriod
            = "INSERT INTO `financial periods` (`financial year id`, `period number`, "
              "`start date`, `end date`, `period description`, `period open`, "
              "`period deleted`) VALUES (LAST_INSERT_ID(), 1, '2018-03-01', '2019-02-28', "
              "'Year', 'Yes', 'No')";
        std::unique_ptr<LockHolder> other;
        if (!nextStillSaving) {
            x.db.exec(next.arg(x.alpha));
            x.db.exec(nextPeriod);
        }
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        YearEditDialog e(&list, year);
        e.dialog.sg->setCell(cell, cell == 1 ? 1 : 12, typed);
        if (nextStillSaving)
            other = std::make_unique<LockHolder>(x.db,
                QStringList{QStringLiteral("SELECT id FROM companies WHERE id = %1 FOR UPDATE").arg(x.alpha),
                    next.arg(x.alpha), nextPeriod});
        const QStringList before = x.periods(year);
        e.dialog.btnOkClick();
        if (other) {
            other->join();
            QVERIFY(other->sawWaiter());
        }
        QCOMPARE(x.log.messages, QStringList{message});
        QVERIFY(e.dialog.result() != QDialog::Accepted);
        QCOMPARE(e.dialog.sg->currentRow(), cell == 1 ? 1 : 12);
        QCOMPARE(x.periods(year), before);
    }

    void eighteenShortenedToTwelve()
    {
        YearsWorld x;
        const int year = x.db.addYear(x.alpha, "Eighteen", QDate(2017, 1, 1), 18);
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        QList<int> ids;
        for (int n = 1; n <= 18; ++n)
            ids << x.periodId(year, n);
        {
            YearEditDialog e(&list, year);
            QCOMPARE(e.dialog.sg->cell(2, 18), QStringLiteral("30/06/2018"));
            for (int n = 13; n <= 18; ++n)
                typeRow(e.dialog.sg, n, {"", "", "", ""});
            e.dialog.btnOkClick();
        }
        const QStringList stored = x.periods(year);
        QCOMPARE(stored.size(), 18);
        for (int n = 1; n <= 18; ++n) {
            QVERIFY2(stored[n - 1].endsWith(n <= 12 ? " No" : " Yes"), qPrintable(stored[n - 1]));
            QCOMPARE(x.periodId(year, n), ids[n - 1]);
        }
        QCOMPARE(x.years(x.alpha), QStringList{"Eighteen 31/12/2017"});
    }

    void openIsStoredAsTyped()
    {
        YearsWorld x;
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        TfrmFinancialYear dialog(&list, &list);
        dialog.CompanyID = x.alpha;
        calculate(dialog, "FY2017", QDate(2017, 3, 1));
        dialog.sg->setCell(4, 1, "YES");
        dialog.sg->setCell(4, 2, "yes");
        dialog.sg->setCell(4, 3, "No");
        dialog.btnOkClick();
        const QStringList stored = x.periods(x.yearId("FY2017"));
        QCOMPARE(stored[0], QStringLiteral("1 01/03/2017 31/03/2017 Period 1 YES No"));
        QCOMPARE(stored[1], QStringLiteral("2 01/04/2017 30/04/2017 Period 2 yes No"));
        QCOMPARE(stored[2], QStringLiteral("3 01/05/2017 31/05/2017 Period 3 No No"));
        // The filter bar shows the text as stored.
        x.w.RefreshFilters();
        selectId(x.w.cbFinancialPeriod, x.periodId(x.yearId("FY2017"), 2));
        x.w.RefreshFilters();
        QCOMPARE(x.w.lblPeriodOpen->text(), QStringLiteral("Period Open: yes"));
    }

    void descriptionIsUniquePerCompanyOnly()
    {
        YearsWorld x;
        x.db.addYear(x.beta, "FY2017", QDate(2017, 3, 1));
        const int own = x.db.addYear(x.alpha, "FY2016", QDate(2016, 3, 1));
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        { // Saved unchanged: its own description is no collision.
            YearEditDialog e(&list, own);
            e.dialog.btnOkClick();
            QCOMPARE(e.dialog.result(), int(QDialog::Accepted));
        }
        TfrmFinancialYear dialog(&list, &list);
        dialog.CompanyID = x.alpha;
        calculate(dialog, "FY2016", QDate(2017, 3, 1));
        dialog.btnOkClick();
        QCOMPARE(x.log.messages.last(), QStringLiteral("Financial year description already exist."));
        dialog.edtFinancialYearDescription->setText("FY2017");
        dialog.btnOkClick();
        QCOMPARE(x.years(x.alpha), (QStringList{"FY2016 28/02/2017", "FY2017 28/02/2018"}));
        QVERIFY(x.log.errors.isEmpty());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("row"); // the row changed; 0: none
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focusRow"); // 0: the description box has the focus
        QTest::addColumn<int>("focusColumn");
        const QString edit = "Edit Financial Year", create = "New Financial Year";
        QTest::newRow("description too short")
            << edit << "FY" << 0 << 0 << "" << DescriptionInvalid << 0 << 0;
        QTest::newRow("description of spaces only")
            << create << "     " << 0 << 0 << "" << DescriptionInvalid << 0 << 0;
        QTest::newRow("description in use") << create << "Current" << 0 << 0 << ""
                                            << "Financial year description already exist." << 0 << 0;
        QTest::newRow("edited onto another's description")
            << edit << "Older" << 0 << 0 << ""
            << "Financial year description already exist." << 0 << 0;
        QTest::newRow("start not a date") << edit << "Current" << 3 << 1 << "1/5/2017"
                                          << "Period 3, \"Start Date\" not correct." << 3 << 1;
        QTest::newRow("new year not after the latest")
            << create << "Next" << 1 << 1 << "28/02/2018"
            << "Period 1, \"Start Date\" must be one day after end of previous financial year." << 1 << 1;
        QTest::newRow("gap")
            << edit << "Current" << 7 << 1 << "02/09/2017"
            << "Period 7, Start date must be one day later than the previous period end date." << 7 << 1;
        QTest::newRow("end not a date") << edit << "Current" << 2 << 2 << ""
                                        << "Period 2, End Date not correct." << 2 << 2;
        QTest::newRow("end before start") << edit << "Current" << 12 << 2 << "31/01/2018"
                                          << "Period 12, End date sooner than start date." << 12 << 2;
        QTest::newRow("no description") << edit << "Current" << 4 << 3 << ""
                                        << "Period 4, description not spesified." << 4 << 3;
        QTest::newRow("open neither") << edit << "Current" << 9 << 4 << "Open"
                                      << "Period 9 Open, only Yes or No allowed." << 9 << 4;
        QTest::newRow("empty row between filled rows") << edit << "Current" << 5 << 0 << ""
                                                       << "Period 5, \"Start Date\" not correct." << 5 << 1;
    }

    void refusals()
    {
        QFETCH(QString, caption);
        QFETCH(QString, description);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(int, focusRow);
        QFETCH(int, focusColumn);
        YearsWorld x;
        x.db.addYear(x.alpha, "Older", QDate(2016, 3, 1));
        const int current = x.db.addYear(x.alpha, "Current", QDate(2017, 3, 1));
        const QStringList yearsBefore = x.years(x.alpha), periodsBefore = x.periods(current);
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        TfrmFinancialYear dialog(&list, &list);
        dialog.CompanyID = x.alpha;
        dialog.setWindowTitle(caption);
        if (caption == TfrmFinancialYear::EditCaption) {
            dialog.FinancialYearID = current;
            dialog.LoadEdit();
        } else {
            dialog.CompanyID = x.alpha;
            calculate(dialog, "", QDate(2018, 3, 1));
        }
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.btnOk->setFocus();
        dialog.edtFinancialYearDescription->setText(description);
        if (row > 0 && column == 0)
            typeRow(dialog.sg, row, {"", "", "", ""});
        else if (row > 0)
            dialog.sg->setCell(column, row, text);
        const QList<PeriodRow> typed = dialog.Rows();
        x.log.clear();
        dialog.btnOk->click();

        QCOMPARE(x.log.messages, QStringList{message});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.edtFinancialYearDescription->text(), description);
        QCOMPARE(dialog.Rows(), typed);
        if (focusRow == 0) {
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.edtFinancialYearDescription));
        } else {
            QVERIFY(dialog.sg->hasFocus() || dialog.sg->isAncestorOf(QApplication::focusWidget()));
            QCOMPARE(dialog.sg->currentRow(), focusRow);
            QCOMPARE(dialog.sg->currentColumn(), focusColumn);
        }
        QCOMPARE(x.years(x.alpha), yearsBefore);
        QCOMPARE(x.periods(current), periodsBefore);
        dialog.close();
    }

    void failedSaveChangesNothing_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::newRow("new year") << false;
        QTest::newRow("existing year") << true;
    }

    void failedSaveChangesNothing()
    {
        QFETCH(bool, editing);
        YearsWorld x;
        const int current = x.db.addYear(x.alpha, "Current", QDate(2017, 3, 1), 13);
        const QStringList yearsBefore = x.years(x.alpha), periodsBefore = x.periods(current);
        // The server refuses the last period written, after the year and the periods before it.
        x.db.exec("CREATE TRIGGER refuse_period BEFORE UPDATE ON `financial periods` FOR EACH ROW "
                  "IF NEW.`period description` = 'Refused' THEN SIGNAL SQLSTATE '45000' "
                  "SET MESSAGE_TEXT = 'refused'; END IF");
        x.db.exec("CREATE TRIGGER refuse_new_period BEFORE INSERT ON `financial periods` FOR EACH ROW "
                  "IF NEW.`period description` = 'Refused' THEN SIGNAL SQLSTATE '45000' "
                  "SET MESSAGE_TEXT = 'refused'; END IF");
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        TfrmFinancialYear dialog(&list, &list);
        dialog.CompanyID = x.alpha;
        if (editing) {
            dialog.setWindowTitle(TfrmFinancialYear::EditCaption);
            dialog.FinancialYearID = current;
            dialog.LoadEdit();
            dialog.edtFinancialYearDescription->setText("Renamed");
            typeRow(dialog.sg, 13, {"", "", "", ""});
            dialog.sg->setCell(3, 1, "Changed");
            dialog.sg->setCell(3, 12, "Refused");
        } else {
            calculate(dialog, "Next", QDate(2018, 4, 1));
            dialog.sg->setCell(3, 12, "Refused");
        }
        dialog.show();
        const QList<PeriodRow> typed = dialog.Rows();
        dialog.btnOk->click();
        QCOMPARE(x.log.messages.last(), CouldNotBeSaved);
        QVERIFY(x.log.errors.isEmpty());
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.Rows(), typed);
        QCOMPARE(dialog.edtFinancialYearDescription->text(), QString(editing ? "Renamed" : "Next"));
        QCOMPARE(x.years(x.alpha), yearsBefore);
        QCOMPARE(x.periods(current), periodsBefore);
        QCOMPARE(x.db.scalar("SELECT COUNT(*) FROM `financial periods`").toInt(), 13);

        // Mended and saved again from the same dialog.
        dialog.sg->setCell(3, 12, "Period 12");
        dialog.btnOk->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(x.years(x.alpha).size(), editing ? 1 : 2);
    }

    void openingTheListNeedsAnAdministrator_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("administrator");
        QTest::addColumn<bool>("fromCaption");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("All") << "All"
                             << "Yes" << false << "Please select/create a spesific company first.";
        QTest::newRow("not administrator")
            << "Beta Trading"
            << "No" << true << "You need administrator access to use this function.";
        QTest::newRow("administrator, menu") << "Beta Trading"
                                             << "Yes" << false << "";
        QTest::newRow("administrator, caption") << "Beta Trading"
                                                << "Yes" << true << "";
    }

    void openingTheListNeedsAnAdministrator()
    {
        QFETCH(QString, company);
        QFETCH(QString, administrator);
        QFETCH(bool, fromCaption);
        QFETCH(QString, refusal);
        YearsWorld x;
        x.db.exec(QStringLiteral("UPDATE access SET administrator = '%1' WHERE `company id` = %2")
                      .arg(administrator)
                      .arg(x.beta));
        x.db.addYear(x.beta, "Beta's year", QDate(2016, 3, 1));
        x.w.cbCompany->setCurrentIndex(x.w.cbCompany->findText(company));
        x.w.RefreshFilters();
        QStringList shown;
        auto window = onNextModal([&](QDialog* d) {
            auto* list = qobject_cast<TfrmFinancialYears*>(d);
            QVERIFY(list);
            shown = shownRows(list->dbgFinancialYears).value(0);
            // A year added meanwhile shows in the filter bar once the window closes.
            x.db.addYear(x.beta, "Added Meanwhile", QDate(2017, 3, 1));
        });
        if (fromCaption)
            QTest::mouseClick(x.w.lblFinancialYear, Qt::LeftButton);
        else
            x.w.acFinancialYears->trigger();
        QVERIFY2(x.log.errors.isEmpty(), qPrintable(x.log.errors.join("|")));
        QCOMPARE(window->ran, refusal.isEmpty());
        QCOMPARE(x.log.messages, refusal.isEmpty() ? QStringList() : QStringList{refusal});
        if (window->ran) {
            QCOMPARE(window->title, QStringLiteral("Setup -> Financial Years"));
            QCOMPARE(shown, (QStringList{"Beta Trading", "Beta's year", "28/02/2017"}));
            QVERIFY(x.w.cbFinancialYear->findText("Beta Trading - Added Meanwhile") >= 0);
        }
    }

    void periodCaptionEditsTheFilterBarsYearWithoutTheAdministratorTest()
    {
        YearsWorld x;
        x.db.exec(
            QStringLiteral("UPDATE access SET administrator = 'No' WHERE `company id` = %1").arg(x.alpha));
        x.w.RefreshFilters();
        QCOMPARE(x.w.cbFinancialYear->count(), 0);
        auto none = onNextModal();
        QTest::mouseClick(x.w.lblFinancialPeriod, Qt::LeftButton);
        QCOMPARE(x.log.messages, QStringList{"Please select a financial year first."});
        QCoreApplication::processEvents();
        QVERIFY(!none->ran);

        const int year = x.db.addYear(x.alpha, "FY2017", QDate(2017, 3, 1));
        x.w.RefreshFilters();
        x.log.clear();
        auto edit = onNextModal([&](QDialog* d) {
            auto* dialog = qobject_cast<TfrmFinancialYear*>(d);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Financial Year"));
            QCOMPARE(dialog->FinancialYearID, year);
            dialog->sg->setCell(3, 1, "March");
            dialog->btnOk->click();
        });
        QTest::mouseClick(x.w.lblFinancialPeriod, Qt::LeftButton);
        QVERIFY(edit->ran);
        QVERIFY2(x.log.messages.isEmpty(), qPrintable(x.log.messages.join("|")));
        QCOMPARE(x.periods(year).first(), QStringLiteral("1 01/03/2017 31/03/2017 March Yes No"));
        // The filter bar was refreshed: the renamed period is offered.
        QCOMPARE(x.periodBox().first(), QStringLiteral("March"));
    }

    void twoWorkstationsOpeningTheSameNextYear()
    {
        YearsWorld x;
        x.db.addYear(x.alpha, "FY2017", QDate(2017, 3, 1));
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        TfrmFinancialYear dialog(&list, &list);
        dialog.CompanyID = x.alpha;
        calculate(dialog, "Ours", QDate(2018, 3, 1));
        dialog.show();
        QVERIFY(dialog.checkInput());
        // The other workstation passed the same checks and writes the same next year; it
        // holds its transaction open while ours saves, then commits.
        LockHolder other(x.db,
            {QStringLiteral("INSERT INTO `financial years` (`company id`, "
                            "`financial year description`, `last day of financial year`) "
                            "VALUES (%1, 'Theirs', '2019-02-28')")
                    .arg(x.alpha)});
        x.log.clear();
        guarded([&] { dialog.Save(); });
        other.join();
        QVERIFY(other.sawWaiter());
        QCOMPARE(x.log.messages,
            QStringList{"Period 1, \"Start Date\" must be one day after end of previous financial year."});
        QVERIFY(x.log.errors.isEmpty());
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.sg->currentRow(), 1);
        QCOMPARE(dialog.sg->currentColumn(), 1);
        QCOMPARE(x.years(x.alpha), (QStringList{"FY2017 28/02/2018", "Theirs 28/02/2019"}));
        QCOMPARE(x.db.scalar("SELECT COUNT(*) FROM `financial periods`").toInt(), 12);
    }

    void theDemoUserOpensTheNextFinancialYear()
    {
        SetClockForTesting({});
        TestDatabase db;
        db.execFile(databaseFile("demo.sql"));
        TfrmMain w;
        MessageLog log;
        w.Login(db.scalar("SELECT ID FROM wp_users WHERE user_login = 'demo'").toInt());
        const QDate next = db.scalar("SELECT MAX(`last day of financial year`) FROM `financial years`")
                               .toDate()
                               .addDays(1);
        std::shared_ptr<ModalAction> yearDialog;
        auto list = onNextModal([&](QDialog* d) {
            auto* years = qobject_cast<TfrmFinancialYears*>(d);
            QVERIFY(years);
            yearDialog = onNextModal([&](QDialog* d2) {
                auto* dialog = qobject_cast<TfrmFinancialYear*>(d2);
                QVERIFY(dialog);
                QTest::keyClicks(dialog->edtFinancialYearDescription, "Next year");
                dialog->dtpStartDate->setDate(next);
                dialog->btnCalculate->click();
                dialog->btnOk->click();
                QVERIFY(!dialog->isVisible());
            });
            years->btnNewFinancialYear->click();
            QCOMPARE(years->dbgFinancialYears->currentIndex().row(), 2);
        });
        w.acFinancialYears->trigger();
        QVERIFY(list->ran && yearDialog && yearDialog->ran);
        QCOMPARE(log.messages, QStringList{"Do you want to overwrite existing values?"});
        // Picked in the filter bar, the year offers its twelve periods.
        const int year = w.cbFinancialYear->findText(w.cbCompany->currentText() + " - Next year");
        QVERIFY(year >= 0);
        choose(w.cbFinancialYear, w.cbFinancialYear->itemText(year));
        QCOMPARE(w.cbFinancialPeriod->count(), 12);
        QCOMPARE(w.cbFinancialPeriod->itemText(0), QStringLiteral("Period 1"));
        QCOMPARE(w.cbFinancialPeriod->itemText(11), QStringLiteral("Period 12"));
        QCOMPARE(w.lblPeriodStartDate->text(), "Start Date: " + DateToMyString(next));
        QCOMPARE(w.lblPeriodOpen->text(), QStringLiteral("Period Open: Yes"));
        QVERIFY(log.errors.isEmpty());
    }

    void linksOpenTheHelpAndVersePages()
    {
        YearsWorld x;
        TfrmFinancialYears list(x.w.books(), x.w.qrFinancialYears, &x.w);
        LinkCatcher urls;
        QTest::mouseClick(list.lblHelp, Qt::LeftButton);
        QTest::mouseClick(list.lblBibleVerseLink, Qt::LeftButton);
        QCOMPARE(urls.urls.size(), 2);
        QVERIFY(urls.urls[0].toString().endsWith("/help/blog/financial-years.html"));
        QCOMPARE(urls.urls[1].toString(), verseUrl("/psalms/90-10.htm"));
        QCOMPARE(list.lblBibleVerseLink->text(), QStringLiteral("Psalm 90:10"));
        QVERIFY(list.lblVerse->text().contains("threescore years and ten"));
        QVERIFY(textFits(list.lblVerse));
    }
};

QTEST_MAIN(TestFinancialYears)
#include "tst_financialyears.moc"
