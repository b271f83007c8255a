#include "statements/StatementsWindow.h"

#include "context/BookSelection.h"
#include "context/BookStores.h"
#include "print/TablePrinter.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"
#include "standard/WaitCursor.h"
#include "statements/StatementExport.h"
#include "trialbalance/TrialBalanceDrawing.h"
#include "trialbalance/TrialBalanceReader.h"
#include "trialbalance/TrialBalanceTab.h"
#include "trialbalance/TrialBalanceTable.h"
#include "trialbalance/Xlsx.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
// The grid's fixed columns; the amounts follow.
constexpr int NumberColumn = 0, DescriptionColumn = 1, FirstAmountColumn = 2;

StringGrid* statementGrid(QWidget* page, const char* name)
{
    auto* grid = named(new StringGrid(page), name);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setDefaultColumnWidth(110);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(grid);
    return grid;
}

QString descriptionOf(const StatementLine& l)
{
    if (l.kind != StatementLine::Account)
        return l.objectDescription;
    QString text = QStringLiteral("    ") + l.costCentreNumber + QLatin1Char(' ') + l.accountDescription;
    if (!l.companyName.isEmpty())
        text += QStringLiteral(" (") + l.companyName + QLatin1Char(')');
    return text;
}

QString amountText(const std::optional<Money>& m) { return m ? m->toString() : QString(); }
}

TfrmStatements::TfrmStatements(const BookContext& books, QWidget* parent)
    : QDialog(parent), pcStatements(named(new QTabWidget(this), "pcStatements")),
      tsProfitAndLoss(named(new QWidget, "tsProfitAndLoss")),
      tsBalanceSheet(named(new QWidget, "tsBalanceSheet")),
      sgProfitAndLoss(statementGrid(tsProfitAndLoss, "sgProfitAndLoss")),
      sgBalanceSheet(statementGrid(tsBalanceSheet, "sgBalanceSheet")),
      cbStatementLevel(named(new QComboBox(this), "cbStatementLevel")),
      chkStatementAccounts(
          named(new QCheckBox(QStringLiteral("Show &accounts"), this), "chkStatementAccounts")),
      chkPreviousYear(named(new QCheckBox(QStringLiteral("Pre&vious year"), this), "chkPreviousYear")),
      btnPrint(named(new QPushButton(QStringLiteral("&Print..."), this), "btnPrint")),
      btnSavePdf(named(new QPushButton(QStringLiteral("Save as P&DF..."), this), "btnSavePdf")),
      btnExportStatement(
          named(new QPushButton(QStringLiteral("&Export Statement"), this), "btnExportStatement")),
      lblStatementBooks(named(new QLabel(this), "lblStatementBooks")), m_books(books)
{
    setObjectName(QStringLiteral("frmStatements"));
    setWindowTitle(QStringLiteral("Statements"));
    resize(1100, 640);
    pcStatements->addTab(tsProfitAndLoss, QStringLiteral("Profit and Loss"));
    pcStatements->addTab(tsBalanceSheet, QStringLiteral("Balance Sheet"));
    auto* level = new QLabel(QStringLiteral("&Level:"), this);
    level->setBuddy(cbStatementLevel);

    auto* bar = new QHBoxLayout;
    bar->addWidget(level);
    bar->addWidget(cbStatementLevel);
    bar->addSpacing(12);
    bar->addWidget(chkStatementAccounts);
    bar->addWidget(chkPreviousYear);
    bar->addStretch();
    bar->addWidget(btnPrint);
    bar->addWidget(btnSavePdf);
    bar->addWidget(btnExportStatement);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStatementBooks);
    layout->addLayout(bar);
    layout->addWidget(pcStatements);

    for (StringGrid* grid : {sgProfitAndLoss, sgBalanceSheet}) {
        const bool sheet = grid == sgBalanceSheet;
        const QList<StatementLine>* shown = sheet ? &m_shownBalanceSheet : &m_shownProfitAndLoss;
        // The sheet's total is its check: anything but 0 shows in the error colour.
        grid->setItemDelegate(new TBDrawCellDelegate(
            grid,
            [shown, sheet](int row) {
                if (row < 1 || row > shown->size())
                    return TBDrawCellDelegate::RowLook{}; // before the first reading
                const StatementLine& l = shown->at(row - 1);
                return TBDrawCellDelegate::RowLook{l.kind == StatementLine::Object ? l.level : std::nullopt,
                    sheet && l.kind == StatementLine::Total};
            },
            FirstAmountColumn));
    }
    auto on
        = [this](auto* sender, auto signal, auto handler) { connectGuarded(sender, signal, this, handler); };
    on(cbStatementLevel, &QComboBox::activated, [this] { showStatements(); });
    on(chkStatementAccounts, &QCheckBox::toggled, [this] { showStatements(); });
    on(chkPreviousYear, &QCheckBox::toggled, [this] {
        readPreviousYear();
        showStatements();
    });
    on(btnPrint, &QPushButton::clicked, [this] { previewTable(this, printable()); });
    on(btnSavePdf, &QPushButton::clicked, [this] {
        const PrintableTable table = printable();
        const QString path = saveTableAsPdf(this, table, table.title);
        if (!path.isEmpty())
            Boodskap(QStringLiteral("Saved as ") + QDir::toNativeSeparators(path));
    });
    on(btnExportStatement, &QPushButton::clicked, [this] { exportStatement(); });
    // Ctrl+P prints here as it prints the trial balance in the main window.
    connect(new QShortcut(QKeySequence::Print, this), &QShortcut::activated, btnPrint, &QPushButton::click);
    // Enter in the level box or on a check box should not print or export.
    for (QPushButton* button : {btnPrint, btnSavePdf, btnExportStatement})
        button->setAutoDefault(false);
    setTabOrder(cbStatementLevel, chkStatementAccounts);
    setTabOrder(chkStatementAccounts, chkPreviousYear);
    setTabOrder(chkPreviousYear, btnPrint);
    setTabOrder(btnPrint, btnSavePdf);
    setTabOrder(btnSavePdf, btnExportStatement);
    setTabOrder(btnExportStatement, pcStatements);
}

bool TfrmStatements::load()
{
    if (!TestTrialBalanceViewAccess(m_books.session))
        return false;
    const BookSelection& selection = m_books.selection;
    if (selection.yearId() <= 0) {
        Boodskap(QStringLiteral("Please select a financial year to show its statements."));
        return false;
    }
    WaitCursor wait;
    // The statements always show the year's periods, whichever period the filter bar has.
    const TrialBalanceData data
        = readTrialBalance(TrialBalanceRequest{selection.companyIds(), selection.yearId(), true});
    if (data.periods.isEmpty()) {
        Boodskap(QStringLiteral("The selected financial year has no periods, so it has no statements yet."));
        return false;
    }
    const TrialBalanceTable table = buildTrialBalanceTable(data);
    m_profitAndLoss = buildStatement(data, table, StatementKind::ProfitAndLoss);
    m_balanceSheet = buildStatement(data, table, StatementKind::BalanceSheet);
    m_previousRead = false;
    lblStatementBooks->setText(QStringLiteral("Company: ") + selection.companyText()
        + QStringLiteral("     Financial year: ") + selection.yearText());

    const qint64 deepest
        = std::max<qint64>({m_profitAndLoss.deepestLevel, m_balanceSheet.deepestLevel, qint64(1)});
    cbStatementLevel->clear();
    for (qint64 l = 1; l <= deepest; ++l)
        cbStatementLevel->addItem(QString::number(l), int(l));
    cbStatementLevel->setCurrentIndex(cbStatementLevel->count() - 1);
    if (chkPreviousYear->isChecked())
        readPreviousYear();
    showStatements();
    cbStatementLevel->setFocus();
    return true;
}

void TfrmStatements::readPreviousYear()
{
    if (m_previousRead || !chkPreviousYear->isChecked())
        return;
    WaitCursor wait;
    std::optional<StatementTable> profitAndLoss, balanceSheet;
    // Under "All" the selected year's company gives the previous year; its periods' dates
    // then apply to every listed company, as the trial balance applies the selected year's.
    if (const std::optional<int> previous = YearStore::previousYear(m_books.selection.yearId())) {
        const TrialBalanceData data
            = readTrialBalance(TrialBalanceRequest{m_books.selection.companyIds(), *previous, true});
        if (!data.periods.isEmpty()) {
            const TrialBalanceTable table = buildTrialBalanceTable(data);
            profitAndLoss = buildStatement(data, table, StatementKind::ProfitAndLoss);
            balanceSheet = buildStatement(data, table, StatementKind::BalanceSheet);
        }
    }
    addPreviousYear(m_profitAndLoss, profitAndLoss);
    addPreviousYear(m_balanceSheet, balanceSheet);
    m_previousRead = true;
}

void TfrmStatements::showStatements()
{
    showStatement(*sgProfitAndLoss, m_profitAndLoss);
    showStatement(*sgBalanceSheet, m_balanceSheet);
}

void TfrmStatements::showStatement(StringGrid& grid, const StatementTable& table)
{
    const qint64 level = cbStatementLevel->currentData().toLongLong();
    QList<StatementLine>& shown = &grid == sgProfitAndLoss ? m_shownProfitAndLoss : m_shownBalanceSheet;
    shown = shownLines(table, level, chkStatementAccounts->isChecked());
    const bool compare = chkPreviousYear->isChecked() && m_previousRead;
    const int step = compare ? 2 : 1;
    const int width = int(table.columns.size());

    grid.beginUpdate();
    grid.setColumnCount(FirstAmountColumn + width * step);
    grid.setRowCount(int(shown.size()) + 1);
    grid.setCell(NumberColumn, 0, QStringLiteral("Object Number"));
    grid.setCell(DescriptionColumn, 0, QStringLiteral("Object Description"));
    for (int c = 0; c < width; ++c) {
        grid.setCell(FirstAmountColumn + c * step, 0, table.columns[c]);
        if (compare)
            grid.setCell(FirstAmountColumn + c * step + 1, 0, table.previousColumns.value(c));
    }
    for (int r = 0; r < shown.size(); ++r) {
        const StatementLine& l = shown[r];
        grid.setCell(NumberColumn, r + 1, l.objectNumber);
        grid.setCell(DescriptionColumn, r + 1, descriptionOf(l));
        for (int c = 0; c < width; ++c) {
            grid.setCell(FirstAmountColumn + c * step, r + 1, l.amounts[c].toString());
            if (compare)
                grid.setCell(FirstAmountColumn + c * step + 1, r + 1, amountText(l.previous.value(c)));
        }
    }
    grid.endUpdate();
    grid.setColumnWidth(DescriptionColumn, 260);
}

StringGrid& TfrmStatements::shownGrid() const
{
    return pcStatements->currentWidget() == tsBalanceSheet ? *sgBalanceSheet : *sgProfitAndLoss;
}

QString TfrmStatements::shownTitle() const { return pcStatements->tabText(pcStatements->currentIndex()); }

PrintableTable TfrmStatements::printable() const
{
    const bool sheet = pcStatements->currentWidget() == tsBalanceSheet;
    const QList<StatementLine>& shown = sheet ? m_shownBalanceSheet : m_shownProfitAndLoss;
    PrintableTable t = printableFromView(shownGrid(), FirstAmountColumn, [&shown](int row) {
        const StatementLine& l = shown.at(row);
        std::optional<unsigned> shade;
        if (l.kind == StatementLine::Object && l.level)
            if (const QColor c = TBLevelShade(*l.level); c.isValid())
                shade = c.rgb() & 0xFFFFFFu;
        return shade;
    });
    for (int r = 0; r < shown.size() && r < t.bold.size(); ++r)
        t.bold[r] = shown[r].kind == StatementLine::Total || shown[r].kind == StatementLine::Result;
    t.title = shownTitle();
    t.headerLines
        = printHeaderLines(m_books.selection.companyText(), m_books.selection.yearText(), {}, Now());
    return t;
}

void TfrmStatements::exportStatement()
{
    WaitCursor wait;
    const StringGrid& grid = shownGrid();
    StatementExportInput input{shownTitle(), m_books.selection.companyText(), m_books.selection.yearText()};
    TrialBalanceTable cells(grid.columnCount(), grid.rowCount());
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.columnCount(); ++c)
            cells.setCell(c, r, grid.cell(c, r));
    QString path;
    try {
        path = ::exportStatement(shippedFile(QStringLiteral("Statement.xlsx")), QDir::tempPath(), cells,
            input, Money::decimalSeparator());
    } catch (const XlsxError& e) {
        Boodskap(e.message());
        return;
    }
    openExportedWorkbook(path);
}
