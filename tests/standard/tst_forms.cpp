#include "TestSupport.h"

#include "db/Connection.h"
#include "db/Query.h"
#include "standard/DataGrid.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

namespace {
QString layoutPath(const QString& name) { return layoutDir() + name + QStringLiteral(".txt"); }

void writeLayout(const QString& name, const QByteArray& content)
{
    QDir().mkpath(layoutDir());
    QFile f(layoutPath(name));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

QByteArray readLayout(const QString& name)
{
    QFile f(layoutPath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<int> widths(const StringGrid& g)
{
    QList<int> w;
    for (int c = 0; c < g.columnCount(); ++c)
        w << g.columnWidth(c);
    return w;
}
}

class TestForms : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }
    void init() { QDir(layoutDir()).removeRecursively(); }

    // The window file: five lines, CR LF, written by SaveForm and read back by LoadForm.
    void windowFileRoundTrip()
    {
        {
            QWidget w;
            w.setObjectName("frmWindow");
            w.show();
            w.move(120, 80);
            w.resize(700, 450);
            SaveForm(&w);
            QCOMPARE(readLayout("frmWindow"),
                QByteArray::number(w.x()) + "\r\n" + QByteArray::number(w.y()) + "\r\n700\r\n450\r\n0\r\n");
        }
        QWidget again;
        again.setObjectName("frmWindow");
        LoadForm(&again);
        QCOMPARE(again.size(), QSize(700, 450));
        QCOMPARE(again.pos(), QPoint(120, 80));
        QVERIFY(!again.isMaximized());

        writeLayout("frmWindow", "10\r\n20\r\n640\r\n480\r\n1\r\n");
        QWidget maxed;
        maxed.setObjectName("frmWindow");
        LoadForm(&maxed);
        QVERIFY(maxed.windowState() & Qt::WindowMaximized);
        QCOMPARE(maxed.size(), QSize(640, 480));
    }

    // A layout file edited by hand or cut short: bad lines are skipped one by one.
    void windowFileWithGarbage_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<QSize>("size");
        const QPoint p0(33, 44);
        const QSize s0(500, 300);
        QTest::newRow("empty file") << QByteArray() << p0 << s0;
        QTest::newRow("cut short") << QByteArray("7\r\n9\r\n") << QPoint(7, 9) << s0;
        QTest::newRow("garbage lines") << QByteArray("x\r\n9\r\n12.5\r\n\r\n") << QPoint(33, 9) << s0;
        QTest::newRow("zero and negative size ignored")
            << QByteArray("-5\r\n6\r\n0\r\n-20\r\n0\r\n") << QPoint(-5, 6) << s0;
        QTest::newRow("LF only and blanks")
            << QByteArray(" 1 \n2\n640\n480") << QPoint(1, 2) << QSize(640, 480);
        QTest::newRow("binary junk") << QByteArray("\x01\xff\x00zz\r\n", 7) << p0 << s0;
        // From another screen setup: the window is put back on the screen, centred, and is
        // never larger than the screen.
        const QRect desk = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint centred = desk.center() - QPoint(200, 150);
        QTest::newRow("far off every screen")
            << QByteArray("-30000\r\n-30000\r\n400\r\n300\r\n") << centred << QSize(400, 300);
        QTest::newRow("right of the screen")
            << QByteArray("5000\r\n50\r\n400\r\n300\r\n") << centred << QSize(400, 300);
        QTest::newRow("title bar above the screen")
            << QByteArray("50\r\n-200\r\n400\r\n300\r\n") << centred << QSize(400, 300);
        QTest::newRow("largest position")
            << QByteArray("2147483647\r\n2147483647\r\n400\r\n300\r\n") << centred << QSize(400, 300);
        QTest::newRow("largest size")
            << QByteArray("0\r\n0\r\n2147483647\r\n2147483647\r\n") << QPoint(0, 0) << desk.size();
        // Not one of the program's files: ignored, not read whole.
        QTest::newRow("30 MB") << QByteArray("100\r\n50\r\n400\r\n300\r\n0\r\n").repeated(1200000) << p0
                               << s0;
    }
    void windowFileWithGarbage()
    {
        QFETCH(QByteArray, content);
        writeLayout("frmGarbage", content);
        QWidget w;
        w.setObjectName("frmGarbage");
        w.move(33, 44);
        w.resize(500, 300);
        LoadForm(&w);
        QFETCH(QPoint, pos);
        QFETCH(QSize, size);
        QCOMPARE(w.pos(), pos);
        QCOMPARE(w.size(), size);
        QVERIFY(!w.isMaximized());
    }

    // Grid files: one width per line; short files leave the rest, long files are cut,
    // bad lines are skipped, and every width ends between 50 and 400.
    void stringGridWidths_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("no file: designed widths clamped") << QByteArray() << QList<int>{90, 50, 400, 90};
        QTest::newRow("short file") << QByteArray("120\r\n130\r\n") << QList<int>{120, 130, 400, 90};
        QTest::newRow("long file") << QByteArray("101\r\n102\r\n103\r\n104\r\n105\r\n106\r\n")
                                   << QList<int>{101, 102, 103, 104};
        QTest::newRow("clamped") << QByteArray("30\r\n900\r\n-4\r\n0\r\n") << QList<int>{50, 400, 50, 50};
        QTest::newRow("garbage line")
            << QByteArray("abc\r\n77\r\n\r\n99999999999\r\n") << QList<int>{90, 77, 400, 90};
    }
    void stringGridWidths()
    {
        QFETCH(QByteArray, content);
        if (!content.isEmpty())
            writeLayout("sgSample", content);
        StringGrid g;
        g.setObjectName("sgSample");
        g.setColumnCount(4);
        g.setColumnWidth(1, 20);
        g.setColumnWidth(2, 1000);
        LoadSG(&g);
        QFETCH(QList<int>, expected);
        QCOMPARE(widths(g), expected);
    }

    // Twelve columns restored from a file of ten lines.
    void twelveColumnsFromTenLines()
    {
        StringGrid g;
        g.setObjectName("sgTwelve");
        g.setColumnCount(12);
        for (int c = 0; c < 12; ++c)
            g.setColumnWidth(c, 60 + c);
        g.setColumnWidth(10, 10);
        QByteArray file;
        for (int c = 0; c < 10; ++c)
            file += QByteArray::number(200 + c) + "\r\n";
        writeLayout("sgTwelve", file);
        LoadSG(&g);
        for (int c = 0; c < 10; ++c)
            QCOMPARE(g.columnWidth(c), 200 + c);
        QCOMPARE(g.columnWidth(10), 50);
        QCOMPARE(g.columnWidth(11), 71);
    }

    void gridFilesRoundTrip()
    {
        TestDatabase db;
        Connection connection;
        connection.open();
        Query q;
        q.open({"SELECT 1 AS id, 'a' AS `company name`, 'b' AS extra"});
        {
            QDialog form;
            form.setObjectName("frmDialog");
            form.resize(400, 300);
            auto* dbg = new DataGrid(&form);
            dbg->setObjectName("dbgSample");
            dbg->setQuery(&q);
            dbg->setColumns({{"company name", "Company Name", 381}, {"extra", "Extra", 64}});
            auto* sg = new StringGrid(&form);
            sg->setObjectName("sgSample");
            sg->setColumnCount(3);
            IniForm(&form, true);
            dbg->setColumnWidth(q.fieldIndex("company name"), 222);
            sg->setColumnWidth(2, 333);
            SaveForm(&form);
        }
        // A dialog stores no window file, only its grids.
        QVERIFY(!QFile::exists(layoutPath("frmDialog")));
        QCOMPARE(readLayout("dbgSample"), QByteArray("222\r\n64\r\n"));
        QCOMPARE(readLayout("sgSample"), QByteArray("90\r\n90\r\n333\r\n"));

        QDialog form;
        auto* dbg = new DataGrid(&form);
        dbg->setObjectName("dbgSample");
        dbg->setQuery(&q);
        dbg->setColumns({{"company name", "Company Name", 381}, {"extra", "Extra", 64}});
        auto* sg = new StringGrid(&form);
        sg->setObjectName("sgSample");
        sg->setColumnCount(3);
        IniForm(&form, true);
        QCOMPARE(dbg->columnWidth(q.fieldIndex("company name")), 222);
        QCOMPARE(dbg->gridColumnWidth(1), 64);
        QCOMPARE(sg->columnWidth(2), 333);
    }

    void iniFormRules()
    {
        const QDateTime fixed(QDate(2024, 2, 29), QTime(15, 30));
        SetClockForTesting(fixed);
        QDialog form;
        form.resize(300, 200);
        auto* plain = new LabeledEdit("Name", &form);
        plain->setMaxLength(8);
        plain->setText("typed");
        auto* tagged = new LabeledEdit("Number", &form);
        tagged->setMaxLength(8);
        tagged->setText("12");
        setTag(tagged, 1);
        auto* bare = new QLineEdit("kept", &form);
        auto* combo = new QComboBox(&form);
        combo->addItems({"a", "b"});
        combo->setCurrentIndex(1);
        auto* levels = new QComboBox(&form);
        levels->addItems({"No access", "View"});
        setTag(levels, 1);
        auto* ok = new QPushButton("oK", &form);
        auto* okay = new QPushButton("Okay", &form);
        auto* date = new QDateEdit(QDate(2000, 1, 1), &form);
        auto* pages = new QTabWidget(&form);
        pages->addTab(new QWidget, "one");
        pages->addTab(new QWidget, "two");
        pages->setCurrentIndex(1);
        int pageSignals = 0;
        connect(pages, &QTabWidget::currentChanged, this, [&] { ++pageSignals; });

        IniForm(&form, true);
        SetClockForTesting({});

        QCOMPARE(plain->text(), QString());
        QCOMPARE(plain->maxLength(), 50);
        QCOMPARE(tagged->text(), QStringLiteral("12"));
        QCOMPARE(tagged->maxLength(), 8);
        QCOMPARE(bare->text(), QStringLiteral("kept"));
        QCOMPARE(combo->count(), 0);
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(combo->maxVisibleItems(), 100);
        QCOMPARE(levels->count(), 2);
        QVERIFY(ok->isDefault());
        QVERIFY(!okay->isDefault());
        QCOMPARE(date->date(), fixed.date());
        QCOMPARE(date->time(), QTime(0, 0));
        QCOMPARE(pages->currentIndex(), 0);
        QCOMPARE(pageSignals, 0);
        // A dialog gets a fixed border, centred on the desktop.
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(form.property("dialogBorder").toBool());
    }

    // The main window keeps its border and place; a calendar pop-up inside a date picker
    // is part of the picker, not a grid of the window, and stores nothing.
    void iniFormLeavesWindowAndPickerPartsAlone()
    {
        QWidget form;
        form.setObjectName("frmPlain");
        form.resize(500, 400);
        form.move(11, 12);
        auto* date = new QDateEdit(&form);
        date->setCalendarPopup(true);
        date->calendarWidget(); // makes the pop-up and its table view
        const auto views = date->findChildren<QTableView*>();
        QVERIFY(!views.isEmpty());
        QList<int> before;
        for (QTableView* v : views)
            for (int c = 0; c < v->model()->columnCount(); ++c)
                before << v->columnWidth(c);
        IniForm(&form, false);
        QVERIFY(!form.property("dialogBorder").toBool());
        QVERIFY(form.maximumSize() != form.minimumSize());
        SaveForm(&form);
        QStringList files = QDir(layoutDir()).entryList(QDir::Files);
        QCOMPARE(files, QStringList{"frmPlain.txt"});
        QList<int> after;
        for (QTableView* v : views)
            for (int c = 0; c < v->model()->columnCount(); ++c)
                after << v->columnWidth(c);
        QCOMPARE(after, before);
    }

    // A box made without a parent and then laid out takes its caption along; deleting the
    // box removes the caption too.
    void labeledEditCaptionGoesWithTheBox()
    {
        QDialog form;
        auto* layout = new QVBoxLayout(&form);
        auto* edit = new LabeledEdit("Company Name");
        QPointer<QLabel> caption = edit->editLabel();
        layout->addWidget(edit);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(caption->parentWidget(), &form);
        QVERIFY(caption->isVisible());
        QVERIFY(!caption->isWindow());
        QCOMPARE(caption->pos(), edit->pos() - QPoint(0, 16));
        delete edit;
        QVERIFY(caption.isNull());
    }

    void loadFieldToCB_data()
    {
        QTest::addColumn<QString>("before"); // ids listed before, ';' separated; * marks selected
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("addAll");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("selected"); // caption of the selected item, empty for none

        QTest::newRow("keeps the record when its position moves")
            << "1;*2;3"
            << "3;2" << false << QStringList{"n3", "n2"} << "n2";
        QTest::newRow("selected record gone") << "1;*2"
                                              << "1;3" << false << QStringList{"n1", "n3"} << "";
        QTest::newRow("nothing selected before") << "1;2"
                                                 << "1;2" << false << QStringList{"n1", "n2"} << "";
        QTest::newRow("All for two or more rows") << "*1"
                                                  << "1;2" << true << QStringList{"All", "n1", "n2"} << "n1";
        QTest::newRow("no All for a single row") << "*1"
                                                 << "1" << true << QStringList{"n1"} << "n1";
        QTest::newRow("All selected before selects nothing")
            << "*0;1;2"
            << "1;2" << true << QStringList{"All", "n1", "n2"} << "";
        QTest::newRow("empty result empties the box") << "*1;2"
                                                      << "" << true << QStringList{} << "";
    }
    void loadFieldToCB()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        TestDatabase db;
        Connection connection;
        connection.open();

        QComboBox box;
        for (QString id : before.split(';', Qt::SkipEmptyParts)) {
            const bool sel = id.startsWith('*');
            id.remove('*');
            box.addItem(id == "0" ? "All" : "n" + id, id.toInt());
            if (sel)
                box.setCurrentIndex(box.count() - 1);
        }
        if (!before.contains('*'))
            box.setCurrentIndex(-1);

        QStringList selects;
        for (const QString& id : after.split(';', Qt::SkipEmptyParts))
            selects << QStringLiteral("SELECT %1 AS id, 'n%1' AS caption").arg(id);
        Query q;
        q.open({selects.isEmpty() ? "SELECT 1 AS id, 'x' AS caption FROM DUAL WHERE 1 = 0"
                                  : selects.join(" UNION ALL ")});
        int changes = 0;
        connect(&box, &QComboBox::currentIndexChanged, this, [&] { ++changes; });
        QFETCH(bool, addAll);
        QFETCH(QStringList, items);
        QFETCH(QString, selected);
        LoadFieldToCB(&box, q, "id", "caption", addAll);

        QStringList shown;
        for (int i = 0; i < box.count(); ++i)
            shown << box.itemText(i);
        QCOMPARE(shown, items);
        QCOMPARE(box.currentIndex() < 0 ? QString() : box.currentText(), selected);
        if (shown.contains("All"))
            QCOMPARE(box.itemData(0).toInt(), 0);
        for (int i = 0; i < box.count(); ++i)
            if (box.itemText(i) != "All")
                QCOMPARE(box.itemData(i).toInt(), box.itemText(i).mid(1).toInt());
        // Refilling is no user change: handlers tied to the box do not run.
        QCOMPARE(changes, 0);
    }

    // Shipped files are found beside the program in a build tree and under share/ in an
    // installed one; the build tree's copy wins when both exist.
    void shippedFilesBesideOrInstalled()
    {
        QTemporaryDir root;
        const QString bin = root.path() + "/usr/bin";
        const QString share = root.path() + "/usr/share/veldra-accounting";
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(share + "/help"));
        QCOMPARE(shippedFile("help/x.html", bin), bin + "/help/x.html"); // nowhere: named beside
        QFile installed(share + "/help/x.html");
        QVERIFY(installed.open(QIODevice::WriteOnly));
        installed.close();
        QCOMPARE(shippedFile("help/x.html", bin), share + "/help/x.html");
        QVERIFY(QDir().mkpath(bin + "/help"));
        QFile beside(bin + "/help/x.html");
        QVERIFY(beside.open(QIODevice::WriteOnly));
        beside.close();
        QCOMPARE(shippedFile("help/x.html", bin), bin + "/help/x.html");
    }
};

QTEST_MAIN(TestForms)
#include "tst_forms.moc"
