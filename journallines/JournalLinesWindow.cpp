#include "journallines/JournalLinesWindow.h"

#include "journallines/JournalLinesModel.h"
#include "print/TablePrinter.h"
#include "standard/Standard.h"
#include "standard/WaitCursor.h"
#include "statements/StatementExport.h"
#include "trialbalance/TrialBalanceTab.h"
#include "trialbalance/Xlsx.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {
QChart* rowChart(const JournalLinesSubject& subject)
{
    auto* set = new QBarSet(subject.rowText);
    for (const Money& m : subject.barValues)
        set->append(m.toDbString().toDouble());
    set->setSelectedColor(QColor(200, 60, 40));
    if (subject.markedBar >= 0)
        set->selectBar(subject.markedBar);
    auto* series = new QBarSeries;
    series->append(set);
    auto* chart = new QChart;
    chart->addSeries(series);
    auto* categories = new QBarCategoryAxis;
    categories->append(subject.barLabels);
    chart->addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);
    auto* values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(values, Qt::AlignLeft);
    series->attachAxis(values);
    values->applyNiceNumbers();
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

const QString SizeKey = QStringLiteral("frmJournalLines/size");
const QString ColumnsKey = QStringLiteral("frmJournalLines/columns");
}

TfrmJournalLines::TfrmJournalLines(const JournalLinesSubject& subject, QWidget* parent)
    : QWidget(parent, Qt::Window), lblJournalLinesTitle(named(new QLabel(this), "lblJournalLinesTitle")),
      chvJournalLines(named(new QChartView(this), "chvJournalLines")),
      dbgJournalLines(named(new QTableView(this), "dbgJournalLines")),
      lblJournalLinesCount(named(new QLabel(this), "lblJournalLinesCount")),
      lblJournalLinesTotal(named(new QLabel(this), "lblJournalLinesTotal")),
      btnPrintJournalLines(named(new QPushButton(QStringLiteral("Print..."), this), "btnPrintJournalLines")),
      btnSavePdfJournalLines(
          named(new QPushButton(QStringLiteral("Save as PDF..."), this), "btnSavePdfJournalLines")),
      btnExportJournalLines(named(new QPushButton(QStringLiteral("Export"), this), "btnExportJournalLines")),
      m_subject(subject), m_model(new JournalLinesModel(JournalLinesStore::chunks(subject.ranges), this))
{
    setObjectName(QStringLiteral("frmJournalLines"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Journal Lines - %1 - %2").arg(subject.rowText, subject.columnText));
    lblJournalLinesTitle->setText(subject.rowText + QStringLiteral(": ") + subject.columnText);
    QFont bold = lblJournalLinesTitle->font();
    bold.setBold(true);
    lblJournalLinesTitle->setFont(bold);

    chvJournalLines->setChart(rowChart(subject));
    chvJournalLines->setRenderHint(QPainter::Antialiasing);
    chvJournalLines->setMinimumHeight(170);
    chvJournalLines->setMaximumHeight(220);

    dbgJournalLines->setModel(m_model);
    dbgJournalLines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbgJournalLines->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgJournalLines->setSelectionMode(QAbstractItemView::SingleSelection);
    dbgJournalLines->setTabKeyNavigation(false);
    dbgJournalLines->verticalHeader()->hide();
    // Every row the same height: the view then asks only for the rows in sight, which is
    // what lets it page through hundreds of thousands of lines.
    dbgJournalLines->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    dbgJournalLines->verticalHeader()->setDefaultSectionSize(20);
    dbgJournalLines->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int widths[] = {90, 100, 170, 95, 150, 170, 95, 105};
    // Each heading whole at least; the rows are not measured, there may be a million.
    for (int c = 0; c < JournalLinesModel::ColumnCount; ++c)
        dbgJournalLines->setColumnWidth(
            c, std::max(widths[c], dbgJournalLines->horizontalHeader()->sectionSizeHint(c)));

    lblJournalLinesCount->setText(QStringLiteral("%1 lines").arg(QLocale().toString(m_model->lineCount())));
    const Money& total = m_model->total();
    lblJournalLinesTotal->setText(
        QStringLiteral("Total: ") + (total.isZero() ? QStringLiteral("0") : total.toString()));

    auto* foot = new QHBoxLayout;
    foot->addWidget(lblJournalLinesCount);
    foot->addStretch();
    foot->addWidget(lblJournalLinesTotal);
    foot->addSpacing(16);
    foot->addWidget(btnPrintJournalLines);
    foot->addWidget(btnSavePdfJournalLines);
    foot->addWidget(btnExportJournalLines);
    connectGuarded(btnPrintJournalLines, &QPushButton::clicked, this, [this] { printLines(); });
    connectGuarded(btnSavePdfJournalLines, &QPushButton::clicked, this, [this] { saveLinesPdf(); });
    connectGuarded(btnExportJournalLines, &QPushButton::clicked, this, [this] { exportLines(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblJournalLinesTitle);
    layout->addWidget(chvJournalLines);
    layout->addWidget(dbgJournalLines, 1);
    layout->addLayout(foot);

    connectGuarded(dbgJournalLines, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (const JournalLineRow* l = m_model->line(index.row()))
            emit entryChosen(l->companyId, l->companyName, l->number, l->date);
    });
    // Said after the paint that met it, not inside it.
    connect(
        m_model, &JournalLinesModel::loadFailed, this,
        [](const QString& message) { ShowStandardError(message); }, Qt::QueuedConnection);

    QSettings settings;
    resize(settings.value(SizeKey, QSize(1180, 640)).toSize());
    dbgJournalLines->horizontalHeader()->restoreState(settings.value(ColumnsKey).toByteArray());
    dbgJournalLines->setFocus();
    if (m_model->lineCount() > 0)
        dbgJournalLines->setCurrentIndex(m_model->index(0, 0));
}

void TfrmJournalLines::closeEvent(QCloseEvent* event)
{
    QSettings settings;
    settings.setValue(SizeKey, size());
    settings.setValue(ColumnsKey, dbgJournalLines->horizontalHeader()->saveState());
    event->accept();
}

QString TfrmJournalLines::title() const
{
    return QStringLiteral("Journal Lines - %1 - %2").arg(m_subject.rowText, m_subject.columnText);
}

PrintableTable TfrmJournalLines::printable() const
{
    WaitCursor wait;
    PrintableTable t = printableFromView(*dbgJournalLines);
    t.title = title();
    t.headerLines = printHeaderLines(m_subject.companyText, m_subject.yearText, {}, Now());
    return t;
}

void TfrmJournalLines::printLines() { previewTable(this, printable()); }

void TfrmJournalLines::saveLinesPdf()
{
    saveTableAsPdf(this, printable(), QStringLiteral("Journal Lines.pdf"));
}

void TfrmJournalLines::exportLines()
{
    WaitCursor wait;
    // The figures' own texts, so that the workbook holds numbers.
    TrialBalanceTable cells(JournalLinesModel::ColumnCount, int(m_model->lineCount()) + 1);
    for (int c = 0; c < JournalLinesModel::ColumnCount; ++c)
        cells.setCell(c, 0, m_model->headerData(c, Qt::Horizontal).toString());
    for (int r = 0; r < m_model->lineCount(); ++r)
        for (int c = 0; c < JournalLinesModel::ColumnCount; ++c)
            cells.setCell(c, r + 1, m_model->index(r, c).data(JournalLinesModel::ExactTextRole).toString());
    QString path;
    try {
        path = ::exportStatement(shippedFile(QStringLiteral("Statement.xlsx")), QDir::tempPath(), cells,
            {title(), m_subject.companyText, m_subject.yearText}, Money::decimalSeparator());
    } catch (const XlsxError& e) {
        Boodskap(e.message());
        return;
    }
    openExportedWorkbook(path);
}
