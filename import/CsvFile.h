#pragma once
// Reading a CSV file into rows of text: the delimiter, a byte-order mark, the encoding
// and a heading row are detected and may be overridden. The splitting is libcsv's.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

enum class TextEncoding { Utf8, Windows1252 };

struct CsvFormat {
    char delimiter = ',';
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false; // the file starts with the UTF-8 mark, which is not data
    bool headings = false; // the first row names the columns
    bool operator==(const CsvFormat&) const = default;
};

// One record of the file: its fields and the file line it starts on (a quoted field may
// hold line breaks, so a record can span lines).
struct CsvRow {
    qsizetype line = 0;
    QStringList fields;
};

struct CsvTable {
    QStringList headings; // empty unless the format says the first row holds them
    QList<CsvRow> rows; // the data rows
    QString error; // empty when the whole file could be read
    qsizetype columnCount() const;
};

// Files above this size are refused before they are read: the rows of a larger file,
// held as text, would take more memory than a workstation should give one window.
inline constexpr qint64 MaxCsvFileBytes = 10 * 1024 * 1024;
QString csvFileTooLarge(qint64 bytes);

// What the file's bytes suggest: the mark, UTF-8 when every byte sequence is valid UTF-8
// (else Windows-1252), the delimiter among comma, semicolon and tab that splits the first
// rows most evenly, and headings when no cell of the first row reads as a number or a date
// while the second row holds one.
CsvFormat detectCsvFormat(const QByteArray& data);

// The rows of the file in the given format; `limit` rows at most when not negative (the
// preview). A quote that is never closed is an error naming its line.
CsvTable readCsv(const QByteArray& data, const CsvFormat& format, qsizetype limit = -1);

// Bytes of the given encoding as text.
QString decodeText(const QByteArray& bytes, TextEncoding encoding);
