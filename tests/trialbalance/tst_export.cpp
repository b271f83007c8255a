#include "TestSupport.h"
#include "TrialBalanceTesting.h"

#include "standard/DocumentOpener.h"
#include "standard/Standard.h"
#include "trialbalance/TrialBalanceExport.h"
#include "trialbalance/Xlsx.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>
#include <zip.h>

namespace {
// The parts of a zip file by name, in the order they are stored.
struct ZipParts {
    QStringList names;
    QMap<QString, QByteArray> bytes;
};

ZipParts readZip(const QString& path)
{
    ZipParts parts;
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!z)
        return parts;
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(z, zip_uint64_t(i), 0, &st);
        QByteArray data(qsizetype(st.size), Qt::Uninitialized);
        zip_file_t* f = zip_fopen_index(z, zip_uint64_t(i), 0);
        zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        parts.names << QString::fromUtf8(st.name);
        parts.bytes[QString::fromUtf8(st.name)] = data;
    }
    zip_discard(z);
    return parts;
}

// A sheet as LibreOffice's CSV export writes it: rows of cells.
using Sheet = QList<QStringList>;

Sheet parseCsv(const QString& text)
{
    Sheet rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"')
                cell += '"', ++i;
            else if (ch == '"')
                quoted = false;
            else
                cell += ch;
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            row << cell, cell.clear();
        } else if (ch == '\n') {
            row << cell, cell.clear();
            rows << row, row.clear();
        } else if (ch != '\r') {
            cell += ch;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty())
        rows << (row << cell);
    return rows;
}

QString at(const Sheet& s, int row, int column) // 1-based, "" outside
{
    return row <= s.size() && column <= s[row - 1].size() ? s[row - 1][column - 1] : QString();
}

void setAt(Sheet& s, int row, int column, const QString& text)
{
    while (s.size() < row)
        s << QStringList();
    while (s[row - 1].size() < column)
        s[row - 1] << QString();
    s[row - 1][column - 1] = text;
}

// Converts every workbook to one CSV file per sheet with a real spreadsheet program, in
// one run (each start of it takes seconds). Values are written unformatted.
QMap<QString, QMap<QString, Sheet>> readWithLibreOffice(const QStringList& workbooks, const QString& work)
{
    QProcess soffice;
    soffice.setProcessChannelMode(QProcess::MergedChannels);
    soffice.start(QStringLiteral("soffice"),
        QStringList{
            QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(work + "/profile").toString(),
            "--headless", "--convert-to",
            "csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,false,true,false,false,false,-1", "--outdir",
            work + "/csv"}
            + workbooks);
    if (!soffice.waitForFinished(240000))
        qWarning("soffice did not finish");
    QMap<QString, QMap<QString, Sheet>> out;
    for (const QString& workbook : workbooks) {
        const QString base = QFileInfo(workbook).completeBaseName();
        for (const char* sheet : {"Trial Balance", "Input"}) {
            QFile f(work + "/csv/" + base + "-" + sheet + ".csv");
            if (f.open(QIODevice::ReadOnly))
                out[workbook][sheet] = parseCsv(QString::fromUtf8(f.readAll()));
        }
    }
    if (out.size() != workbooks.size())
        qWarning("%s", soffice.readAll().constData());
    return out;
}

QString templatePath() { return qEnvironmentVariable("VELDRA_TEMPLATE"); }
QString besideProgram() { return QCoreApplication::applicationDirPath() + "/Trial Balance.xlsx"; }

TrialBalanceTable tableOf(const QList<QStringList>& rows)
{
    TrialBalanceTable t(int(rows.first().size()), int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            t.setCell(c, r, rows[r][c]);
    return t;
}

// A grid with periods whose texts try the workbook's XML and the number rule: quotes,
// ampersands, "<", non-Latin letters and emoji, control characters, and texts that look
// almost like numbers. Two level-1 objects, so the totals row has something to add.
TrialBalanceTable trickyGrid()
{
    const QStringList headings{"Posting Type", "Classification", "Company Name", "Cost Centre Number",
        "Object Number", "Cost Centre Description", "Object Description", "Account Description", "Level",
        "Use For Account", "Opening balance", "Mar 2024", "4"};
    return tableOf({
        headings,
        {"Balance Sheet", "A", "", "", "10000", "", "Assets & <liabilities>", "", "1", "No", "1500", "-12.5",
            "0.1234"},
        {"Balance Sheet", "A", "Ünïcödé Ελληνικά 中文 😀", "10", "10000", "Say \"hi\" 'there'",
            "Assets & <liabilities>", QString("Ctrl") + QChar(1) + "here" + QChar(0x1F) + QChar(0xFFFF), "",
            "No", "1500", "-12.5", "0.1234"},
        {"Income Statement", "I", "", "", "007", "1.10", "1234567890123456", "123456789012345", "2", "Yes",
            "0", "0", "0"},
        {"Income Statement", "I", "-0", " 5", "1e5", "+5", "1,500", "two\nlines", "", "Yes", "-0.5", ".5",
            "1."},
        {"Income Statement", "I", "", "", "40000", "", "Income", "_x0041_ stays", "1", "No", "100", "7",
            "0.0001"},
    });
}

TrialBalanceTable noPeriodGrid()
{
    return tableOf({
        {"Posting Type", "Classification", "Company Name", "Cost Centre Number", "Object Number",
            "Cost Centre Description", "Object Description", "Account Description", "Level",
            "Use For Account"},
        {"Balance Sheet", "A", "", "", "10000", "", "Assets", "", "1", "No"},
        {"Balance Sheet", "A", "Acme & Sons", "10", "10000", "Head office", "Assets", "Cash", "", "No"},
        {"Balance Sheet", "E", "", "", "30000", "", "Equity", "", "1", "No"},
    });
}

// What the sheets must read: the template as the spreadsheet program reads it, the
// filled cells over it, and the template's formulas worked out for the new inputs.
QMap<QString, Sheet> expectedSheets(
    QMap<QString, Sheet> sheets, const TrialBalanceTable& grid, const TrialBalanceExportInput& input)
{
    Sheet& tb = sheets["Trial Balance"];
    Sheet& in = sheets["Input"];
    for (int r = 1; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.columnCount(); ++c)
            setAt(tb, 5 + r, c + 1, xmlSafeText(grid.cell(c, r)));
    setAt(in, 3, 2, input.company);
    setAt(in, 4, 2, input.year);
    for (int p = 0; p < input.periods.size(); ++p)
        setAt(in, 7, 3 + p, input.periods[p]);

    setAt(tb, 1, 1, "Trial Balance: " + input.company + " (" + input.year + ")");
    const bool periods = !input.periods.isEmpty();
    for (int col = 11; col <= 29; ++col) {
        const int period = col - 12; // -1: the opening balance
        const bool headed = periods && period < input.periods.size();
        setAt(tb, 5, col, !headed ? QString() : period < 0 ? at(in, 7, 2) : input.periods[period]);
        Money total;
        for (int r = 1; r < grid.rowCount(); ++r)
            if (grid.cell(TB.Level, r) == "1" && col - 1 < grid.columnCount())
                total += *Money::parseWith(grid.cell(col - 1, r), '.');
        setAt(tb, 4, col, headed ? total.toDbString() : QString());
    }
    return sheets;
}

// Cells compared as texts, numbers as amounts (the program writes "0.5" as "0.5000"
// nowhere, but the spreadsheet prints a total its own way).
void compareSheets(const Sheet& actual, const Sheet& expected, const QString& what)
{
    const int rows = int(std::max(actual.size(), expected.size()));
    for (int r = 1; r <= rows; ++r) {
        const int cols = int(std::max(r <= actual.size() ? actual[r - 1].size() : 0,
            r <= expected.size() ? expected[r - 1].size() : 0));
        for (int c = 1; c <= cols; ++c) {
            const QString a = at(actual, r, c), e = at(expected, r, c);
            const auto am = Money::parseWith(a, '.'), em = Money::parseWith(e, '.');
            const bool same = a == e || (r == 4 && am && em && *am == *em);
            QVERIFY2(same,
                qPrintable(QString("%1 %2: \"%3\", expected \"%4\"").arg(what, cellReference(r, c), a, e)));
        }
    }
}

// Books for the window: one company, a chart with an object without accounts.
struct Books {
    TestDatabase db;
    int user = 0, company = 0;
    explicit Books(bool withYear = true)
    {
        user = db.addUser("ann", "ann@example.com", "secret");
        company = db.addCompany("Ann & Co <Ltd>");
        db.addAccess(user, company);
        const int cc = db.addCostCentre(company, 10, "Head office");
        const int cash = db.addObject(10000, "Cash", "Balance Sheet", 1, "Yes", "A");
        db.addObject(20000, "Loans", "Balance Sheet", 1, "Yes", "L");
        const int sales = db.addObject(40000, "Sales", "Income Statement", 1, "Yes", "I");
        const int cashAccount = db.addAccount(cc, cash, "Till");
        const int salesAccount = db.addAccount(cc, sales, "Shop sales");
        if (withYear) {
            db.addYear(company, "2024", QDate(2024, 3, 1));
            db.addEntry(company, 1, QDate(2024, 3, 31), {{cashAccount, "250.75"}, {salesAccount, "-250.75"}});
        }
    }
};

// The main window on such books, logged in, showing the trial balance.
struct Shown {
    Books books;
    MessageLog log;
    TfrmMain w;
    explicit Shown(bool withYear = true) : books(withYear)
    {
        w.Login(books.user);
        showTrialBalance(w);
    }
};

QStringList filesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::NoDotAndDotDot); }
}

class TestExport : public QObject {
    Q_OBJECT
    QTemporaryDir m_work;
    QString m_temp; // the user's temporary folder, for the window's exports

private slots:
    void initTestCase()
    {
        initTestApplication();
        QVERIFY(QFile::exists(templatePath()));
        QFile::remove(besideProgram());
        QVERIFY(QFile::copy(templatePath(), besideProgram()));
        m_temp = m_work.filePath("tmp");
        QVERIFY(QDir().mkpath(m_temp));
        qputenv("TMPDIR", QFile::encodeName(m_temp));
        QCOMPARE(QDir::tempPath(), QDir(m_temp).canonicalPath());
        SetClockForTesting(QDateTime(QDate(2024, 5, 15), QTime(9, 0)));
    }
    void cleanupTestCase()
    {
        QFile::remove(besideProgram());
        SetClockForTesting({});
    }
    void cleanup()
    {
        for (const QString& f : filesIn(m_temp))
            QFile::remove(m_temp + "/" + f);
    }

    void numberRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("point");
        QTest::addColumn<QString>("number"); // empty: stays text
        const QChar dot('.'), comma(',');
        QTest::newRow("integer") << "1500" << dot << "1500";
        QTest::newRow("negative decimal") << "-12.5" << dot << "-12.5";
        QTest::newRow("four decimals") << "0.1234" << dot << "0.1234";
        QTest::newRow("zero") << "0" << dot << "0";
        QTest::newRow("object number") << "11100" << dot << "11100";
        QTest::newRow("locale comma") << "-100,5" << comma << "-100.5";
        QTest::newRow("fifteen digits") << "123456789012.345" << dot << "123456789012.345";
        QTest::newRow("sixteen digits") << "1234567890123456" << dot << "";
        QTest::newRow("leading zero") << "007" << dot << "";
        QTest::newRow("trailing zero") << "1.10" << dot << "";
        QTest::newRow("bare point") << "1." << dot << "";
        QTest::newRow("no integer part") << ".5" << dot << "";
        QTest::newRow("minus zero") << "-0" << dot << "";
        QTest::newRow("plus") << "+5" << dot << "";
        QTest::newRow("exponent") << "1e5" << dot << "";
        QTest::newRow("blank") << " 5" << dot << "";
        QTest::newRow("thousands") << "1,500" << dot << "";
        QTest::newRow("other locale's point") << "12.5" << comma << "";
        QTest::newRow("minus alone") << "-" << dot << "";
        QTest::newRow("empty") << "" << dot << "";
        QTest::newRow("arabic digits") << "١٢" << dot << "";
    }
    void numberRule()
    {
        QFETCH(QString, text);
        QFETCH(QChar, point);
        QFETCH(QString, number);
        QCOMPARE(numberCellValue(text, point).value_or(QString()), number);
    }

    void xmlSafeText()
    {
        const QString emoji = QString::fromUtf8("😀");
        QCOMPARE(::xmlSafeText("plain & <ok> \"quoted\" " + emoji), "plain & <ok> \"quoted\" " + emoji);
        QCOMPARE(::xmlSafeText(QString("a") + QChar(0) + "b" + QChar(0x1B) + "c\t\n\r"),
            QString("a") + QChar(0xFFFD) + "b" + QChar(0xFFFD) + "c\t\n\r");
        QCOMPARE(::xmlSafeText(QString("x") + QChar(0xD800) + "y" + QChar(0xFFFE)),
            QString("x") + QChar(0xFFFD) + "y" + QChar(0xFFFD));
        QCOMPARE(
            inlineStringText("a_x0041_b _x00_ _X0041_ _x004g_ &"), "a_x005F_x0041_b _x00_ _X0041_ _x004g_ &");
    }

    // The file itself: every part the export does not fill is the template's byte for
    // byte, in the template's order; cells are numbers or inline texts by the number rule,
    // in row and column order, and the sheets' dimensions cover them.
    void workbookParts()
    {
        const TrialBalanceTable grid = trickyGrid();
        const TrialBalanceExportInput input{"All", "2024/25", {"Mar 2024", "4"}};
        const QString path = exportTrialBalance(templatePath(), m_work.path(), grid, input, '.');
        const ZipParts made = readZip(path), tmpl = readZip(templatePath());
        QCOMPARE(made.names, tmpl.names);
        const QStringList filled{"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"};
        for (const QString& name : tmpl.names)
            if (!filled.contains(name))
                QVERIFY2(made.bytes[name] == tmpl.bytes[name], qPrintable(name));

        pugi::xml_document doc;
        QVERIFY(doc.load_string(made.bytes["xl/worksheets/sheet1.xml"].constData()));
        const pugi::xml_node ws = doc.child("worksheet");
        QCOMPARE(QString(ws.child("dimension").attribute("ref").value()),
            "A1:AC" + QString::number(5 + grid.rowCount() - 1));
        pugi::xml_node first = ws.first_child();
        while (first.type() != pugi::node_element)
            first = first.next_sibling();
        QCOMPARE(QString(first.name()), "dimension");
        int lastRow = 0, checked = 0;
        for (pugi::xml_node row : ws.child("sheetData").children("row")) {
            const int r = row.attribute("r").as_int();
            QVERIFY(r > lastRow);
            lastRow = r;
            QString lastRef;
            int lastCol = 0;
            for (pugi::xml_node c : row.children("c")) {
                const QString ref = c.attribute("r").value();
                int col = 0;
                for (QChar ch : ref)
                    if (ch.isLetter())
                        col = col * 26 + (ch.unicode() - 'A' + 1);
                QVERIFY2(col > lastCol, qPrintable(ref));
                QCOMPARE(ref, cellReference(r, col));
                lastCol = col;
                if (r < 6)
                    continue;
                const QString text = grid.cell(col - 1, r - 5);
                if (const auto number = numberCellValue(text, '.')) {
                    QVERIFY2(!c.attribute("t"), qPrintable(ref));
                    QCOMPARE(QString(c.child_value("v")), *number);
                } else {
                    QCOMPARE(QString(c.attribute("t").value()), "inlineStr");
                    QCOMPARE(QString::fromUtf8(c.child("is").child_value("t")), inlineStringText(text));
                }
                // New cells take their column's style, as typing into them would: amounts
                // the amount format, Level and Use For Account centred.
                QCOMPARE(QString(c.attribute("s").value()), QString(col >= 11 ? "3" : col >= 9 ? "7" : ""));
                ++checked;
            }
            // Empty grid cells are left out.
            if (r >= 6)
                for (int col = 1; col <= grid.columnCount(); ++col)
                    if (grid.cell(col - 1, r - 5).isEmpty())
                        QVERIFY(!row.find_child_by_attribute(
                            "c", "r", cellReference(r, col).toLatin1().constData()));
        }
        QCOMPARE(lastRow, 5 + grid.rowCount() - 1);
        QVERIFY(checked > 50);
        // The typed examples: an amount is a number, "007" text.
        const QString xml = QString::fromUtf8(made.bytes["xl/worksheets/sheet1.xml"]);
        QVERIFY(xml.contains("<c r=\"K6\" s=\"3\"><v>1500</v></c>"));
        QVERIFY(xml.contains("<c r=\"E8\" t=\"inlineStr\"><is><t>007</t></is></c>"));
        QVERIFY(xml.contains("<c r=\"I6\" s=\"7\"><v>1</v></c>"));
        QVERIFY(xml.contains("<t xml:space=\"preserve\"> 5</t>"));
    }

    // The workbooks as a spreadsheet program reads them, every cell of both sheets: one
    // with periods, "All", and texts that try the XML; one of a year without periods; and
    // one exported from the window's grid, object rows without accounts included.
    void spreadsheetReadsEveryCellBack()
    {
        Shown shown;
        auto& [books, log, w] = shown;
        LinkCatcher links;
        QVERIFY(w.cbFinancialPeriod->currentIndex() >= 0);
        QTest::mouseClick(w.btnExportTrialBalance, Qt::LeftButton);
        QVERIFY2(log.messages.isEmpty() && log.errors.isEmpty(),
            qPrintable((log.messages + log.errors).join('\n')));
        QCOMPARE(links.urls.size(), 1);
        const QString fromWindow = links.urls.first().toLocalFile();
        QCOMPARE(QFileInfo(fromWindow).absolutePath(), QDir(m_temp).canonicalPath());
        const TrialBalanceTable windowGrid = tableOf(snapshot(*w.sgTB));
        QStringList periods;
        for (int c = TB.OpeningBalance + 1; c < windowGrid.columnCount(); ++c)
            periods << windowGrid.cell(c, 0);
        const TrialBalanceExportInput windowInput{
            w.cbCompany->currentText(), w.cbFinancialYear->currentText(), periods};
        QCOMPARE(windowInput.company, "Ann & Co <Ltd>");
        QCOMPARE(periods.size(), 12);

        const TrialBalanceTable tricky = trickyGrid(), plain = noPeriodGrid();
        const TrialBalanceExportInput trickyInput{"All", "2024/25", {"Mar 2024", "4"}};
        const TrialBalanceExportInput plainInput{"Acme & Sons", "2025", {}};
        const QString trickyFile
            = exportTrialBalance(templatePath(), m_work.path(), tricky, trickyInput, '.');
        const QString plainFile = exportTrialBalance(templatePath(), m_work.path(), plain, plainInput, '.');

        const auto read
            = readWithLibreOffice({templatePath(), fromWindow, trickyFile, plainFile}, m_work.path());
        QCOMPARE(read.size(), 4);
        const QMap<QString, Sheet> tmpl = read[templatePath()];
        QVERIFY(at(tmpl["Trial Balance"], 5, 1) == "Posting Type"
            && at(tmpl["Input"], 7, 2) == "Opening balance");
        const struct {
            QString file;
            const TrialBalanceTable& grid;
            const TrialBalanceExportInput& input;
        } cases[] = {{fromWindow, windowGrid, windowInput}, {trickyFile, tricky, trickyInput},
            {plainFile, plain, plainInput}};
        for (const auto& c : cases) {
            const QMap<QString, Sheet> expected = expectedSheets(tmpl, c.grid, c.input);
            for (const char* sheet : {"Trial Balance", "Input"})
                compareSheets(
                    read[c.file][sheet], expected[sheet], QFileInfo(c.file).fileName() + " " + sheet);
        }
        // The round trip's point, spelt out: the amounts were added as numbers.
        QCOMPARE(at(read[trickyFile]["Trial Balance"], 4, 11), "1600");
        QCOMPARE(at(read[trickyFile]["Trial Balance"], 4, 13), "0.1235");
        QCOMPARE(at(read[trickyFile]["Trial Balance"], 7, 3), QString::fromUtf8("Ünïcödé Ελληνικά 中文 😀"));
        QCOMPARE(at(read[fromWindow]["Trial Balance"], 4, 12), "0"); // 250.75 - 250.75
        QCOMPARE(at(read[fromWindow]["Trial Balance"], 5, 12), "Mar 2024");
        QCOMPARE(at(read[plainFile]["Trial Balance"], 5, 11), "");
    }

    // Refusals: no year selected, the template missing or without a sheet, the temporary
    // folder not writable, no program to open the workbook. Each says why; no file is left.
    void refusals()
    {
        const TrialBalanceExportInput input{"Acme", "2024", {}};
        struct Case {
            QString name, templateFile, folder, message;
        };
        QTemporaryDir broken;
        const QString notZip = broken.filePath("not a workbook.xlsx"),
                      oneSheet = broken.filePath("one sheet.xlsx");
        {
            QFile f(notZip);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("PK but not really");
        }
        {
            // The template with its second sheet renamed.
            QVERIFY(QFile::copy(templatePath(), oneSheet));
            QFile::setPermissions(oneSheet, QFile::ReadOwner | QFile::WriteOwner);
            zip_t* z = zip_open(QFile::encodeName(oneSheet).constData(), 0, nullptr);
            QVERIFY(z);
            QByteArray wb = readZip(templatePath())
                                .bytes["xl/workbook.xml"]
                                .replace("name=\"Input\"", "name=\"Inputs\"");
            zip_source_t* s = zip_source_buffer(z, wb.constData(), zip_uint64_t(wb.size()), 0);
            QVERIFY(zip_file_replace(z, zip_uint64_t(zip_name_locate(z, "xl/workbook.xml", 0)), s, 0) == 0);
            QVERIFY(zip_close(z) == 0);
        }
        const QString readOnly = m_work.filePath("read-only");
        QVERIFY(QDir().mkpath(readOnly));
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
        const QString missing = m_work.filePath("missing/Trial Balance.xlsx");
        const QList<Case> cases{
            {"missing", missing, m_work.path(),
                "The spreadsheet template \"" + missing + "\" does not exist."},
            {"not a zip", notZip, m_work.path(),
                "The spreadsheet template \"" + notZip + "\" is not a workbook ("},
            {"no Input sheet", oneSheet, m_work.path(),
                "The spreadsheet template \"" + oneSheet + "\" has no sheet named \"Input\"."},
            {"folder not writable", templatePath(), readOnly,
                "The workbook could not be made in the folder \"" + readOnly + "\": "},
        };
        const bool root = QFileInfo(readOnly).isWritable(); // root writes anywhere
        for (const Case& c : cases) {
            if (c.name == "folder not writable" && root)
                continue;
            const QStringList before = filesIn(c.folder);
            try {
                exportTrialBalance(c.templateFile, c.folder, trickyGrid(), input, '.');
                QFAIL(qPrintable(c.name + ": no refusal"));
            } catch (const XlsxError& e) {
                QVERIFY2(e.message().startsWith(c.message), qPrintable(c.name + ": " + e.message()));
            }
            QCOMPARE(filesIn(c.folder), before);
        }
        // A folder that is a file stands in for an unwritable one where the test runs as root.
        QFile blocker(m_work.filePath("a file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        try {
            exportTrialBalance(templatePath(), blocker.fileName(), trickyGrid(), input, '.');
            QFAIL("no refusal for a folder that is a file");
        } catch (const XlsxError& e) {
            QVERIFY2(e.message().startsWith(
                         "The workbook could not be made in the folder \"" + blocker.fileName()),
                qPrintable(e.message()));
        }

        // The window: no year, the template gone from beside the program, nothing to open with.
        {
            Shown noYear(false);
            auto& [books, log, w] = noYear;
            QCOMPARE(w.cbFinancialYear->currentIndex(), -1);
            LinkCatcher links;
            QTest::mouseClick(w.btnExportTrialBalance, Qt::LeftButton);
            QCOMPARE(log.messages,
                QStringList{"Please select a financial year before exporting the trial balance."});
            QVERIFY(links.urls.isEmpty());
            QVERIFY(filesIn(m_temp).isEmpty());
        }
        Shown shown;
        auto& [books, log, w] = shown;
        {
            LinkCatcher links;
            const QString aside = besideProgram() + ".aside";
            QVERIFY(QFile::rename(besideProgram(), aside));
            QTest::mouseClick(w.btnExportTrialBalance, Qt::LeftButton);
            QVERIFY(QFile::rename(aside, besideProgram()));
            QCOMPARE(log.messages,
                QStringList{"The spreadsheet template \"" + besideProgram() + "\" does not exist."});
            QVERIFY(links.urls.isEmpty());
            QVERIFY(filesIn(m_temp).isEmpty());
        }
        log.clear();
        // Without a handler the offscreen platform has no program to open files with: the
        // workbook stays, and the user is told where it is, in words that can be copied.
        QTest::mouseClick(w.btnExportTrialBalance, Qt::LeftButton);
        const QStringList made = filesIn(m_temp);
        QCOMPARE(made.size(), 1);
        const QString path = QDir::toNativeSeparators(QDir(m_temp).filePath(made.first()));
        QCOMPARE(log.messages,
            QStringList{"There is no program to open the workbook with.  It is saved as:\n\n" + path
                + "\n\nOpen it with a spreadsheet program, such as LibreOffice Calc."});
        QCOMPARE(w.statusBar()->currentMessage(), "Trial balance exported to " + path);
        QVERIFY(log.errors.isEmpty());
    }

    // The program's own opener of files: the desktop's xdg-open may start and only then
    // find no program (its exit code says so), or be missing. Both are reported with the
    // file's path; an opener that succeeds is silent.
    void openerReportsWhatFailsLate()
    {
        QTemporaryDir bin;
        const auto fakeOpener = [&](int code) {
            QFile f(bin.filePath("xdg-open"));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(QByteArray("#!/bin/sh\nexit ") + QByteArray::number(code) + "\n");
            f.close();
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        MessageLog log;
        const QString file = m_work.filePath("Trial Balance 1.xlsx");
        const QString failed = DocumentOpener::failureMessage(file);
        struct Case {
            int code; // -1: no xdg-open at all
            QStringList messages;
        };
        for (const Case& c : {Case{0, {}}, Case{3, {failed}}, Case{-1, {failed}}}) {
            QFile::remove(bin.filePath("xdg-open"));
            if (c.code >= 0)
                fakeOpener(c.code);
            log.clear();
            DocumentOpener opener;
            QDesktopServices::openUrl(QUrl::fromLocalFile(file));
            QTRY_COMPARE(opener.findChildren<QProcess*>().size(), 0);
            QCOMPARE(log.messages, c.messages);
        }
        qputenv("PATH", path);
        QVERIFY(failed.endsWith(":\n\n" + QDir::toNativeSeparators(file)));
    }

    // Two exports in a row: two workbooks, neither of them the template, which is unchanged.
    void twoExportsTwoFiles()
    {
        Shown shown;
        auto& [books, log, w] = shown;
        LinkCatcher links;
        const QByteArray before = [] {
            QFile f(besideProgram());
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QTest::mouseClick(w.btnExportTrialBalance, Qt::LeftButton);
        QTest::mouseClick(w.btnExportTrialBalance, Qt::LeftButton);
        QVERIFY(log.messages.isEmpty());
        QCOMPARE(links.urls.size(), 2);
        QCOMPARE(w.statusBar()->currentMessage(),
            "Trial balance exported to " + QDir::toNativeSeparators(links.urls[1].toLocalFile()));
        QVERIFY(links.urls[0] != links.urls[1]);
        QCOMPARE(filesIn(m_temp).size(), 2);
        for (const QUrl& url : links.urls) {
            QVERIFY(QFile::exists(url.toLocalFile()));
            QVERIFY(QFileInfo(url.toLocalFile()).fileName().endsWith(".xlsx"));
            QCOMPARE(readZip(url.toLocalFile()).names, readZip(besideProgram()).names);
        }
        QFile f(besideProgram());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
