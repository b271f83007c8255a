#include "trialbalance/TrialBalanceTab.h"

#include "context/BookSelection.h"
#include "journallines/JournalLinesWindow.h"
#include "print/TablePrinter.h"
#include "standard/AnchorAll.h"
#include "standard/FrozenColumns.h"
#include "standard/RowSearch.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"
#include "standard/WaitCursor.h"
#include "statements/StatementsWindow.h"
#include "trialbalance/TrialBalanceCell.h"
#include "trialbalance/TrialBalanceColumns.h"
#include "trialbalance/TrialBalanceDrawing.h"
#include "trialbalance/TrialBalanceExport.h"
#include "trialbalance/TrialBalanceReader.h"
#include "trialbalance/TrialBalanceTable.h"
#include "trialbalance/Xlsx.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QUrl>

namespace {
// The totals row's height: one row and its frame.
constexpr int TotalsHeight = 24;

// The row a user had selected, by what identifies it across a rebuild.
struct RememberedRow {
    int objectNumber = 0;
    int costCentreNumber = 0;
    int column = 0;
};

int intCell(const StringGrid& grid, int col, int row)
{
    bool ok = false;
    const int v = grid.cell(col, row).toInt(&ok);
    return ok ? v : 0;
}

RememberedRow rememberRow(const StringGrid& grid)
{
    const int row = grid.currentRow();
    if (row < 1)
        return {};
    return {
        intCell(grid, TB.ObjectNumber, row), intCell(grid, TB.CostCentreNumber, row), grid.currentColumn()};
}

// The object's own row (it precedes its accounts), then among its account rows the one
// of the remembered cost centre; the first row when the object is gone.
int rowToSelect(const StringGrid& grid, const RememberedRow& remembered)
{
    if (remembered.objectNumber == 0)
        return 1;
    int row = 1;
    while (row < grid.rowCount() && intCell(grid, TB.ObjectNumber, row) != remembered.objectNumber)
        ++row;
    if (row == grid.rowCount())
        return 1;
    if (remembered.costCentreNumber == 0)
        return row;
    for (int r = row + 1; r < grid.rowCount() && !grid.cell(TB.CostCentreNumber, r).isEmpty(); ++r)
        if (intCell(grid, TB.CostCentreNumber, r) == remembered.costCentreNumber)
            return r;
    return row;
}

void showTable(StringGrid& grid, const TrialBalanceTable& table)
{
    grid.beginUpdate();
    grid.setColumnCount(table.columnCount());
    grid.setRowCount(table.rowCount());
    for (int r = 0; r < table.rowCount(); ++r)
        for (int c = 0; c < table.columnCount(); ++c)
            grid.setCell(c, r, table.cell(c, r));
    grid.endUpdate();
}

std::optional<qint64> levelCell(const StringGrid& grid, int row) { return levelOf(grid.cell(TB.Level, row)); }
}

TrialBalanceTab::TrialBalanceTab(const BookContext& books, QWidget* parent)
    : QWidget(parent), btnAccounts(named(new QPushButton(QStringLiteral("Accounts"), this), "btnAccounts")),
      sgTB(named(new StringGrid(this), "sgTB")),
      btnExportTrialBalance(
          named(new QPushButton(QStringLiteral("Export Trial Balance"), this), "btnExportTrialBalance")),
      btnJournalLines(named(new QPushButton(QStringLiteral("Journal Lines"), this), "btnJournalLines")),
      sgTBTotals(named(new StringGrid(this), "sgTBTotals")),
      btnStatements(named(new QPushButton(QStringLiteral("Statements"), this), "btnStatements")),
      btnPrintTrialBalance(named(new QPushButton(QStringLiteral("Print..."), this), "btnPrintTrialBalance")),
      btnSavePdfTrialBalance(
          named(new QPushButton(QStringLiteral("Save as PDF..."), this), "btnSavePdfTrialBalance")),
      m_books(books)
{
    setObjectName(QStringLiteral("tsTrialBalance"));
    btnAccounts->setGeometry(8, 8, 154, 25);
    sgTB->setGeometry(168, 8, 857, 407);
    sgTB->setColumnCount(10);
    sgTB->setRowCount(2);
    sgTB->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgTB->setItemDelegate(new TBDrawCellDelegate(sgTB));
    new AnchorAll(sgTB, 8, 8 + TotalsHeight);
    // The totals follow the grid: its columns' widths, its scrolling, its place.
    sgTBTotals->setProperty("followsGrid", true);
    sgTBTotals->setColumnCount(sgTB->columnCount());
    sgTBTotals->setRowCount(2);
    sgTBTotals->horizontalHeader()->hide();
    sgTBTotals->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgTBTotals->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgTBTotals->setFocusPolicy(Qt::NoFocus);
    sgTBTotals->setSelectionMode(QAbstractItemView::NoSelection);
    sgTBTotals->setItemDelegate(new TBDrawCellDelegate(sgTBTotals, TBDrawCellDelegate::MarkNonZero));
    // The descriptive columns the user keeps visible stay in sight beside the amounts, in
    // the grid and in its total row.
    new FrozenColumns(sgTB, TB.OpeningBalance);
    new FrozenColumns(sgTBTotals, TB.OpeningBalance);
    connect(
        sgTB->horizontalHeader(), &QHeaderView::sectionResized, sgTBTotals, [this](int col, int, int width) {
            sgTBTotals->setColumnHidden(col, sgTB->isColumnHidden(col));
            if (!sgTB->isColumnHidden(col))
                sgTBTotals->setColumnWidth(col, width);
        });
    connect(sgTB->horizontalScrollBar(), &QScrollBar::valueChanged, sgTBTotals->horizontalScrollBar(),
        &QScrollBar::setValue);
    btnExportTrialBalance->setGeometry(8, 39, 154, 25);
    btnExportTrialBalance->setIconSize(QSize(22, 21));
    btnExportTrialBalance->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    btnJournalLines->setGeometry(8, 70, 154, 25);
    connectGuarded(btnJournalLines, &QPushButton::clicked, this, [this] { openJournalLines(); });
    // Enter on a cell, or its context menu, opens the lines behind the figure.
    sgTB->installEventFilter(this);
    sgTB->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sgTB, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex cell = sgTB->indexAt(at);
        if (!cell.isValid())
            return;
        sgTB->setCurrentIndex(cell);
        QMenu menu(sgTB);
        connectGuarded(menu.addAction(QStringLiteral("Journal Lines")), &QAction::triggered, this,
            [this] { openJournalLines(); });
        menu.exec(sgTB->viewport()->mapToGlobal(at));
    });
    // Below the place of the journal lines button (8, 70).
    btnStatements->setGeometry(8, 101, 154, 25);
    btnPrintTrialBalance->setGeometry(8, 132, 154, 25);
    btnSavePdfTrialBalance->setGeometry(8, 163, 154, 25);
    connectGuarded(btnStatements, &QPushButton::clicked, this, [this] { openStatements(); });
    connectGuarded(btnPrintTrialBalance, &QPushButton::clicked, this, [this] { printTrialBalance(); });
    connectGuarded(btnSavePdfTrialBalance, &QPushButton::clicked, this, [this] { saveTrialBalancePdf(); });
}

bool TrialBalanceTab::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == sgTB && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            guarded([this] { openJournalLines(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TestTrialBalanceViewAccess(const Session& session)
{
    if (session.TestAccess(QStringLiteral("trial balance"), QStringLiteral("view")))
        return true;
    Boodskap(
        QStringLiteral("The selected company/companies does not all have view access to the trial balance."));
    return false;
}

void openExportedWorkbook(const QString& path)
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        Boodskap(QStringLiteral("There is no program to open the workbook with.  It is saved as:\n\n")
            + QDir::toNativeSeparators(path)
            + QStringLiteral("\n\nOpen it with a spreadsheet program, such as LibreOffice Calc."));
}

void TrialBalanceTab::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QRect grid = sgTB->geometry();
    sgTBTotals->setGeometry(grid.x(), grid.bottom() + 1, grid.width(), TotalsHeight);
}

bool TrialBalanceTab::refresh()
{
    if (!TestTrialBalanceViewAccess(m_books.session))
        return false;
    const RememberedRow remembered = rememberRow(*sgTB);
    TrialBalanceRequest request;
    const BookSelection& selection = m_books.selection;
    request.companyIds = selection.companyIds();
    request.yearId = selection.yearId();
    request.periodSelected = selection.periodId() >= 0;
    // Everything is read before the grid changes, so a failed read leaves it as it was.
    TrialBalanceData data = readTrialBalance(request);
    const TrialBalanceTable table = buildTrialBalanceTable(data);
    showTable(*sgTB, table);
    m_data = std::move(data);
    m_table = table;
    const QStringList totals = trialBalanceTotals(table);
    sgTBTotals->beginUpdate();
    sgTBTotals->setColumnCount(table.columnCount());
    for (int c = 0; c < totals.size(); ++c)
        sgTBTotals->setCell(c, 1, totals[c]);
    sgTBTotals->endUpdate();
    for (int c = 0; c < sgTB->columnCount(); ++c) {
        sgTBTotals->setColumnHidden(c, sgTB->isColumnHidden(c));
        if (!sgTB->isColumnHidden(c))
            sgTBTotals->setColumnWidth(c, sgTB->columnWidth(c));
    }
    sgTB->setCurrentCell(remembered.column, rowToSelect(*sgTB, remembered));
    return true;
}

bool TrialBalanceTab::findRow(const QString& text, bool forward, bool again)
{
    // The view's rows are the grid's from row 1.
    const int current = sgTB->currentRow() - 1;
    const int from = again || current < 0 ? current : current + (forward ? -1 : 1);
    const int row = ::findRow(*sgTB->model(),
        {TB.ObjectNumber, TB.CostCentreNumber, TB.ObjectDescription, TB.CostCentreDescription,
            TB.AccountDescription},
        text, from, forward);
    if (row < 0)
        return false;
    sgTB->setCurrentCell(std::max(sgTB->currentColumn(), 0), row + 1);
    return true;
}

void TrialBalanceTab::MaakTotaleOpNaBo(int RowCounter, int Col, const Money& NewValue)
{
    // The amount just written into row RowCounter goes up the hierarchy: to the account's
    // own object, then from parent to parent, each one level up, until level 1.
    qint64 Level = levelCell(*sgTB, RowCounter).value_or(0);
    int ReverseRowCounter = RowCounter;
    auto add = [&](int row) {
        const Money sum = Money::parse(sgTB->cell(Col, row)).value_or(Money()) + NewValue;
        sgTB->setCell(Col, row, sum.toString());
    };
    while (ReverseRowCounter > 1) {
        --ReverseRowCounter;
        const std::optional<qint64> rowLevel = levelCell(*sgTB, ReverseRowCounter);
        if (!rowLevel)
            continue;
        if (Level == 0) {
            Level = *rowLevel;
            add(ReverseRowCounter);
        } else if (*rowLevel == Level - 1) {
            Level = *rowLevel;
            add(ReverseRowCounter);
            if (Level == 1)
                break;
        }
    }
}

void TrialBalanceTab::exportTrialBalance()
{
    WaitCursor wait;
    // The period descriptions belong to the selected year; without one there is nothing
    // to head the amount columns with.
    const int yearId = m_books.selection.yearId();
    if (yearId <= 0) {
        Boodskap(QStringLiteral("Please select a financial year before exporting the trial balance."));
        return;
    }
    TrialBalanceExportInput input{m_books.selection.companyText(), m_books.selection.yearText(), {}};
    for (const TBPeriod& p : readPeriods(yearId))
        input.periods.append(p.description);
    TrialBalanceTable grid(sgTB->columnCount(), sgTB->rowCount());
    for (int r = 1; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.columnCount(); ++c)
            grid.setCell(c, r, sgTB->cell(c, r));

    QString path;
    try {
        path = ::exportTrialBalance(shippedFile(QStringLiteral("Trial Balance.xlsx")), QDir::tempPath(), grid,
            input, Money::decimalSeparator());
    } catch (const XlsxError& e) {
        Boodskap(e.message());
        return;
    }
    // Where the workbook is, every time: the desktop's program may never show it.
    emit statusMessage(QStringLiteral("Trial balance exported to ") + QDir::toNativeSeparators(path));
    openExportedWorkbook(path);
}

PrintableTable TrialBalanceTab::printable() const
{
    PrintableTable t = printableFromView(*sgTB, TB.OpeningBalance, [this](int row) {
        std::optional<unsigned> shade;
        if (const std::optional<qint64> level = levelCell(*sgTB, row + 1))
            if (const QColor c = TBLevelShade(*level); c.isValid())
                shade = c.rgb() & 0xFFFFFFu;
        return shade;
    });
    // The total row as the grid's last: in print it follows the rows it adds up.
    if (sgTB->columnCount() > TB.OpeningBalance) {
        const PrintableTable totals = printableFromView(*sgTBTotals, TB.OpeningBalance);
        t.rows << totals.rows.value(0);
        t.shades << std::nullopt;
        t.bold << true;
    }
    t.title = QStringLiteral("Trial Balance");
    const std::optional<SelectedPeriod> period = m_books.selection.period();
    t.headerLines = printHeaderLines(m_books.selection.companyText(), m_books.selection.yearText(),
        period ? period->description : QString(), Now());
    return t;
}

void TrialBalanceTab::printTrialBalance() { previewTable(this, printable()); }

void TrialBalanceTab::saveTrialBalancePdf()
{
    const QString path = saveTableAsPdf(this, printable(), QStringLiteral("Trial Balance"));
    if (!path.isEmpty())
        emit statusMessage(QStringLiteral("Trial balance saved as ") + QDir::toNativeSeparators(path));
}

void TrialBalanceTab::openStatements()
{
    TfrmStatements statements(m_books, this);
    if (statements.load())
        statements.exec();
}

std::optional<JournalLinesSubject> TrialBalanceTab::linesSubject() const
{
    const int row = sgTB->currentRow(), column = std::max(sgTB->currentColumn(), 0);
    if (!m_data.withPeriods || row < 1 || row >= m_table.rowCount() || m_table.rowCount() != sgTB->rowCount())
        return std::nullopt;
    JournalLinesSubject subject;
    subject.companyText = m_books.selection.companyText();
    subject.yearText = m_books.selection.yearText();
    const QString account = m_table.cell(TB.AccountDescription, row);
    subject.rowText = account.isEmpty()
        ? m_table.cell(TB.ObjectNumber, row) + QLatin1Char(' ') + m_table.cell(TB.ObjectDescription, row)
        : m_table.cell(TB.CostCentreNumber, row) + QLatin1Char('.') + m_table.cell(TB.ObjectNumber, row)
            + QLatin1Char(' ') + account;
    if (m_books.selection.isAll() && !m_table.cell(TB.CompanyName, row).isEmpty())
        subject.rowText += QStringLiteral(" (") + m_table.cell(TB.CompanyName, row) + QLatin1Char(')');
    subject.columnText = column >= TB.OpeningBalance ? m_table.cell(column, 0) : QStringLiteral("Whole year");
    subject.ranges = linesBehindCell(m_data, m_table, column, row);
    for (int c = TB.OpeningBalance; c < m_table.columnCount(); ++c) {
        subject.barLabels << m_table.cell(c, 0);
        subject.barValues << Money::parse(m_table.cell(c, row)).value_or(Money());
    }
    subject.markedBar = column >= TB.OpeningBalance ? column - TB.OpeningBalance : -1;
    return subject;
}

TfrmJournalLines* TrialBalanceTab::openJournalLines()
{
    if (!TestTrialBalanceViewAccess(m_books.session))
        return nullptr;
    const std::optional<JournalLinesSubject> subject = linesSubject();
    if (!subject) {
        Boodskap(QStringLiteral("Please select a financial period and a row of the trial balance first."));
        return nullptr;
    }
    auto* window = new TfrmJournalLines(*subject, this->window());
    connect(window, &TfrmJournalLines::entryChosen, this, &TrialBalanceTab::entryChosen);
    window->show();
    return window;
}
