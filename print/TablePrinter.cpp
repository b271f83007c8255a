#include "print/TablePrinter.h"

#include "standard/Money.h"
#include "standard/Standard.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTableView>
#include <cmath>

namespace {
std::function<QString(const QString&)>& pdfFileNameHandler()
{
    static std::function<QString(const QString&)> handler;
    return handler;
}

// A column never takes more than this many average characters: a long description is cut
// with "…" rather than squeezing every other column.
constexpr double MaxColumnChars = 42;
constexpr unsigned HeadingShade = 0xE4E4E4;
constexpr unsigned RuleColour = 0xC8C8C8;

QColor rgb(unsigned value) { return QColor(QRgb(0xFF000000u | value)); }

QFont printFont(double points, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
}

PrintableTable printableFromView(
    const QTableView& view, int figuresFrom, const std::function<std::optional<unsigned>(int)>& shadeOf)
{
    PrintableTable t;
    const QAbstractItemModel* model = view.model();
    if (!model)
        return t;
    const QHeaderView* header = view.horizontalHeader();
    QList<int> columns;
    for (int v = 0; v < header->count(); ++v) {
        const int logical = header->logicalIndex(v);
        if (!view.isColumnHidden(logical))
            columns << logical;
    }
    const auto figures = [figuresFrom](int col) { return figuresFrom >= 0 && col >= figuresFrom; };
    for (int col : columns) {
        t.headings << model->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
        bool right = figures(col);
        if (!right && model->rowCount() > 0)
            right = model->data(model->index(0, col), Qt::TextAlignmentRole).toInt() & Qt::AlignRight;
        t.rightAligned << right;
    }
    for (int r = 0; r < model->rowCount(); ++r) {
        if (view.isRowHidden(r))
            continue;
        QStringList row;
        for (int col : columns) {
            QString text = model->data(model->index(r, col), Qt::DisplayRole).toString();
            if (figures(col) && !text.isEmpty())
                if (const std::optional<Money> amount = Money::parse(text))
                    text = amount->toDisplayString();
            row << text;
        }
        t.rows << row;
        t.shades << (shadeOf ? shadeOf(r) : std::nullopt);
        t.bold << false;
    }
    return t;
}

bool printTable(const PrintableTable& t, QPagedPaintDevice& device)
{
    QPainter p;
    if (!p.begin(&device))
        return false;
    const QRect area(QPoint(0, 0), device.pageLayout().paintRectPixels(device.logicalDpiX()).size());
    const QFont body = printFont(8), bold = printFont(8, true), titleFont = printFont(12, true);
    const QFontMetricsF fm(body, &device), fmBold(bold, &device), fmTitle(titleFont, &device);

    // Each column as wide as its widest text, capped; then all scaled down together to the
    // page's width, so a column is never split over two pages.
    const int cols = int(t.headings.size());
    const double pad = fm.averageCharWidth() * 1.6;
    const double cap = fm.averageCharWidth() * MaxColumnChars;
    QVector<double> width(cols);
    for (int c = 0; c < cols; ++c)
        width[c] = fmBold.horizontalAdvance(t.headings[c]);
    for (int r = 0; r < t.rows.size(); ++r) {
        const QStringList& row = t.rows[r];
        const QFontMetricsF& metrics = t.bold.value(r) ? fmBold : fm;
        for (int c = 0; c < cols && c < row.size(); ++c)
            if (!row[c].isEmpty())
                width[c] = std::max(width[c], metrics.horizontalAdvance(row[c]));
    }
    double natural = 0;
    for (double& w : width) {
        w = std::min(w, cap) + pad;
        natural += w;
    }
    const double scale = natural > area.width() ? area.width() / natural : 1.0;

    const double line = fm.height();
    const double rowHeight = line * 1.3;
    const double headerTop = fmTitle.height() + line * 1.6; // title line, then the books' line
    const double footer = line * 1.8;
    const double tableHeight = area.height() - headerTop - footer;
    const int perPage = std::max(1, int(std::floor(tableHeight / (rowHeight * scale))) - 1);
    const int rows = int(t.rows.size());
    const int pages = std::max(1, (rows + perPage - 1) / perPage);

    const QString printed = t.headerLines.isEmpty() ? QString() : t.headerLines.last();
    const QString books = t.headerLines.mid(0, std::max<qsizetype>(0, t.headerLines.size() - 1))
                              .join(QStringLiteral("     "));
    auto drawRow = [&](const QStringList& texts, double y, const QFont& font, const QFontMetricsF& metrics) {
        p.setFont(font);
        double x = 0;
        for (int c = 0; c < cols; ++c) {
            const QString& text = c < texts.size() ? texts[c] : QString();
            if (!text.isEmpty()) {
                const QRectF cell(x + pad / 2, y, width[c] - pad, rowHeight);
                const QString shown = metrics.horizontalAdvance(text) > cell.width()
                    ? metrics.elidedText(text, Qt::ElideRight, cell.width())
                    : text;
                p.drawText(cell,
                    (t.rightAligned.value(c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter
                        | Qt::TextSingleLine,
                    shown);
            }
            x += width[c];
        }
    };

    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device.newPage()) {
            p.end();
            return false;
        }
        p.setPen(Qt::black);
        p.setFont(titleFont);
        p.drawText(QRectF(0, 0, area.width(), fmTitle.height()), Qt::AlignLeft | Qt::AlignVCenter, t.title);
        p.setFont(body);
        p.drawText(QRectF(0, 0, area.width(), fmTitle.height()), Qt::AlignRight | Qt::AlignVCenter, printed);
        p.drawText(QRectF(0, fmTitle.height() + line * 0.2, area.width(), line), Qt::AlignLeft, books);

        p.save();
        p.translate(0, headerTop);
        p.scale(scale, scale);
        p.fillRect(QRectF(0, 0, natural, rowHeight), rgb(HeadingShade));
        p.setPen(Qt::black);
        drawRow(t.headings, 0, bold, fmBold);
        p.drawLine(QPointF(0, rowHeight), QPointF(natural, rowHeight));
        const QPen rule(rgb(RuleColour), 0);
        for (int i = 0; i < perPage; ++i) {
            const int r = page * perPage + i;
            if (r >= rows)
                break;
            const double y = rowHeight * (i + 1);
            if (const std::optional<unsigned> shade = t.shades.value(r))
                p.fillRect(QRectF(0, y, natural, rowHeight), rgb(*shade));
            p.setPen(Qt::black);
            const bool strong = t.bold.value(r);
            drawRow(t.rows[r], y, strong ? bold : body, strong ? fmBold : fm);
            p.setPen(rule);
            p.drawLine(QPointF(0, y + rowHeight), QPointF(natural, y + rowHeight));
        }
        p.restore();

        p.setPen(Qt::black);
        p.setFont(body);
        p.drawText(QRectF(0, area.height() - line, area.width(), line), Qt::AlignHCenter,
            QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
    }
    return p.end();
}

void previewTable(QWidget* parent, const PrintableTable& table)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(table.title);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("dlgPrintPreview"));
    preview.setWindowTitle(QStringLiteral("Print ") + table.title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&table](QPrinter* printer) {
        if (!printTable(table, *printer))
            Boodskap(QStringLiteral("The printer could not be used.  Nothing was printed."));
    });
    preview.exec();
}

bool writeTablePdf(const PrintableTable& table, const QString& path)
{
    // Written beside the file and put in its place only when whole, so a failure leaves
    // an earlier file of that name as it was.
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setPageMargins(QMarginsF(12, 10, 12, 10), QPageLayout::Millimeter);
        writer.setResolution(600);
        writer.setTitle(table.title);
        writer.setCreator(QStringLiteral("Veldra Accounting"));
        written = printTable(table, writer);
    }
    if (written)
        written = file.commit();
    else
        file.cancelWriting();
    if (!written)
        Boodskap(QStringLiteral("The PDF file could not be written:\n\n") + QDir::toNativeSeparators(path)
            + QStringLiteral("\n\n") + file.errorString());
    return written;
}

QString saveTableAsPdf(QWidget* parent, const PrintableTable& table, const QString& suggestedName)
{
    const QString suggested = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                  .filePath(suggestedName + QStringLiteral(".pdf"));
    QString path = pdfFileNameHandler() ? pdfFileNameHandler()(suggested)
                                        : QFileDialog::getSaveFileName(parent, QStringLiteral("Save as PDF"),
                                            suggested, QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    return writeTablePdf(table, path) ? path : QString();
}

void SetPdfFileNameHandler(std::function<QString(const QString&)> handler)
{
    pdfFileNameHandler() = std::move(handler);
}
