// The program's trial balance against the reference: the grid as the original design
// builds it, with its own grouped statement over every line and one MaakTotaleOpNaBo walk
// per amount, on randomized books. The program reads the monthly totals and only the cut
// days' lines; both must agree cell for cell, also after scripts changed the books.
#include "RandomBooks.h"
#include "TestSupport.h"
#include "TrialBalanceTesting.h"

#include "db/Query.h"
#include "standard/Standard.h"

#include <QComboBox>
#include <QRandomGenerator>
#include <QTest>

namespace {

// The grid exactly as the design's steps 3 to 8 fill it: its statements, line for line,
// and the walk after every amount written. Its one change: accounts are grouped per
// company as well, so that "All" does not merge two companies' accounts.
void referenceFill(TfrmMain& w)
{
    StringGrid& g = *w.sgTB;
    const bool periodSelected = w.cbFinancialPeriod->currentIndex() >= 0;
    g.setRowCount(1);
    g.setColumnCount(10);
    g.setRowCount(2);
    const QStringList headings{"Posting Type", "Classification", "Company Name", "Cost Centre Number",
        "Object Number", "Cost Centre Description", "Object Description", "Account Description", "Level",
        "Use For Account"};
    const QList<int> headingColumns{TB.PostingType, TB.Classification, TB.CompanyName, TB.CostCentreNumber,
        TB.ObjectNumber, TB.CostCentreDescription, TB.ObjectDescription, TB.AccountDescription, TB.Level,
        TB.UseForAccount};
    for (int i = 0; i < headings.size(); ++i)
        g.setCell(headingColumns[i], 0, headings[i]);

    Query& periods = *w.qrFinancialPeriods;
    if (periodSelected) {
        periods.open({"SELECT * FROM `financial periods` WHERE",
            QString("(`financial year id` = %1)").arg(selectedId(w.cbFinancialYear)),
            "and (`period deleted` = \"No\")", "ORDER BY `period number`"});
        g.setColumnCount(periods.recordCount() + TB.OpeningBalance + 1);
        g.setCell(TB.OpeningBalance, 0, "Opening balance");
        int col = TB.OpeningBalance + 1;
        for (periods.first(); !periods.eof(); periods.next())
            g.setCell(col++, 0, periods.asString("period description"));
    }
    Query& objects = *w.qrObjects;
    objects.open({"SELECT * FROM objects", "ORDER BY `object number`"});

    QStringList sql{"SELECT `account description`, `object number`, `cost centre number`, "
                    "`cost centre description`, `company name`"};
    QDate firstStart;
    if (periodSelected) {
        periods.first();
        firstStart = periods.asDate("start date");
        sql << ", SUM(CASE WHEN  (`posting type` = \"Balance Sheet\") AND (`transaction date` < "
                + sqlDateLiteral(firstStart) + ") THEN amount ELSE 0 END) as `opening balance`";
        for (periods.first(); !periods.eof(); periods.next())
            sql << QString(", SUM(CASE WHEN (`transaction date` >= %1) and (`transaction date` <= %2) THEN "
                           "amount ELSE 0 END) as `period%3`")
                       .arg(sqlDateLiteral(periods.asDate("start date")),
                           sqlDateLiteral(periods.asDate("end date")))
                       .arg(periods.asInteger("period number"));
    }
    sql << "FROM objects, companies, `cost centres`, accounts";
    if (periodSelected)
        sql << "LEFT JOIN `transaction details` ON (`transaction details`.`account id` = accounts.id) LEFT "
               "JOIN `transactions` ON  (`transaction details`.`transaction id` = transactions.id)";
    sql << "WHERE"
        << "(accounts.`object id` = objects.id)"
        << "and (accounts.`cost centre id` = `cost centres`.id)"
        << "and (`cost centres`.`company id` = companies.id)";
    // The company condition of step 6, and of step 7 with another column.
    auto condition = [&w](const QString& column) {
        QStringList lines;
        if (selectedId(w.cbCompany) != 0)
            return QStringList{QString(" and (%1 = %2)").arg(column).arg(selectedId(w.cbCompany))};
        for (int i = 1; i < w.cbCompany->count(); ++i)
            lines << QString(i == 1 ? " and ((%1 = %2)" : " or (%1 = %2)")
                         .arg(column)
                         .arg(w.cbCompany->itemData(i).toInt());
        return lines << ")";
    };
    sql << condition("`companies`.id");
    if (periodSelected)
        sql << "GROUP BY companies.id, `cost centre number`, `object number`";
    sql << "ORDER BY companies.id, `cost centre number`";
    Query& accounts = *w.qrAccounts;
    accounts.open(sql);

    Money profit;
    if (periodSelected) {
        QStringList lines{"SELECT SUM(amount) AS amount",
            "FROM `transaction details`, `transactions`, accounts, objects", "WHERE",
            "(`transaction details`.`transaction id` = transactions.id)",
            "and (`transaction details`.`account id` = accounts.id)",
            "and (objects.id = accounts.`object id`)", "and (objects.`posting type` = \"Income Statement\")",
            "and (transactions.`transaction date` < " + sqlDateLiteral(firstStart) + ")"};
        lines << condition("`company id`");
        w.qrTransactions->open(lines);
        profit = w.qrTransactions->asMoney("amount");
    }

    int row = 1;
    auto grow = [&] {
        if (g.rowCount() < row + 1)
            g.setRowCount(row + 1);
    };
    for (objects.first(); !objects.eof(); objects.next()) {
        grow();
        g.setCell(TB.PostingType, row, objects.asString("posting type"));
        g.setCell(TB.Classification, row, objects.asString("classification"));
        g.setCell(TB.ObjectNumber, row, objects.asString("object number"));
        g.setCell(TB.ObjectDescription, row, objects.asString("object description"));
        g.setCell(TB.Level, row, objects.asString("level"));
        g.setCell(TB.UseForAccount, row, objects.asString("use for account"));
        if (periodSelected) {
            for (int c = TB.OpeningBalance; c < g.columnCount(); ++c)
                g.setCell(c, row, "0");
            if (objects.asString("object number") == "38000") {
                g.setCell(TB.OpeningBalance, row, profit.toString());
                w.MaakTotaleOpNaBo(row, TB.OpeningBalance, profit);
            }
        }
        ++row;
        for (int a = 0; a < accounts.recordCount(); ++a) {
            accounts.setCurrentRow(a);
            if (accounts.asInteger("object number") != objects.asInteger("object number"))
                continue;
            grow();
            g.setCell(TB.PostingType, row, objects.asString("posting type"));
            g.setCell(TB.Classification, row, objects.asString("classification"));
            g.setCell(TB.CompanyName, row, accounts.asString("company name"));
            g.setCell(TB.CostCentreNumber, row, accounts.asString("cost centre number"));
            g.setCell(TB.ObjectNumber, row, objects.asString("object number"));
            g.setCell(TB.CostCentreDescription, row, accounts.asString("cost centre description"));
            g.setCell(TB.ObjectDescription, row, objects.asString("object description"));
            g.setCell(TB.AccountDescription, row, accounts.asString("account description"));
            g.setCell(TB.UseForAccount, row, objects.asString("use for account"));
            if (periodSelected) {
                int col = TB.OpeningBalance;
                auto write = [&](const Money& amount) {
                    g.setCell(col, row, amount.toString());
                    w.MaakTotaleOpNaBo(row, col, amount);
                    ++col;
                };
                write(accounts.asMoney("opening balance"));
                for (periods.first(); !periods.eof(); periods.next())
                    write(accounts.asMoney("period" + periods.asString("period number")));
            }
            ++row;
        }
    }
}

// Books full of what the roll-up and the sums must survive: levels that are empty, 0,
// skip, repeat and go past 5; posting types in other letter cases or of neither kind;
// object 38000 or none; periods of one day, with gaps, overlapping, numbered out of date
// order, some deleted; entries before, inside and after the year; several companies
// whose cost centre numbers coincide.
void changeBooks(TestDatabase& db, quint32 seed)
{
    QRandomGenerator rng(seed * 7919);
    const auto ids = [&](const QString& sql) {
        QList<int> out;
        for (const QVariantList& row : db.rows(sql))
            out << row.value(0).toInt();
        return out;
    };
    const auto pick = [&](const QList<int>& from) { return from[int(rng.bounded(int(from.size())))]; };
    const QString companyOfAccount = "(SELECT `company id` FROM `cost centres`, accounts WHERE "
                                     "accounts.`cost centre id` = `cost centres`.id AND accounts.id = %1)";
    const QList<int> lines = ids("SELECT id FROM `transaction details` ORDER BY id");
    if (lines.isEmpty())
        return;
    db.exec(
        QString("UPDATE `transaction details` SET amount = -2 * amount WHERE MOD(id, 5) = %1").arg(seed % 5));
    db.exec(QString("UPDATE `transaction details` SET `line description` = 'Seen' WHERE MOD(id, 3) = 0"));
    for (int i = 0; i < 4; ++i) {
        const int line = pick(lines);
        const int account
            = db.scalar(QString("SELECT `account id` FROM `transaction details` WHERE id = %1").arg(line))
                  .toInt();
        const QList<int> others
            = ids(QString("SELECT accounts.id FROM accounts, `cost centres` WHERE "
                          "accounts.`cost centre id` = `cost centres`.id AND `company id` = %1")
                      .arg(companyOfAccount.arg(account)));
        db.exec(QString(
            "UPDATE `transaction details` SET `account id` = %1, amount = amount + 0.0001 WHERE id = %2")
                    .arg(pick(others))
                    .arg(line));
    }
    const QList<int> entries = ids("SELECT id FROM transactions ORDER BY id");
    // A line moves to another entry of its account's company (the profit brought forward
    // goes by the entry's company, the rest by the account's).
    for (int i = 0; i < 3; ++i) {
        const int line = pick(lines);
        const int account
            = db.scalar(QString("SELECT `account id` FROM `transaction details` WHERE id = %1").arg(line))
                  .toInt();
        const QList<int> sameCompany = ids(QString("SELECT id FROM transactions WHERE `company id` = %1")
                                               .arg(companyOfAccount.arg(account)));
        if (!sameCompany.isEmpty())
            db.exec(QString(
                "UPDATE `transaction details` SET `transaction id` = %1, `line nr` = %2 WHERE id = %3")
                        .arg(pick(sameCompany))
                        .arg(100 + i)
                        .arg(line));
    }
    db.exec(QString("DELETE FROM `transaction details` WHERE MOD(id, 7) = %1").arg(seed % 7));
    db.exec(
        QString("INSERT INTO `transaction details` (`transaction id`, `line nr`, `account id`, "
                "`line description`, amount) SELECT `transaction id`, `line nr` + 200, `account id`, 'Copy', "
                "amount / 3 FROM `transaction details` WHERE MOD(id, 4) = %1")
            .arg(seed % 4));
    db.exec(QString("UPDATE transactions SET `transaction date` = `transaction date` + INTERVAL %1 DAY "
                    "WHERE MOD(id, 6) = %2")
                .arg(1 + rng.bounded(45))
                .arg(seed % 6));
    db.exec(QString("UPDATE transactions SET `transaction date` = `transaction date` - INTERVAL 1 MONTH "
                    "WHERE MOD(id, 6) = %1")
                .arg((seed + 3) % 6));
    const int gone = pick(entries);
    db.exec(QString("DELETE FROM `transaction details` WHERE `transaction id` = %1").arg(gone));
    db.exec(QString("DELETE FROM transactions WHERE id = %1").arg(gone));

    // An account moves to a cost centre of its company that has no account on its object.
    const QList<QVariantList> moves = db.rows(
        "SELECT accounts.id, other.id FROM accounts, `cost centres` own, `cost centres` other "
        "WHERE accounts.`cost centre id` = own.id AND other.`company id` = own.`company id` "
        "AND other.id <> own.id AND NOT EXISTS (SELECT * FROM accounts taken WHERE "
        "taken.`cost centre id` = other.id AND taken.`object id` = accounts.`object id`) ORDER BY 1, 2");
    if (!moves.isEmpty()) {
        const QVariantList& move = moves[int(rng.bounded(int(moves.size())))];
        db.exec(QString("UPDATE accounts SET `cost centre id` = %1 WHERE id = %2")
                    .arg(move.value(1).toInt())
                    .arg(move.value(0).toInt()));
    }

    // A year's periods get other dates.
    const QList<int> years = ids("SELECT DISTINCT `financial year id` FROM `financial periods` ORDER BY 1");
    const int year = pick(years);
    const int start = db.scalar(QString("SELECT DAYOFMONTH(MIN(`start date`)) FROM `financial periods` "
                                        "WHERE `financial year id` = %1")
                                    .arg(year))
                          .toInt();
    if (start == 1 || start == 15) // months from the 1st to months from the 15th, and back
        db.exec(QString("UPDATE `financial periods` SET `start date` = `start date` + INTERVAL %1 DAY, "
                        "`end date` = `end date` + INTERVAL %1 DAY WHERE `financial year id` = %2")
                    .arg(start == 1 ? 14 : -14)
                    .arg(year));
    else
        db.exec(QString("UPDATE `financial periods` SET `end date` = `end date` + INTERVAL %1 DAY "
                        "WHERE `financial year id` = %2 AND MOD(`period number`, 2) = 1")
                    .arg(rng.bounded(20))
                    .arg(year));
    db.exec(
        QString("UPDATE `financial periods` SET `period deleted` = IF(`period deleted` = 'Yes', 'No', 'Yes') "
                "WHERE `financial year id` = %1 AND `period number` = 2")
            .arg(year));
}

QString firstDifference(const QList<QStringList>& program, const QList<QStringList>& reference)
{
    if (program.size() != reference.size())
        return QString("rows: program %1, reference %2").arg(program.size()).arg(reference.size());
    for (int r = 0; r < program.size(); ++r)
        if (program[r] != reference[r])
            return QString("row %1\n  program:   %2\n  reference: %3")
                .arg(r)
                .arg(program[r].join(" | "), reference[r].join(" | "));
    return {};
}

void select(TfrmMain& w, QComboBox* box, int id)
{
    QVERIFY(selectId(box, id));
    w.RefreshFilters();
}
}

class TestDifferential : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initTestApplication();
        SetClockForTesting(QDateTime(QDate(2024, 2, 1), QTime(9, 0)));
    }
    void cleanupTestCase() { SetClockForTesting({}); }

    void programMatchesReference_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 40; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }

    // Every company item and year, before and after the books are changed behind the
    // program's back; the totals the triggers keep must equal the lines' throughout.
    void programMatchesReference()
    {
        QFETCH(quint32, seed);
        TestDatabase db;
        const RandomBooks books(db, seed);
        MessageLog log;
        TfrmMain w;
        w.Login(books.user);
        QList<int> companyItems;
        for (int i = 0; i < w.cbCompany->count(); ++i)
            companyItems << w.cbCompany->itemData(i).toInt();
        QCOMPARE(companyItems.size(), books.companies > 1 ? books.companies + 1 : 1);
        int compared = 0;
        for (const bool changed : {false, true}) {
            if (changed)
                changeBooks(db, seed);
            const QString totals = monthTotalsDifference(db);
            QVERIFY2(totals.isEmpty(), qPrintable(totals));
            for (int company : companyItems)
                compareCompany(w, company, changed, compared);
            if (QTest::currentTestFailed())
                return;
        }
        QVERIFY(compared >= 4);
        QVERIFY2(log.messages.isEmpty() && log.errors.isEmpty(),
            qPrintable((log.messages + log.errors).join('\n')));
    }

    void booksCoverTheCases()
    {
        for (const char* what : {"no period", "all companies", "rolled-up totals", "opening balances",
                 "profit brought forward", "object rows without a level", "changed books",
                 "periods cutting months", "periods of whole months"})
            QVERIFY2(m_seen.value(what) > 0, what);
    }

private:
    void compareCompany(TfrmMain& w, int company, bool changed, int& compared)
    {
        select(w, w.cbCompany, company);
        QList<int> years;
        for (int i = 0; i < w.cbFinancialYear->count(); ++i)
            years << w.cbFinancialYear->itemData(i).toInt();
        for (int year : years) {
            select(w, w.cbFinancialYear, year);
            referenceFill(w);
            const QList<QStringList> reference = snapshot(*w.sgTB);
            // The periods the reference read: do they cut months, or span whole ones?
            bool cutting = false, wholeMonths = false;
            if (w.cbFinancialPeriod->currentIndex() >= 0) {
                Query& periods = *w.qrFinancialPeriods;
                for (periods.first(); !periods.eof(); periods.next()) {
                    const QDate from = periods.asDate("start date"), to = periods.asDate("end date");
                    cutting = cutting || from.day() != 1 || to.addDays(1).day() != 1;
                    wholeMonths = wholeMonths || (from.day() == 1 && to.addDays(1).day() == 1);
                }
            }
            w.RefreshFilterstsTrialBalance();
            const QList<QStringList> program = snapshot(*w.sgTB);
            const QString difference = firstDifference(program, reference);
            QVERIFY2(difference.isEmpty(),
                qPrintable(QString("company %1, year %2, %3%4: %5")
                               .arg(w.cbCompany->currentText(), w.cbFinancialYear->currentText(),
                                   w.cbFinancialPeriod->currentIndex() >= 0 ? "with periods" : "no period",
                                   changed ? ", books changed" : "", difference)));
            ++compared;
            // What the books put to the test is really in the grids compared.
            const bool withPeriods = program.first().size() > 10;
            m_seen["no period"] += !withPeriods;
            m_seen["all companies"] += company == 0;
            m_seen["changed books"] += changed && withPeriods;
            m_seen["periods cutting months"] += cutting;
            m_seen["periods of whole months"] += wholeMonths;
            for (int r = 1; r < program.size(); ++r) {
                const QStringList& row = program[r];
                if (row.size() <= 10)
                    continue;
                const bool objectRow = !row[TB.Level].isEmpty(),
                           accountRow = !row[TB.CostCentreNumber].isEmpty();
                const bool allZero = row.mid(TB.OpeningBalance).join("")
                    == QString("0").repeated(row.size() - TB.OpeningBalance);
                m_seen["rolled-up totals"] += objectRow && !allZero;
                m_seen["opening balances"] += accountRow && row[TB.OpeningBalance] != "0";
                m_seen["object rows without a level"] += !objectRow && !accountRow;
                m_seen["profit brought forward"]
                    += row[TB.ObjectNumber] == "38000" && objectRow && row[TB.OpeningBalance] != "0";
            }
        }
    }

    QHash<QString, int> m_seen;
};

QTEST_MAIN(TestDifferential)
#include "tst_differential.moc"
