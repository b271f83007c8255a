#pragma once
// A workbook made from a spreadsheet template (.xlsx): cells of named sheets are set, and
// the result is written as a new file. Parts of the template that are not changed are
// kept byte for byte. No widget is involved.
#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <stdexcept>

// A problem with the template or the new file; what() is a message for the user.
class XlsxError : public std::runtime_error {
public:
    explicit XlsxError(const QString& message) : std::runtime_error(message.toStdString()) { }
    QString message() const { return QString::fromStdString(what()); }
};

// The value a spreadsheet gets when a person types `text` into a cell: a number (returned
// as the text of the cell's <v>, '.' as decimal point) or, when empty, text. A text is a
// number when it is an optional '-', an integer part without leading zeros ("0" alone is
// allowed), and optionally `decimalPoint` with decimals that do not end in 0, with at most
// 15 digits in all. So "-12.5", "1500", "0.1234" and "11100" are numbers, and every text
// that a number cell would show differently stays text: "007", "1.10", "1.", ".5", "-0",
// "+5", "1e5", " 5", "1,500" (no thousands separators), and digit strings longer than 15,
// which would lose digits in a double.
std::optional<QString> numberCellValue(const QString& text, QChar decimalPoint);

// A text as a cell may hold it: characters XML 1.0 does not allow (control characters but
// tab, line feed and carriage return; unpaired surrogates; U+FFFE, U+FFFF) become U+FFFD,
// so the spreadsheet program accepts the file and the user sees where something was.
QString xmlSafeText(const QString& text);

// What a cell's <t> element holds for `text`: xmlSafeText, and the underscore of every
// "_xHHHH_" in it written as "_x005F_", since spreadsheet programs read "_xHHHH_" in a
// cell's text as the character of that code.
QString inlineStringText(const QString& text);

// "A1" style reference of a 1-based row and column.
QString cellReference(int row, int column);

class XlsxSheet;

class XlsxWorkbook {
public:
    // Reads the template; throws XlsxError naming the file when it is missing, unreadable
    // or not a workbook. Texts that read as numbers with `decimalPoint` become numbers.
    explicit XlsxWorkbook(const QString& templatePath, QChar decimalPoint = QLatin1Char('.'));
    ~XlsxWorkbook();
    XlsxWorkbook(const XlsxWorkbook&) = delete;
    XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

    // The sheet of that name; throws XlsxError when the template has none.
    XlsxSheet& sheet(const QString& name);

    // Writes the workbook to `path`, which is replaced whole (an empty file, reserved by
    // the caller, or none); throws XlsxError, and then `path` is left as it was.
    void saveAs(const QString& path);

private:
    QString m_templatePath;
    QChar m_decimalPoint;
    QByteArray m_template;
    struct zip* m_zip = nullptr; // the template, read from m_template
    std::map<QString, QString> m_sheetParts; // sheet name -> part name in the zip
    std::map<QString, std::unique_ptr<XlsxSheet>> m_sheets; // by part name, when opened

    QByteArray readPart(const QString& name) const;
    [[noreturn]] void notAWorkbook(const QString& why) const;
};

// Saves the workbook as a new file "<baseName> XXXXXX.xlsx" in `folder` (no earlier file is
// overwritten) and returns its path; throws XlsxError, and then no file is left behind.
QString saveAsNewFile(XlsxWorkbook& workbook, const QString& folder, const QString& baseName);

class XlsxSheet {
public:
    ~XlsxSheet();
    // Sets the cell (1-based row and column) to what typing `text` gives (see
    // numberCellValue); an empty text clears the cell's value. The cell keeps its style; a
    // new cell takes its column's style, as typing into an empty cell does.
    void setCell(int row, int column, const QString& text);
    QByteArray xml() const; // the part as it now reads

private:
    friend class XlsxWorkbook;
    XlsxSheet(const QString& partName, const QByteArray& xml, QChar decimalPoint);
    struct Impl;
    std::unique_ptr<Impl> d;
};
