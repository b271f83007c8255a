#pragma once
// The one printing piece of the program: any grid, made into a PrintableTable, printed
// through a print preview or saved as a PDF file. Landscape, the header lines and the
// column headings on every page, the columns scaled to the page's width (never split
// across pages), row shading kept, "Page n of m" at the foot.
#include "print/PrintableTable.h"

#include <QString>
#include <functional>
#include <optional>

class QPagedPaintDevice;
class QTableView;
class QWidget;

// What a view shows: its visible columns in their shown order with their header texts,
// every row's display texts. `figuresFrom`: columns from there on hold money, printed as
// figures (grouped, right-aligned) as the grid draws them; -1 for none (a model's own
// right alignment is kept). `shadeOf` gives a model row's background, if any.
PrintableTable printableFromView(const QTableView& view, int figuresFrom = -1,
    const std::function<std::optional<unsigned>(int modelRow)>& shadeOf = {});

// Lays the table out on the device's pages; false when the device could not be painted on.
bool printTable(const PrintableTable& table, QPagedPaintDevice& device);

// "Print…": the print preview, in landscape, from which the user prints.
void previewTable(QWidget* parent, const PrintableTable& table);

// Writes the table to a PDF file; the file is replaced only when it was written whole.
// False, after saying why, when it could not be written.
bool writeTablePdf(const PrintableTable& table, const QString& path);

// "Save as PDF…": asks for the file (`suggestedName` in the user's documents folder) and
// writes it. Returns the path written, empty when the user cancelled or it failed.
QString saveTableAsPdf(QWidget* parent, const PrintableTable& table, const QString& suggestedName);

// Tests answer the file dialog: while set, it is asked instead (with the suggested path)
// and its answer taken as the user's; an empty answer is a cancel.
void SetPdfFileNameHandler(std::function<QString(const QString& suggestedPath)> handler);
