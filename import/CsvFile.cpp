#include "import/CsvFile.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <csv.h>

namespace {
// The characters Windows-1252 puts at 0x80 to 0x9F (0xFFFD where it defines none); every
// other byte is the Unicode code point of the same value.
constexpr char16_t Windows1252High[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D,
    0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

const QByteArray Utf8Mark("\xEF\xBB\xBF", 3);

// libcsv's state between records (its ROW_NOT_BEGUN): a line fed in this state starts the
// next record, unless it is blank.
constexpr int RowNotBegun = 0;

// What libcsv hands the callbacks: fields are decoded as they end, a record is kept when
// it ends, with the line it started on.
struct Reader {
    TextEncoding encoding;
    qsizetype line = 1; // the line being fed to the parser
    qsizetype start = 1; // the line the current record started on
    qsizetype limit = -1;
    QStringList fields;
    QList<CsvRow> rows;

    static void field(void* data, size_t length, void* self)
    {
        auto* r = static_cast<Reader*>(self);
        const auto bytes = QByteArray::fromRawData(static_cast<const char*>(data), qsizetype(length));
        r->fields << decodeText(bytes, r->encoding);
    }
    static void record(int, void* self)
    {
        auto* r = static_cast<Reader*>(self);
        if (r->limit < 0 || r->rows.size() < r->limit)
            r->rows.append({r->start, r->fields});
        r->fields.clear();
    }
};

// No space is trimmed: a field holds exactly what the file holds between its delimiters.
int noSpace(unsigned char) { return 0; }

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    (void)text;
    return !decoder.hasError();
}

// Whether a heading row's cell would rather be data: an amount or a date.
bool looksLikeData(const QString& cell)
{
    static const QRegularExpression number(QStringLiteral("^\\s*-?[\\d.,' ]*\\d[\\d.,' ]*$"));
    static const QRegularExpression date(QStringLiteral("^\\d{1,4}[-/.]\\d{1,2}[-/.]\\d{1,4}$"));
    return number.match(cell).hasMatch() || date.match(cell.trimmed()).hasMatch();
}
}

qsizetype CsvTable::columnCount() const
{
    qsizetype count = headings.size();
    for (const CsvRow& row : rows)
        count = std::max(count, row.fields.size());
    return count;
}

QString csvFileTooLarge(qint64 bytes)
{
    return QStringLiteral("The file is %1 MB; files of more than %2 MB are not imported.  Split it into "
                          "smaller files and import them one after the other.")
        .arg(QString::number(double(bytes) / (1024 * 1024), 'f', 1))
        .arg(MaxCsvFileBytes / (1024 * 1024));
}

QString decodeText(const QByteArray& bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return QString::fromUtf8(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? Windows1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

CsvTable readCsv(const QByteArray& data, const CsvFormat& format, qsizetype limit)
{
    CsvTable table;
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) {
        table.error = QStringLiteral("The CSV reader could not be started.");
        return table;
    }
    csv_set_delim(&parser, static_cast<unsigned char>(format.delimiter));
    csv_set_space_func(&parser, noSpace);
    Reader reader{format.encoding, 1, 1, limit < 0 ? -1 : limit + (format.headings ? 1 : 0), {}, {}};
    const qsizetype start = format.byteOrderMark && data.startsWith(Utf8Mark) ? Utf8Mark.size() : 0;
    const char* p = data.constData() + start;
    const char* const end = data.constData() + data.size();
    // Fed a line at a time, so the parser's callbacks know the line they are on.
    while (p < end && (reader.limit < 0 || reader.rows.size() < reader.limit)) {
        const void* nl = std::memchr(p, '\n', size_t(end - p));
        const char* next = nl ? static_cast<const char*>(nl) + 1 : end;
        const size_t length = size_t(next - p);
        if (parser.pstate == RowNotBegun)
            reader.start = reader.line;
        if (csv_parse(&parser, p, length, Reader::field, Reader::record, &reader) != length) {
            table.error = QStringLiteral("Line %1 cannot be read: %2.")
                              .arg(reader.line)
                              .arg(QString::fromLatin1(csv_strerror(csv_error(&parser))));
            break;
        }
        p = next;
        if (nl)
            ++reader.line;
    }
    if (table.error.isEmpty() && (reader.limit < 0 || reader.rows.size() < reader.limit)
        && csv_fini(&parser, Reader::field, Reader::record, &reader) != 0) {
        table.error = QStringLiteral("A quoted field of the row that starts on line %1 is never closed.")
                          .arg(reader.start);
    }
    csv_free(&parser);
    table.rows = std::move(reader.rows);
    if (format.headings && !table.rows.isEmpty())
        table.headings = table.rows.takeFirst().fields;
    return table;
}

CsvFormat detectCsvFormat(const QByteArray& data)
{
    CsvFormat format;
    format.byteOrderMark = data.startsWith(Utf8Mark);
    // The first rows are enough to tell; a cut through a UTF-8 sequence is not an error.
    const QByteArray sample = data.left(64 * 1024);
    format.encoding
        = format.byteOrderMark || isValidUtf8(data) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    // The delimiter that gives the most rows of the first row's width, more than one field.
    int best = -1;
    for (const char candidate : {',', ';', '\t'}) {
        CsvFormat trial = format;
        trial.delimiter = candidate;
        const CsvTable rows = readCsv(sample, trial, 20);
        if (rows.rows.isEmpty() || rows.rows.first().fields.size() < 2)
            continue;
        const qsizetype width = rows.rows.first().fields.size();
        const int even = int(std::count_if(rows.rows.begin(), rows.rows.end(),
            [width](const CsvRow& r) { return r.fields.size() == width; }));
        if (even > best) {
            best = even;
            format.delimiter = candidate;
        }
    }
    const CsvTable firstRows = readCsv(sample, format, 2);
    if (firstRows.rows.size() == 2) {
        const QStringList& first = firstRows.rows[0].fields;
        const QStringList& second = firstRows.rows[1].fields;
        format.headings = std::none_of(first.begin(), first.end(), looksLikeData)
            && std::any_of(second.begin(), second.end(), looksLikeData);
    }
    return format;
}
