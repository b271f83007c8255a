#pragma once
// What a grid hands to the printer: texts as the grid shows them, nothing of a widget.
#include <QDate>
#include <QList>
#include <QStringList>
#include <optional>

struct PrintableTable {
    QString title; // "Trial Balance", "Profit and Loss", ...
    QStringList headerLines; // company, year, period, print date: on top of every page
    QStringList headings; // repeated on every page
    QList<bool> rightAligned; // per column: figures
    QList<QStringList> rows;
    QList<std::optional<unsigned>> shades; // per row: a background as 0xRRGGBB, or none
    QList<bool> bold; // per row: totals
};

// The page header's lines for the books shown: "Company: …", "Financial year: …",
// "Period: …" (left out when empty) and "Printed: <date and time>".
QStringList printHeaderLines(
    const QString& company, const QString& year, const QString& period, const QDateTime& printed);
