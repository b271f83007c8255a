#include "trialbalance/Xlsx.h"

#include <QDir>
#include <QTemporaryFile>

#include <QFile>
#include <QRegularExpression>

#include <pugixml.hpp>
#include <zip.h>

#include <cstdio>
#include <cstring>
#include <vector>

// Numbers -------------------------------------------------------------------------

std::optional<QString> numberCellValue(const QString& text, QChar decimalPoint)
{
    // A double holds 15 significant digits exactly; counting every digit is the simple,
    // safe side of that.
    constexpr int kMaxDigits = 15;
    const int n = int(text.size());
    int i = 0;
    if (i < n && text[i] == QLatin1Char('-'))
        ++i;
    const int intStart = i;
    while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))
        ++i;
    const int intDigits = i - intStart;
    if (intDigits == 0 || (intDigits > 1 && text[intStart] == QLatin1Char('0')))
        return std::nullopt;
    int fracDigits = 0;
    if (i < n && text[i] == decimalPoint) {
        ++i;
        const int fracStart = i;
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))
            ++i;
        fracDigits = i - fracStart;
        if (fracDigits == 0 || text[i - 1] == QLatin1Char('0'))
            return std::nullopt;
    }
    if (i != n || intDigits + fracDigits > kMaxDigits)
        return std::nullopt;
    // "-0" would show as 0.
    if (text[0] == QLatin1Char('-') && intDigits == 1 && text[intStart] == QLatin1Char('0')
        && fracDigits == 0)
        return std::nullopt;
    QString value = text;
    if (fracDigits > 0)
        value[intStart + intDigits] = QLatin1Char('.');
    return value;
}

QString xmlSafeText(const QString& text)
{
    QString out;
    const int n = int(text.size());
    for (int i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        const bool allowedControl = u == 0x9 || u == 0xA || u == 0xD;
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            if (!out.isNull())
                out.append(text[i]).append(text[i + 1]);
            ++i;
            continue;
        }
        const bool bad = (u < 0x20 && !allowedControl) || QChar::isSurrogate(u) || u == 0xFFFE || u == 0xFFFF;
        if (bad && out.isNull())
            out = text.left(i);
        if (!out.isNull())
            out.append(bad ? QChar(QChar::ReplacementCharacter) : text[i]);
    }
    return out.isNull() ? text : out;
}

QString inlineStringText(const QString& text)
{
    QString safe = xmlSafeText(text);
    static const QRegularExpression escape(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    if (safe.contains(QLatin1String("_x")))
        safe.replace(escape, QStringLiteral("_x005F_"));
    return safe;
}

namespace {
// Row and column of an "A1" reference; {0, 0} when it is not one.
std::pair<int, int> parseReference(const char* ref)
{
    int column = 0, row = 0;
    const char* p = ref;
    for (; *p >= 'A' && *p <= 'Z'; ++p)
        column = column * 26 + (*p - 'A' + 1);
    for (; *p >= '0' && *p <= '9'; ++p)
        row = row * 10 + (*p - '0');
    if (*p != '\0' || column == 0 || row == 0)
        return {0, 0};
    return {row, column};
}

int columnOfCell(pugi::xml_node c) { return parseReference(c.attribute("r").value()).second; }

// The "A1" reference of a cell, written into a buffer: no string per cell.
const char* referenceText(char (&buffer)[24], int row, int column)
{
    char letters[8];
    int n = 0;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters[n++] = char('A' + (c - 1) % 26);
    int at = 0;
    while (n > 0)
        buffer[at++] = letters[--n];
    std::snprintf(buffer + at, sizeof buffer - size_t(at), "%d", row);
    return buffer;
}

class ByteWriter : public pugi::xml_writer {
public:
    QByteArray bytes;
    void write(const void* data, size_t size) override
    {
        bytes.append(static_cast<const char*>(data), qsizetype(size));
    }
};

// Part names inside the zip have no leading slash; targets are relative to the folder of
// the part whose relationships name them, or absolute.
QString resolveTarget(const QString& sourcePart, const QString& target)
{
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    const int slash = int(sourcePart.lastIndexOf(QLatin1Char('/')));
    QStringList path = slash < 0 ? QStringList() : sourcePart.left(slash).split(QLatin1Char('/'));
    for (const QString& step : target.split(QLatin1Char('/'))) {
        if (step == QLatin1String(".."))
            path.removeLast();
        else if (step != QLatin1String("."))
            path.append(step);
    }
    return path.join(QLatin1Char('/'));
}

QString relsOf(const QString& part)
{
    const int slash = int(part.lastIndexOf(QLatin1Char('/')));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

QString zipMessage(zip_error_t* error) { return QString::fromLocal8Bit(zip_error_strerror(error)); }
}

QString cellReference(int row, int column)
{
    char buffer[24];
    return QString::fromLatin1(referenceText(buffer, row, column));
}

// Workbook ------------------------------------------------------------------------

XlsxWorkbook::XlsxWorkbook(const QString& templatePath, QChar decimalPoint)
    : m_templatePath(templatePath), m_decimalPoint(decimalPoint)
{
    QFile file(templatePath);
    if (!file.exists())
        throw XlsxError(QStringLiteral("The spreadsheet template \"%1\" does not exist.").arg(templatePath));
    if (!file.open(QIODevice::ReadOnly))
        throw XlsxError(QStringLiteral("The spreadsheet template \"%1\" could not be read: %2.")
                            .arg(templatePath, file.errorString()));
    m_template = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw XlsxError(QStringLiteral("The spreadsheet template \"%1\" could not be read: %2.")
                            .arg(templatePath, file.errorString()));

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source
        = zip_source_buffer_create(m_template.constData(), zip_uint64_t(m_template.size()), 0, &error);
    if (source)
        m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!m_zip) {
        zip_source_free(source);
        const QString why = zipMessage(&error);
        zip_error_fini(&error);
        notAWorkbook(why);
    }
    zip_error_fini(&error);

    // The package's relationships name the workbook part; the workbook's name its sheets.
    auto parse = [this](const QString& part, pugi::xml_document& doc) {
        const QByteArray xml = readPart(part);
        if (!doc.load_buffer(xml.constData(), size_t(xml.size())))
            notAWorkbook(QStringLiteral("%1 is not readable XML").arg(part));
    };
    pugi::xml_document rels;
    parse(QStringLiteral("_rels/.rels"), rels);
    QString workbookPart;
    for (pugi::xml_node r : rels.child("Relationships").children("Relationship"))
        if (QString::fromUtf8(r.attribute("Type").value()).endsWith(QLatin1String("/officeDocument")))
            workbookPart = resolveTarget(QString(), QString::fromUtf8(r.attribute("Target").value()));
    if (workbookPart.isEmpty())
        notAWorkbook(QStringLiteral("it names no workbook part"));

    pugi::xml_document workbookRels, workbook;
    parse(relsOf(workbookPart), workbookRels);
    parse(workbookPart, workbook);
    std::map<QString, QString> targets;
    for (pugi::xml_node r : workbookRels.child("Relationships").children("Relationship"))
        targets[QString::fromUtf8(r.attribute("Id").value())]
            = resolveTarget(workbookPart, QString::fromUtf8(r.attribute("Target").value()));
    for (pugi::xml_node s : workbook.child("workbook").child("sheets").children("sheet")) {
        // The relationship id's attribute is r:id with whatever prefix the part chose.
        for (pugi::xml_attribute a : s.attributes()) {
            const QString attr = QString::fromUtf8(a.name());
            if (attr.endsWith(QLatin1String(":id")) && targets.count(QString::fromUtf8(a.value())))
                m_sheetParts[QString::fromUtf8(s.attribute("name").value())]
                    = targets[QString::fromUtf8(a.value())];
        }
    }
}

XlsxWorkbook::~XlsxWorkbook()
{
    if (m_zip)
        zip_discard(m_zip);
}

void XlsxWorkbook::notAWorkbook(const QString& why) const
{
    throw XlsxError(
        QStringLiteral("The spreadsheet template \"%1\" is not a workbook (%2).").arg(m_templatePath, why));
}

QByteArray XlsxWorkbook::readPart(const QString& name) const
{
    const QByteArray utf8 = name.toUtf8();
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(m_zip, utf8.constData(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        notAWorkbook(QStringLiteral("%1 is missing").arg(name));
    QByteArray bytes(qsizetype(st.size), Qt::Uninitialized);
    zip_file_t* f = zip_fopen(m_zip, utf8.constData(), 0);
    const zip_int64_t got = f ? zip_fread(f, bytes.data(), st.size) : -1;
    if (f)
        zip_fclose(f);
    if (got != zip_int64_t(st.size))
        notAWorkbook(QStringLiteral("%1 cannot be unpacked: %2")
                         .arg(name, QString::fromLocal8Bit(zip_strerror(m_zip))));
    return bytes;
}

XlsxSheet& XlsxWorkbook::sheet(const QString& name)
{
    const auto part = m_sheetParts.find(name);
    if (part == m_sheetParts.end())
        throw XlsxError(QStringLiteral("The spreadsheet template \"%1\" has no sheet named \"%2\".")
                            .arg(m_templatePath, name));
    std::unique_ptr<XlsxSheet>& sheet = m_sheets[part->second];
    if (!sheet)
        sheet.reset(new XlsxSheet(part->second, readPart(part->second), m_decimalPoint));
    return *sheet;
}

void XlsxWorkbook::saveAs(const QString& path)
{
    auto fail = [&path](const QString& why) {
        throw XlsxError(QStringLiteral("The workbook \"%1\" could not be written: %2.").arg(path, why));
    };
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString why = zipMessage(&error);
        zip_error_fini(&error);
        fail(why);
    }
    // The template's parts in the template's order: the unchanged ones copied from it, the
    // changed sheets from their XML (kept alive until zip_close reads them).
    std::vector<QByteArray> contents;
    contents.reserve(m_sheets.size());
    const zip_int64_t entries = zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        zip_source_t* source = nullptr;
        const auto sheet = zip_stat_index(m_zip, zip_uint64_t(i), 0, &st) == 0
            ? m_sheets.find(QString::fromUtf8(st.name))
            : m_sheets.end();
        if (sheet != m_sheets.end()) {
            contents.push_back(sheet->second->xml());
            source = zip_source_buffer(
                archive, contents.back().constData(), zip_uint64_t(contents.back().size()), 0);
        } else {
            source = zip_source_zip(archive, m_zip, zip_uint64_t(i), 0, 0, 0);
        }
        const zip_int64_t index = source ? zip_file_add(archive, st.name, source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            const QString why = QString::fromLocal8Bit(zip_strerror(archive));
            zip_discard(archive);
            fail(why);
        }
        if (st.valid & ZIP_STAT_MTIME)
            zip_file_set_mtime(archive, zip_uint64_t(index), st.mtime, 0);
        // A large sheet at the fastest deflate level: libzip's default, the best, takes
        // several times as long for a file only somewhat smaller.
        if (sheet != m_sheets.end())
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
    }
    // zip_close writes a temporary file beside the target and renames it over the target.
    if (zip_close(archive) != 0) {
        const QString why = QString::fromLocal8Bit(zip_strerror(archive));
        zip_discard(archive);
        fail(why);
    }
}

// Sheet ---------------------------------------------------------------------------

struct XlsxSheet::Impl {
    QChar decimalPoint;
    pugi::xml_document doc;
    pugi::xml_node worksheet, sheetData;
    std::map<int, pugi::xml_node> rows;
    struct ColumnStyle {
        int min, max;
        const char* style;
    };
    std::vector<ColumnStyle> columnStyles;

    pugi::xml_node row(int r, bool create)
    {
        const auto found = rows.find(r);
        if (found != rows.end())
            return found->second;
        if (!create)
            return {};
        const auto next = rows.upper_bound(r);
        pugi::xml_node node = next == rows.end() ? sheetData.append_child("row")
                                                 : sheetData.insert_child_before("row", next->second);
        node.append_attribute("r").set_value(r);
        rows.emplace(r, node);
        return node;
    }

    pugi::xml_node cell(pugi::xml_node row, int r, int column, bool create)
    {
        // Cells are written left to right, so the usual case appends.
        pugi::xml_node last = row.last_child();
        while (last && std::strcmp(last.name(), "c") != 0)
            last = last.previous_sibling();
        pugi::xml_node before;
        if (last && columnOfCell(last) >= column) {
            for (pugi::xml_node c = row.child("c"); c; c = c.next_sibling("c")) {
                const int at = columnOfCell(c);
                if (at == column)
                    return c;
                if (at > column) {
                    before = c;
                    break;
                }
            }
        }
        if (!create)
            return {};
        // A row whose cells are about to change no longer matches a spans hint.
        row.remove_attribute("spans");
        pugi::xml_node c = before ? row.insert_child_before("c", before) : row.append_child("c");
        char reference[24];
        c.append_attribute("r").set_value(referenceText(reference, r, column));
        // Typing into an empty cell gives it the row's style, else the column's.
        const char* style = nullptr;
        if (row.attribute("customFormat").as_bool())
            style = row.attribute("s").value();
        else
            for (const ColumnStyle& cs : columnStyles)
                if (column >= cs.min && column <= cs.max)
                    style = cs.style;
        if (style && *style && std::strcmp(style, "0") != 0)
            c.append_attribute("s").set_value(style);
        return c;
    }
};

XlsxSheet::XlsxSheet(const QString& partName, const QByteArray& xml, QChar decimalPoint) : d(new Impl)
{
    d->decimalPoint = decimalPoint;
    // Whitespace-only texts are kept: a cell may hold just blanks.
    if (!d->doc.load_buffer(xml.constData(), size_t(xml.size()),
            pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata))
        throw XlsxError(
            QStringLiteral("The sheet %1 of the spreadsheet template is not readable XML.").arg(partName));
    d->worksheet = d->doc.child("worksheet");
    d->sheetData = d->worksheet.child("sheetData");
    if (!d->sheetData)
        throw XlsxError(
            QStringLiteral("The sheet %1 of the spreadsheet template has no cells part.").arg(partName));
    int previous = 0;
    for (pugi::xml_node r : d->sheetData.children("row")) {
        // Row numbers may be left out: then a row follows the one before it.
        int number = r.attribute("r").as_int(previous + 1);
        if (!r.attribute("r"))
            r.append_attribute("r").set_value(number);
        d->rows[number] = r;
        previous = number;
        int column = 0;
        for (pugi::xml_node c : r.children("c")) {
            char reference[24];
            if (!c.attribute("r"))
                c.append_attribute("r").set_value(referenceText(reference, number, column + 1));
            column = columnOfCell(c);
        }
    }
    for (pugi::xml_node col : d->worksheet.child("cols").children("col"))
        if (col.attribute("style"))
            d->columnStyles.push_back({col.attribute("min").as_int(), col.attribute("max").as_int(),
                col.attribute("style").value()});
}

XlsxSheet::~XlsxSheet() = default;

void XlsxSheet::setCell(int row, int column, const QString& rawText)
{
    const QString text = inlineStringText(rawText);
    const bool empty = text.isEmpty();
    pugi::xml_node r = d->row(row, !empty);
    pugi::xml_node c = r ? d->cell(r, row, column, !empty) : pugi::xml_node();
    if (!c)
        return;
    c.remove_attribute("t");
    for (const char* child : {"f", "v", "is"})
        while (c.remove_child(child)) { }
    if (empty)
        return;
    if (const std::optional<QString> number = numberCellValue(text, d->decimalPoint)) {
        c.append_child("v").text().set(number->toLatin1().constData());
        return;
    }
    c.append_attribute("t").set_value("inlineStr");
    pugi::xml_node t = c.append_child("is").append_child("t");
    if (text.front().isSpace() || text.back().isSpace())
        t.append_attribute("xml:space").set_value("preserve");
    t.text().set(text.toUtf8().constData());
}

QByteArray XlsxSheet::xml() const
{
    // The used range, from every cell the sheet has.
    int minRow = 0, maxRow = 0, minColumn = 0, maxColumn = 0;
    for (const auto& [number, r] : d->rows)
        for (pugi::xml_node c = r.child("c"); c; c = c.next_sibling("c")) {
            const int column = columnOfCell(c);
            if (minRow == 0)
                minRow = number;
            maxRow = number;
            minColumn = minColumn == 0 ? column : std::min(minColumn, column);
            maxColumn = std::max(maxColumn, column);
        }
    const QString range = minRow == 0 ? QStringLiteral("A1")
        : minRow == maxRow && minColumn == maxColumn
        ? cellReference(minRow, minColumn)
        : cellReference(minRow, minColumn) + QLatin1Char(':') + cellReference(maxRow, maxColumn);
    pugi::xml_node dimension = d->worksheet.child("dimension");
    if (!dimension) {
        // It stands after sheetPr, when there is one, before everything else.
        pugi::xml_node sheetPr = d->worksheet.child("sheetPr");
        dimension = sheetPr ? d->worksheet.insert_child_after("dimension", sheetPr)
                            : d->worksheet.prepend_child("dimension");
    }
    if (!dimension.attribute("ref"))
        dimension.append_attribute("ref");
    dimension.attribute("ref").set_value(range.toLatin1().constData());

    ByteWriter writer;
    d->doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.bytes;
}

QString saveAsNewFile(XlsxWorkbook& workbook, const QString& folder, const QString& baseName)
{
    // The name is reserved by creating the file, so two exports never share one.
    QTemporaryFile reserved(QDir(folder).filePath(baseName + QStringLiteral(" XXXXXX.xlsx")));
    reserved.setAutoRemove(false);
    if (!reserved.open())
        throw XlsxError(QStringLiteral("The workbook could not be made in the folder \"%1\": %2.")
                            .arg(QDir::toNativeSeparators(folder), reserved.errorString()));
    const QString path = reserved.fileName();
    reserved.close();
    try {
        workbook.saveAs(path);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
    return path;
}
