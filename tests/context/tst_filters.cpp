#include "TestSupport.h"

#include "app/Main.h"
#include "standard/Standard.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTest>

namespace {
const QDate today(2024, 5, 15);

QStringList items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QStringList labels(const TfrmMain& w)
{
    return {w.lblPeriodStartDate->text(), w.lblPeriodEndDate->text(), w.lblPeriodOpen->text()};
}

const QStringList noYearLabels{"Start Date:", "End Date:", "Period Open:"};
}

class TestFilters : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }
    void init() { SetClockForTesting(QDateTime(today, QTime(9, 30))); }
    void cleanup() { SetClockForTesting({}); }

    // "All" comes first only with two or more listed companies, is chosen after login and
    // stays chosen across refreshes; a picked company stays picked.
    void companyBox()
    {
        TestDatabase db;
        const int one = db.addUser("one", "one@example.com", "secret");
        const int many = db.addUser("many", "many@example.com", "secret");
        const int other = db.addUser("other", "other@example.com", "secret");
        const int acme = db.addCompany("Acme"), beta = db.addCompany("Beta");
        const int hidden = db.addCompany("Hidden"), foreign = db.addCompany("Foreign");
        db.addAccess(one, beta);
        db.addAccess(many, beta);
        db.addAccess(many, acme, "Yes", "No");
        db.addAccess(many, hidden, "No"); // a row without "access company" lists nothing
        db.addAccess(other, foreign);
        MessageLog log;
        {
            TfrmMain w;
            w.Login(one);
            QCOMPARE(items(w.cbCompany), QStringList{"Beta"});
            QCOMPARE(w.SelCompany(), QString::number(beta));
        }
        TfrmMain w;
        w.Login(many);
        QCOMPARE(items(w.cbCompany), (QStringList{"All", "Acme", "Beta"}));
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("All"));
        QCOMPARE(w.SelCompany(), QStringLiteral("0"));
        w.RefreshFilters();
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("All"));
        choose(w.cbCompany, "Beta");
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("Beta"));
        w.RefreshFilters();
        QCOMPARE(w.SelCompany(), QString::number(beta));
        choose(w.cbCompany, "All");
        w.RefreshFilters();
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("All"));
        QVERIFY(log.messages.isEmpty());
        QVERIFY(log.errors.isEmpty());
    }

    // Logging out leaves the choice behind; the next user keeps it when the company is
    // among theirs, and starts on the first item otherwise.
    void companyKeptForTheNextUser()
    {
        TestDatabase db;
        const int alice = db.addUser("alice", "alice@example.com", "secret");
        const int bob = db.addUser("bob", "bob@example.com", "secret");
        const int carol = db.addUser("carol", "carol@example.com", "secret");
        const int a = db.addCompany("A"), b = db.addCompany("B"), c = db.addCompany("C");
        db.addAccess(alice, a);
        db.addAccess(alice, b);
        db.addAccess(bob, b);
        db.addAccess(bob, c);
        db.addAccess(carol, a);
        db.addAccess(carol, c);
        MessageLog log;
        TfrmMain w;
        w.Login(alice);
        choose(w.cbCompany, "B");
        w.Logout();
        w.Login(bob);
        QCOMPARE(items(w.cbCompany), (QStringList{"All", "B", "C"}));
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("B"));
        w.Logout();
        w.Login(carol);
        QCOMPARE(w.cbCompany->currentText(), QStringLiteral("All"));
    }

    // A new list of years opens on the year whose live period contains today, on that
    // period; failing that, on the most recently created year and its first period.
    void yearAndPeriodChosenByToday_data()
    {
        QTest::addColumn<QDate>("clock");
        QTest::addColumn<bool>("deleteTodaysPeriod");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("period");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("today in the middle year")
            << today << false << "Acme - FY2024"
            << "May 2024"
            << QStringList{"Start Date: 01/05/2024", "End Date: 31/05/2024", "Period Open: Yes"};
        QTest::newRow("today on a first day")
            << QDate(2023, 1, 1) << false << "Acme - FY2023"
            << "Jan 2023"
            << QStringList{"Start Date: 01/01/2023", "End Date: 31/01/2023", "Period Open: Yes"};
        QTest::newRow("today on a last day")
            << QDate(2025, 2, 28) << false << "Acme - FY2024"
            << "Feb 2025"
            << QStringList{"Start Date: 01/02/2025", "End Date: 28/02/2025", "Period Open: Yes"};
        QTest::newRow("today in no year")
            << QDate(2031, 7, 1) << false << "Acme - FY2022"
            << "Mar 2022"
            << QStringList{"Start Date: 01/03/2022", "End Date: 31/03/2022", "Period Open: Yes"};
        QTest::newRow("today's period deleted")
            << today << true << "Acme - FY2022"
            << "Mar 2022"
            << QStringList{"Start Date: 01/03/2022", "End Date: 31/03/2022", "Period Open: Yes"};
    }
    void yearAndPeriodChosenByToday()
    {
        QFETCH(QDate, clock);
        QFETCH(bool, deleteTodaysPeriod);
        QFETCH(QString, year);
        QFETCH(QString, period);
        QFETCH(QStringList, labels);
        SetClockForTesting(QDateTime(clock, QTime(23, 59)));
        TestDatabase db;
        const int user = db.addUser("alice", "alice@example.com", "secret");
        const int acme = db.addCompany("Acme");
        db.addAccess(user, acme);
        db.addYear(acme, "FY2023", QDate(2023, 1, 1));
        const int fy2024 = db.addYear(acme, "FY2024", QDate(2024, 3, 1));
        db.addYear(acme, "FY2022", QDate(2022, 3, 1)); // created last: the fallback
        if (deleteTodaysPeriod)
            db.exec(QStringLiteral("UPDATE `financial periods` SET `period deleted` = 'Yes' "
                                   "WHERE `financial year id` = %1 AND `period number` = 3")
                        .arg(fy2024));
        MessageLog log;
        TfrmMain w;
        w.Login(user);
        QCOMPARE(items(w.cbFinancialYear), (QStringList{"Acme - FY2023", "Acme - FY2024", "Acme - FY2022"}));
        QCOMPARE(w.cbFinancialYear->currentText(), year);
        QCOMPARE(w.cbFinancialPeriod->currentText(), period);
        QCOMPARE(::labels(w), labels);
        QVERIFY(log.messages.isEmpty());
    }

    // The period box lists the live periods of the year in period order, whatever order
    // they were stored in; the labels follow the period a user picks.
    void periodBox()
    {
        TestDatabase db;
        const int user = db.addUser("alice", "alice@example.com", "secret");
        const int acme = db.addCompany("Acme");
        db.addAccess(user, acme);
        db.exec(QStringLiteral("INSERT INTO `financial years` (`company id`, `financial year description`, "
                               "`last day of financial year`) VALUES (%1, 'FY', '2024-12-31')")
                    .arg(acme));
        const int year = db.scalar("SELECT MAX(id) FROM `financial years`").toInt();
        const QList<std::tuple<int, QString, QString, QString, QString>> periods = {
            {3, "Third", "2024-09-01", "2024-12-31", "Yes"}, {1, "First", "2024-01-01", "2024-04-30", "Yes"},
            {4, "Gone", "2025-01-01", "2025-01-31", "Yes"}, {2, "Second", "2024-05-01", "2024-08-31", "no"}};
        for (const auto& [number, description, from, to, open] : periods)
            db.exec(QStringLiteral("INSERT INTO `financial periods` (`financial year id`, `period number`, "
                                   "`start date`, `end date`, `period description`, `period open`, "
                                   "`period deleted`) VALUES (%1, %2, '%3', '%4', '%5', '%6', '%7')")
                        .arg(year)
                        .arg(number)
                        .arg(from, to, description, open, description == "Gone" ? "Yes" : "No"));
        MessageLog log;
        TfrmMain w;
        w.Login(user);
        QCOMPARE(items(w.cbFinancialPeriod), (QStringList{"First", "Second", "Third"}));
        QCOMPARE(w.cbFinancialPeriod->currentText(), QStringLiteral("Second"));
        QCOMPARE(
            labels(w), (QStringList{"Start Date: 01/05/2024", "End Date: 31/08/2024", "Period Open: no"}));
        choose(w.cbFinancialPeriod, "Third");
        QCOMPARE(
            labels(w), (QStringList{"Start Date: 01/09/2024", "End Date: 31/12/2024", "Period Open: Yes"}));
    }

    // Another company re-chooses year and period by today; "All" keeps them, and the
    // year texts name their companies. Among several companies' periods containing today
    // the first year listed wins.
    void companyChangeRechoosesYear()
    {
        TestDatabase db;
        const int user = db.addUser("alice", "alice@example.com", "secret");
        const int a = db.addCompany("A"), b = db.addCompany("B");
        db.addAccess(user, a);
        db.addAccess(user, b);
        db.addYear(a, "2024", QDate(2024, 1, 1));
        db.addYear(b, "2024", QDate(2024, 3, 1));
        db.addYear(b, "2019", QDate(2019, 3, 1));
        MessageLog log;
        TfrmMain w;
        w.Login(user);
        QCOMPARE(items(w.cbFinancialYear), (QStringList{"A - 2024", "B - 2024", "B - 2019"}));
        QCOMPARE(w.cbFinancialYear->currentText(), QStringLiteral("A - 2024"));
        QCOMPARE(w.cbFinancialPeriod->currentText(), QStringLiteral("May 2024"));
        choose(w.cbCompany, "B");
        QCOMPARE(items(w.cbFinancialYear), (QStringList{"B - 2024", "B - 2019"}));
        QCOMPARE(w.cbFinancialYear->currentText(), QStringLiteral("B - 2024"));
        QCOMPARE(w.cbFinancialPeriod->currentText(), QStringLiteral("May 2024"));
        choose(w.cbFinancialYear, "B - 2019");
        QCOMPARE(w.cbFinancialPeriod->currentText(), QStringLiteral("Mar 2019"));
        choose(w.cbFinancialPeriod, "Jul 2019");
        choose(w.cbCompany, "All");
        QCOMPARE(w.cbFinancialYear->currentText(), QStringLiteral("B - 2019"));
        QCOMPARE(w.cbFinancialPeriod->currentText(), QStringLiteral("Jul 2019"));
        QCOMPARE(
            labels(w), (QStringList{"Start Date: 01/07/2019", "End Date: 31/07/2019", "Period Open: Yes"}));
    }

    void switchingTabsKeepsThePeriod()
    {
        TestDatabase db;
        const int user = db.addUser("alice", "alice@example.com", "secret");
        const int acme = db.addCompany("Acme");
        db.addAccess(user, acme, "Yes", "No", "View", "View");
        db.addYear(acme, "FY2024", QDate(2024, 1, 1));
        MessageLog log;
        TfrmMain w;
        w.Login(user);
        choose(w.cbFinancialPeriod, "Sep 2024");
        w.pcMain->setCurrentWidget(w.tsJournalEntries); // as a click on the tab does
        QCOMPARE(w.pcMain->currentWidget(), w.tsJournalEntries);
        QCOMPARE(w.cbFinancialPeriod->currentText(), QStringLiteral("Sep 2024"));
        w.pcMain->setCurrentWidget(w.tsTrialBalance);
        QCOMPARE(w.cbFinancialPeriod->currentText(), QStringLiteral("Sep 2024"));
        QCOMPARE(w.lblPeriodStartDate->text(), QStringLiteral("Start Date: 01/09/2024"));
        QVERIFY(log.messages.isEmpty());
    }

    // A year without periods and a user without companies show no stale dates.
    void labelsWithoutAPeriod()
    {
        TestDatabase db;
        const int user = db.addUser("alice", "alice@example.com", "secret");
        const int lonely = db.addUser("lonely", "lonely@example.com", "secret");
        const int acme = db.addCompany("Acme");
        db.addAccess(user, acme);
        db.addYear(acme, "FY2024", QDate(2024, 1, 1));
        db.addYear(acme, "Empty", QDate(2025, 1, 1), 0);
        MessageLog log;
        TfrmMain w;
        w.Login(user);
        QCOMPARE(w.cbFinancialYear->currentText(), QStringLiteral("Acme - FY2024"));
        QCOMPARE(w.lblPeriodOpen->text(), QStringLiteral("Period Open: Yes"));
        choose(w.cbFinancialYear, "Acme - Empty");
        QCOMPARE(w.cbFinancialPeriod->count(), 0);
        QCOMPARE(labels(w), noYearLabels);

        w.Logout();
        w.Login(lonely);
        QCOMPARE(w.cbCompany->count(), 0);
        QCOMPARE(w.cbFinancialYear->count(), 0);
        QCOMPARE(w.cbFinancialPeriod->count(), 0);
        QCOMPARE(labels(w), noYearLabels);
        QCOMPARE(w.SelCompany(), QStringLiteral("-1"));
        QVERIFY(log.messages.isEmpty());
        QVERIFY(log.errors.isEmpty());
    }

    // The one condition every statement spanning companies is built with.
    void companyCondition()
    {
        TestDatabase db;
        const int user = db.addUser("alice", "alice@example.com", "secret");
        const int lonely = db.addUser("lonely", "lonely@example.com", "secret");
        const int a = db.addCompany("A"), b = db.addCompany("B"), c = db.addCompany("C");
        for (int company : {a, b, c})
            db.addAccess(user, company);
        MessageLog log;
        TfrmMain w;
        w.Login(user);
        const QString col = "`company id`";
        QCOMPARE(w.companyCondition(col),
            (QStringList{QStringLiteral(" and ((`company id` = %1)").arg(a),
                QStringLiteral(" or (`company id` = %1)").arg(b),
                QStringLiteral(" or (`company id` = %1)").arg(c), ")"}));
        QCOMPARE(w.companyCondition("`companies`.id", false),
            (QStringList{QStringLiteral("and ((`companies`.id = %1)").arg(a),
                QStringLiteral("or (`companies`.id = %1)").arg(b),
                QStringLiteral("or (`companies`.id = %1)").arg(c), ")"}));
        choose(w.cbCompany, "B");
        QCOMPARE(w.companyCondition(col), QStringList{QStringLiteral(" and (`company id` = %1)").arg(b)});
        QCOMPARE(
            w.companyCondition(col, false), QStringList{QStringLiteral("and (`company id` = %1)").arg(b)});
        // With no company to show, a statement built with it finds nothing.
        w.Logout();
        w.Login(lonely);
        const QStringList none = w.companyCondition(col);
        QCOMPARE(none, QStringList{" and (`company id` = -1)"});
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM access WHERE (1 = 1)" + none.join("\n")).toInt(), 0);
    }
};

QTEST_MAIN(TestFilters)
#include "tst_filters.moc"
