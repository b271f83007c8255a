// The journal lines behind trial balance figures: the lines' total equals the figure for
// every cell of randomized books, and the window, its chart and its way to an entry, and
// the journal list's lines of the selected entry, through the real windows.
#include "RandomBooks.h"
#include "TestSupport.h"
#include "TrialBalanceTesting.h"

#include "db/Query.h"
#include "journal/JournalEntriesTab.h"
#include "journallines/JournalLinesModel.h"
#include "journallines/JournalLinesWindow.h"
#include "print/TablePrinter.h"
#include "standard/DataGrid.h"
#include "standard/Standard.h"
#include "trialbalance/TrialBalanceTab.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every line the model lists, read through it as a view would.
struct Listed {
    Money sum;
    qint64 count = 0;
    QString problem; // the first row out of order or with a wrong running balance
};

Listed listAll(const JournalLinesModel& model)
{
    Listed out;
    QDate lastDate;
    qint64 lastNumber = 0;
    for (int r = 0; r < model.rowCount(); ++r) {
        const JournalLineRow* l = model.line(r);
        if (!l) {
            out.problem = QString("row %1 missing").arg(r);
            return out;
        }
        out.sum += l->amount;
        ++out.count;
        if (l->date < lastDate || (l->date == lastDate && l->number < lastNumber))
            out.problem = QString("row %1 out of order").arg(r);
        if (model.balanceAt(r) != out.sum)
            out.problem = QString("row %1: balance %2, lines so far %3")
                              .arg(r)
                              .arg(model.balanceAt(r).value_or(Money()).toString(), out.sum.toString());
        lastDate = l->date;
        lastNumber = l->number;
    }
    return out;
}

bool overlapping(const QList<TBLinesRange>& ranges)
{
    for (int i = 1; i < ranges.size(); ++i)
        if (!ranges[i].from.isValid() || ranges[i].from <= ranges[i - 1].to)
            return true;
    return false;
}

// A company with last year and this year; an asset branch, the result object 38000 and
// an income branch; entries last year (brought forward) and in this year's periods.
struct LinesBooks {
    TestDatabase db;
    int user = 0, company = 0, lastYear = 0, year = 0;

    LinesBooks()
    {
        user = db.addUser("ann", "ann@example.com", "secret");
        company = db.addCompany("Acme");
        db.addAccess(user, company);
        const int cc = db.addCostCentre(company, 10, "Head office");
        db.addObject(10000, "Assets", "Balance Sheet", 1, "No", "A");
        const int cash = db.addObject(11100, "Cash", "Balance Sheet", 2, "Yes", "A");
        const int bank = db.addObject(11200, "Bank", "Balance Sheet", 2, "Yes", "A");
        db.addObject(30000, "Equity", "Balance Sheet", 1, "No", "E");
        db.addObject(38000, "Retained income", "Balance Sheet", 2, "Yes", "E");
        db.addObject(40000, "Income", "Income Statement", 1, "No", "I");
        const int sales = db.addObject(41000, "Sales", "Income Statement", 2, "Yes", "I");
        const int cashAccount = db.addAccount(cc, cash, "Cash box");
        const int bankAccount = db.addAccount(cc, bank, "Current account");
        const int salesAccount = db.addAccount(cc, sales, "Shop sales");
        lastYear = db.addYear(company, "2023", QDate(2023, 1, 1));
        year = db.addYear(company, "2024", QDate(2024, 1, 1));
        db.addEntry(company, 1, QDate(2023, 6, 10), {{cashAccount, "500"}, {salesAccount, "-500"}});
        db.addEntry(company, 2, QDate(2024, 1, 5), {{cashAccount, "120.25"}, {salesAccount, "-120.25"}});
        db.addEntry(company, 3, QDate(2024, 1, 20), {{bankAccount, "80"}, {cashAccount, "-80"}});
        db.addEntry(company, 4, QDate(2024, 1, 20), {{cashAccount, "9.5"}, {salesAccount, "-9.5"}});
        db.addEntry(company, 5, QDate(2024, 2, 1), {{cashAccount, "1000"}, {salesAccount, "-1000"}});
    }
};

// The trial balance of this year's first period, after a login.
void showFirstPeriod(TfrmMain& w, const LinesBooks& books)
{
    w.Login(books.user);
    QVERIFY(selectId(w.cbFinancialYear, books.year));
    w.RefreshFilters();
    QVERIFY(selectId(w.cbFinancialPeriod, w.cbFinancialPeriod->itemData(0).toInt()));
    showTrialBalance(w);
}

int rowOf(const StringGrid& g, const QString& object, const QString& costCentre = {})
{
    for (int r = 1; r < g.rowCount(); ++r)
        if (g.cell(TB.ObjectNumber, r) == object && g.cell(TB.CostCentreNumber, r) == costCentre)
            return r;
    return -1;
}

QStringList rowTexts(const QAbstractItemModel& model, int row)
{
    QStringList out;
    for (int c = 0; c < model.columnCount(); ++c)
        out << model.index(row, c).data().toString();
    return out;
}

TfrmJournalLines* openedWindow(QList<TfrmJournalLines*> before = {})
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* lines = qobject_cast<TfrmJournalLines*>(w);
            lines && !before.contains(lines) && lines->isVisible())
            return lines;
    return nullptr;
}
}

class TestJournalLines : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initTestApplication();
        SetClockForTesting(QDateTime(QDate(2024, 2, 1), QTime(9, 0)));
    }
    void cleanupTestCase() { SetClockForTesting({}); }

    void totalEqualsEveryCell_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 8; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }

    // Every cell of every company item's and year's grid: the total of the lines behind
    // it is its figure (for a descriptive column, the row's figures added); every seventh
    // cell's lines are also listed one by one, in order, with a running balance.
    void totalEqualsEveryCell()
    {
        QFETCH(quint32, seed);
        const RandomBooks books(m_db.emplace(), seed);
        MessageLog log;
        TfrmMain w;
        w.Login(books.user);
        int cells = 0;
        for (int ci = 0; ci < w.cbCompany->count(); ++ci) {
            QVERIFY(selectId(w.cbCompany, w.cbCompany->itemData(ci).toInt()));
            w.RefreshFilters();
            for (int yi = 0; yi < w.cbFinancialYear->count(); ++yi) {
                QVERIFY(selectId(w.cbFinancialYear, w.cbFinancialYear->itemData(yi).toInt()));
                w.RefreshFilters();
                showTrialBalance(w);
                StringGrid& g = *w.sgTB;
                if (g.columnCount() <= TB.OpeningBalance)
                    continue;
                for (int r = 1; r < g.rowCount(); ++r) {
                    Money yearFigure;
                    for (int c = TB.OpeningBalance; c < g.columnCount(); ++c)
                        yearFigure += Money::parse(g.cell(c, r)).value_or(Money());
                    for (int c = TB.ObjectDescription; c < g.columnCount(); ++c) {
                        if (c > TB.ObjectDescription && c < TB.OpeningBalance)
                            continue;
                        g.setCurrentCell(c, r);
                        const auto subject = w.tsTrialBalance->linesSubject();
                        QVERIFY(subject);
                        const JournalLinesModel model(JournalLinesStore::chunks(subject->ranges));
                        const Money figure = c < TB.OpeningBalance ? yearFigure : *Money::parse(g.cell(c, r));
                        QVERIFY2(model.total() == figure,
                            qPrintable(QString("%1, year %2, row %3 (%4 %5), column %6: lines %7, figure %8")
                                           .arg(w.cbCompany->currentText(), w.cbFinancialYear->currentText())
                                           .arg(r)
                                           .arg(g.cell(TB.ObjectNumber, r), g.cell(TB.CostCentreNumber, r),
                                               g.cell(c, 0), model.total().toString(), figure.toString())));
                        if (++cells % 7 == 0) {
                            const Listed listed = listAll(model);
                            // Periods that overlap (a fault of the books) count a line in
                            // each; the lines come range by range then, not by date alone.
                            QVERIFY2(listed.problem.isEmpty() || overlapping(subject->ranges),
                                qPrintable(listed.problem));
                            m_seen["listed by date"] += listed.problem.isEmpty() && listed.count > 1;
                            QCOMPARE(listed.count, model.lineCount());
                            QCOMPARE(listed.sum, model.total());
                        }
                        m_seen["non-zero figures"] += !figure.isZero();
                        m_seen["opening balances"] += c == TB.OpeningBalance && !figure.isZero();
                        m_seen["all companies"] += w.cbCompany->currentText() == "All" && !figure.isZero();
                    }
                }
            }
        }
        QVERIFY(cells > 0);
        QVERIFY2(log.messages.isEmpty() && log.errors.isEmpty(),
            qPrintable((log.messages + log.errors).join('\n')));
        m_db.reset();
    }

    void booksCoverTheCases()
    {
        for (const char* what : {"non-zero figures", "opening balances", "all companies", "listed by date"})
            QVERIFY2(m_seen.value(what) > 0, what);
    }

    // Opened by the button on an account's period figure: its lines with a running
    // balance, the count, the total in the program's money form, the row's chart with the
    // figure's bar marked. Enter on an object's opening balance opens a second window,
    // the first staying open: the result brought forward from last year.
    void windowShowsTheFigure()
    {
        LinesBooks books;
        MessageLog log;
        TfrmMain w;
        showFirstPeriod(w, books);
        StringGrid& g = *w.sgTB;
        const int cash = rowOf(g, "11100", "10");
        QVERIFY(cash > 0);
        g.setCurrentCell(TB.OpeningBalance + 1, cash);
        QTest::mouseClick(w.tsTrialBalance->btnJournalLines, Qt::LeftButton);
        TfrmJournalLines* first = openedWindow();
        QVERIFY(first);
        QCOMPARE(first->objectName(), QString("frmJournalLines"));
        QCOMPARE(first->dbgJournalLines->objectName(), QString("dbgJournalLines"));
        QAbstractItemModel& m = *first->dbgJournalLines->model();
        QStringList headings;
        for (int c = 0; c < m.columnCount(); ++c)
            headings << m.headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headings,
            QStringList({"Journal Entry Number", "Journal Entry Date", "Journal Entry Description",
                "Account number", "Account Description", "Line Description", "Amount", "Balance"}));
        QCOMPARE(m.rowCount(), 3);
        QCOMPARE(rowTexts(m, 0).mid(0, 4), QStringList({"JE 2", "05/01/2024", "Entry", "10.11100"}));
        QCOMPARE(rowTexts(m, 1).mid(0, 2), QStringList({"JE 3", "20/01/2024"}));
        QCOMPARE(rowTexts(m, 2).mid(0, 2), QStringList({"JE 4", "20/01/2024"}));
        QCOMPARE(m.index(2, JournalLinesModel::Balance).data(JournalLinesModel::ExactTextRole).toString(),
            QString("49.75"));
        QCOMPARE(g.cell(TB.OpeningBalance + 1, cash), QString("49.75"));
        QCOMPARE(first->lblJournalLinesTotal->text(), QString("Total: 49.75"));
        QCOMPARE(first->lblJournalLinesCount->text(), QString("3 lines"));
        auto* series = qobject_cast<QBarSeries*>(first->chvJournalLines->chart()->series().value(0));
        QVERIFY(series);
        QCOMPARE(series->barSets().value(0)->count(), g.columnCount() - TB.OpeningBalance);
        QCOMPARE(series->barSets().value(0)->selectedBars(), QList<int>{1});
        // Saved as a PDF: its headings and lines as the window shows them.
        QTemporaryDir dir;
        const QString pdf = dir.filePath("lines.pdf");
        SetPdfFileNameHandler([&pdf](const QString&) { return pdf; });
        QTest::mouseClick(first->btnSavePdfJournalLines, Qt::LeftButton);
        SetPdfFileNameHandler({});
        QProcess text;
        text.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished());
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        for (const char* expected :
            {"Journal Entry Number", "Balance", "JE 3", "05/01/2024", "49.75", "Page 1 of 1"})
            QVERIFY2(printed.contains(expected), expected);

        const int retained = rowOf(g, "38000");
        g.setCurrentCell(TB.OpeningBalance, retained);
        g.setFocus();
        QTest::keyClick(&g, Qt::Key_Return);
        TfrmJournalLines* second = openedWindow({first});
        QVERIFY(second);
        QVERIFY(first->isVisible());
        QCOMPARE(second->model()->rowCount(), 1);
        QCOMPARE(rowTexts(*second->model(), 0).mid(0, 2), QStringList({"JE 1", "10/06/2023"}));
        QCOMPARE(second->lblJournalLinesTotal->text(), "Total: " + g.cell(TB.OpeningBalance, retained));
        QVERIFY(!second->isModal());

        // The size the user gave the window closed last is the next window's.
        first->close();
        second->resize(777, 555);
        second->close();
        QTest::mouseClick(w.tsTrialBalance->btnJournalLines, Qt::LeftButton);
        TfrmJournalLines* third = openedWindow();
        QVERIFY(third);
        QCOMPARE(third->size(), QSize(777, 555));
        third->close();
        QVERIFY2(log.messages.isEmpty() && log.errors.isEmpty(),
            qPrintable((log.messages + log.errors).join('\n')));
    }

    // Enter on a line shows its entry in the journal entries tab, on the entry's period,
    // even when it lies in last year; the list's lines grid shows the selected entry.
    void lineShowsItsEntry()
    {
        LinesBooks books;
        MessageLog log;
        TfrmMain w;
        showFirstPeriod(w, books);
        StringGrid& g = *w.sgTB;
        const int cash = rowOf(g, "11100", "10");
        for (const auto& [column, row, entry, period] :
            {std::tuple{TB.OpeningBalance + 1, 2, QString("JE 4"), QString("Jan 2024")},
                std::tuple{TB.ObjectDescription, 0, QString("JE 1"), QString("Jun 2023")}}) {
            showTrialBalance(w);
            g.setCurrentCell(column, cash);
            TfrmJournalLines* window = w.tsTrialBalance->openJournalLines();
            QVERIFY(window);
            window->dbgJournalLines->setCurrentIndex(window->model()->index(row, 0));
            QTest::keyClick(window->dbgJournalLines, Qt::Key_Return);
            QCOMPARE(w.pcMain->currentWidget(), static_cast<QWidget*>(w.tsJournalEntries));
            QCOMPARE(w.cbFinancialPeriod->currentText(), period);
            QCOMPARE(w.qrTransactions->asString("transaction number"), entry);
            const QModelIndex current = w.dbgJournalEntries->currentIndex();
            QCOMPARE(current.row(), w.qrTransactions->currentRow());
            // The selected entry's lines, below the list.
            QAbstractItemModel& lines = *w.tsJournalEntries->dbgJournalEntryLines->model();
            QCOMPARE(lines.rowCount(), 2);
            QCOMPARE(rowTexts(lines, 0).mid(0, 2), QStringList({"1", "10.11100"}));
            window->close();
        }
        // Another entry of the list chosen: its lines follow.
        w.dbgJournalEntries->setCurrentIndex(w.qrTransactions->index(0, 1));
        QCOMPARE(w.qrTransactions->asString("transaction number"), QString("JE 1"));
        QCOMPARE(rowTexts(*w.tsJournalEntries->dbgJournalEntryLines->model(), 1),
            QStringList({"2", "10.41000", "Head office", "Shop sales", "Line", "-500.00"}));
        QVERIFY2(log.messages.isEmpty() && log.errors.isEmpty(),
            qPrintable((log.messages + log.errors).join('\n')));
    }

    // Without a period the grid has no figures: the user is told, and no window opens.
    void noFigureWithoutPeriod()
    {
        LinesBooks books;
        MessageLog log;
        TfrmMain w;
        w.Login(books.user);
        showTrialBalance(w);
        w.cbFinancialPeriod->setCurrentIndex(-1);
        w.RefreshFilterstsTrialBalance();
        w.sgTB->setCurrentCell(0, 1);
        if (w.sgTB->columnCount() > TB.OpeningBalance)
            QSKIP("the year chose a period");
        QVERIFY(!w.tsTrialBalance->openJournalLines());
        QCOMPARE(log.messages.value(0),
            QString("Please select a financial period and a row of the trial balance first."));
    }

private:
    std::optional<TestDatabase> m_db;
    QHash<QString, int> m_seen;
};

QTEST_MAIN(TestJournalLines)
#include "tst_journallines.moc"
