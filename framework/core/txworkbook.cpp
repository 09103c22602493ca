#include "txworkbook.h"

#include "txziparchive.h"
#include "xexception.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <xlsxwriter.h>

namespace {

const QString kSpreadsheetErrorClass = QStringLiteral("EOleException");

XException SpreadsheetError(const QString& message)
{
    return XException(message, kSpreadsheetErrorClass);
}

// Spreadsheet dates count days from 1899-12-30 (day 1 is 1900-01-01, leap bug included).
const QDate kDateEpoch(1899, 12, 30);

double DateSerial(const QDateTime& value)
{
    return double(kDateEpoch.daysTo(value.date())) +
           double(value.time().msecsSinceStartOfDay()) / 86400000.0;
}

// Letters of a cell reference to a 1-based column; 0 when malformed.
int ColumnFromLetters(QStringView letters)
{
    int column = 0;
    for (const QChar c : letters) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            return 0;
        column = column * 26 + (u - u'A' + 1);
        if (column > TXWorkbook::kMaxColumns)
            return 0;
    }
    return column;
}

// "B12" to 0-based row and column; false when malformed or out of limits.
bool ParseCellRef(QStringView text, int* row, int* column)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\$?([A-Za-z]{1,3})\\$?([0-9]{1,7})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const int c = ColumnFromLetters(match.capturedView(1));
    const int r = match.capturedView(2).toInt();
    if (c < 1 || r < 1 || r > TXWorkbook::kMaxRows)
        return false;
    *row = r - 1;
    *column = c - 1;
    return true;
}

// Width the spreadsheet needs to show the text of a cell, in characters.
int DisplayLength(const QVariant& value, TXNumberFormat format)
{
    switch (format) {
    case TXNumberFormat::Date:
        return 10;
    case TXNumberFormat::DateTime:
        return 19;
    case TXNumberFormat::Whole:
        return int(QString::number(value.toDouble(), 'f', 0).size());
    case TXNumberFormat::General:
        break;
    }
    if (value.typeId() == QMetaType::Double)
        return int(QString::number(value.toDouble(), 'g', 15).size());
    if (value.typeId() == QMetaType::Bool)
        return 5;
    return int(value.toString().size());
}

// Whole numbers up to 15 digits are exact in a double and shown digit by digit.
bool IsWholeNumber(double value)
{
    return std::abs(value) < 1e15 && value == std::trunc(value);
}

} // namespace

size_t qHash(const TXCellStyle& style, size_t seed) noexcept
{
    return qHashMulti(seed, style.Fill.value_or(0x1000000), style.Alignment, style.Border,
                      quint8(style.NumberFormat));
}

struct TXWorkbook::Cell
{
    enum class Kind : quint8 { Empty, Number, Boolean, Text };
    double Number = 0;
    QString Text;
    quint16 Style = 0;
    Kind Type = Kind::Empty;
};

struct TXWorkbook::Sheet
{
    QString Name;
    std::vector<std::vector<Cell>> Rows;
    std::map<int, double> Widths;
};

TXWorkbook::TXWorkbook(const QString& sheetName) : m_styles(1)
{
    m_styleIndex.insert(m_styles.front(), 0);
    m_sheets.push_back(std::make_unique<Sheet>());
    m_sheets.back()->Name = sheetName;
}

TXWorkbook::~TXWorkbook() = default;

int TXWorkbook::SheetCount() const
{
    return int(m_sheets.size());
}

int TXWorkbook::AddSheet(const QString& name)
{
    m_sheets.push_back(std::make_unique<Sheet>());
    m_sheets.back()->Name = name;
    return SheetCount() - 1;
}

QString TXWorkbook::SheetName(int sheet) const
{
    return SheetAt(sheet).Name;
}

TXWorkbook::Sheet& TXWorkbook::SheetAt(int sheet)
{
    return const_cast<Sheet&>(std::as_const(*this).SheetAt(sheet));
}

const TXWorkbook::Sheet& TXWorkbook::SheetAt(int sheet) const
{
    if (sheet < 0 || sheet >= SheetCount())
        throw SpreadsheetError(QStringLiteral("Planilha %1 inexistente.").arg(sheet + 1));
    return *m_sheets[size_t(sheet)];
}

TXWorkbook::Cell& TXWorkbook::CellAt(Sheet& sheet, int row, int column)
{
    if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns)
        throw SpreadsheetError(
            QStringLiteral("Célula fora dos limites da planilha (linha %1, coluna %2).")
                .arg(row + 1)
                .arg(column + 1));
    if (size_t(row) >= sheet.Rows.size())
        sheet.Rows.resize(size_t(row) + 1);
    std::vector<Cell>& cells = sheet.Rows[size_t(row)];
    if (size_t(column) >= cells.size())
        cells.resize(size_t(column) + 1);
    return cells[size_t(column)];
}

void TXWorkbook::SetValue(int sheet, int row, int column, const QVariant& value)
{
    Sheet& target = SheetAt(sheet);
    if (value.isNull()) {
        // Emptying a cell keeps its formatting; a cell never stored stays absent.
        if (size_t(row) < target.Rows.size() && size_t(column) < target.Rows[size_t(row)].size()) {
            Cell& cell = target.Rows[size_t(row)][size_t(column)];
            cell.Type = Cell::Kind::Empty;
            cell.Number = 0;
            cell.Text.clear();
        }
        return;
    }
    QString text;
    Cell::Kind kind = Cell::Kind::Number;
    double number = 0;
    TXNumberFormat format = TXNumberFormat::General;
    switch (value.typeId()) {
    case QMetaType::Bool:
        kind = Cell::Kind::Boolean;
        number = value.toBool() ? 1 : 0;
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        number = value.toDouble();
        if (IsWholeNumber(number))
            format = TXNumberFormat::Whole;
        break;
    case QMetaType::QDate:
        number = double(kDateEpoch.daysTo(value.toDate()));
        format = TXNumberFormat::Date;
        break;
    case QMetaType::QDateTime:
        number = DateSerial(value.toDateTime());
        format = TXNumberFormat::DateTime;
        break;
    default:
        kind = Cell::Kind::Text;
        text = value.toString();
        if (text.size() > kMaxTextLength)
            throw SpreadsheetError(
                QStringLiteral("Texto com mais de %1 caracteres.").arg(kMaxTextLength));
    }
    Cell& cell = CellAt(target, row, column);
    if (format != TXNumberFormat::General || m_styles[cell.Style].NumberFormat != format) {
        TXCellStyle style = m_styles[cell.Style];
        style.NumberFormat = format;
        cell.Style = InternStyle(style);
    }
    cell.Type = kind;
    cell.Number = number;
    cell.Text = std::move(text);
}

QVariant TXWorkbook::Value(int sheet, int row, int column) const
{
    const Sheet& source = SheetAt(sheet);
    if (row < 0 || column < 0 || size_t(row) >= source.Rows.size() ||
        size_t(column) >= source.Rows[size_t(row)].size())
        return {};
    const Cell& cell = source.Rows[size_t(row)][size_t(column)];
    switch (cell.Type) {
    case Cell::Kind::Number:
        return cell.Number;
    case Cell::Kind::Boolean:
        return cell.Number != 0;
    case Cell::Kind::Text:
        return cell.Text;
    case Cell::Kind::Empty:
        break;
    }
    return {};
}

TXCellStyle TXWorkbook::Style(int sheet, int row, int column) const
{
    const Sheet& source = SheetAt(sheet);
    if (row < 0 || column < 0 || size_t(row) >= source.Rows.size() ||
        size_t(column) >= source.Rows[size_t(row)].size())
        return {};
    return m_styles[source.Rows[size_t(row)][size_t(column)].Style];
}

quint16 TXWorkbook::InternStyle(const TXCellStyle& style)
{
    if (const auto it = m_styleIndex.constFind(style); it != m_styleIndex.cend())
        return it.value();
    // The file format itself allows no more distinct cell formats than this.
    if (m_styles.size() >= 64000)
        throw SpreadsheetError(QStringLiteral("Formatos de célula demais na pasta de trabalho."));
    m_styles.push_back(style);
    const auto index = quint16(m_styles.size() - 1);
    m_styleIndex.insert(style, index);
    return index;
}

template <typename Change>
void TXWorkbook::Restyle(int sheet, const TXCellRange& range, Change change)
{
    Sheet& target = SheetAt(sheet);
    // A range holds few distinct styles: remember each one's restyled index.
    QHash<quint16, quint16> restyled;
    for (int row = range.Top; row <= range.Bottom; ++row) {
        for (int column = range.Left; column <= range.Right; ++column) {
            Cell& cell = CellAt(target, row, column);
            auto it = restyled.constFind(cell.Style);
            if (it == restyled.cend()) {
                TXCellStyle style = m_styles[cell.Style];
                change(style);
                it = restyled.insert(cell.Style, InternStyle(style));
            }
            cell.Style = it.value();
        }
    }
}

void TXWorkbook::SetFill(int sheet, const TXCellRange& range, quint32 rgb)
{
    Restyle(sheet, range, [rgb](TXCellStyle& style) { style.Fill = rgb & 0xFFFFFF; });
}

void TXWorkbook::SetAlignment(int sheet, const TXCellRange& range, quint8 alignment)
{
    Restyle(sheet, range, [alignment](TXCellStyle& style) { style.Alignment = alignment; });
}

void TXWorkbook::SetBorder(int sheet, const TXCellRange& range, quint8 border)
{
    Restyle(sheet, range, [border](TXCellStyle& style) { style.Border = border; });
}

void TXWorkbook::AutoFitColumns(int sheet, int firstColumn, int lastColumn)
{
    Sheet& target = SheetAt(sheet);
    std::vector<int> longest(size_t(lastColumn - firstColumn + 1), 0);
    for (int row = 0; row < int(target.Rows.size()); ++row) {
        const int last = std::min(lastColumn, int(target.Rows[size_t(row)].size()) - 1);
        for (int column = firstColumn; column <= last; ++column) {
            const QVariant value = Value(sheet, row, column);
            if (value.isValid()) {
                const TXNumberFormat format =
                    m_styles[target.Rows[size_t(row)][size_t(column)].Style].NumberFormat;
                int& width = longest[size_t(column - firstColumn)];
                width = std::max(width, DisplayLength(value, format));
            }
        }
    }
    for (int column = firstColumn; column <= lastColumn; ++column) {
        if (const int length = longest[size_t(column - firstColumn)]; length > 0)
            target.Widths[column] = std::min(255.0, length + 1.0); // 255: widest a column gets
    }
}

std::optional<double> TXWorkbook::ColumnWidth(int sheet, int column) const
{
    const Sheet& source = SheetAt(sheet);
    const auto it = source.Widths.find(column);
    if (it == source.Widths.end())
        return std::nullopt;
    return it->second;
}

bool TXWorkbook::ParseRange(const QString& text, TXCellRange* range)
{
    const QStringView trimmed = QStringView(text).trimmed();
    const qsizetype colon = trimmed.indexOf(u':');
    const QStringView first = colon < 0 ? trimmed : trimmed.left(colon);
    const QStringView second = colon < 0 ? trimmed : trimmed.mid(colon + 1);
    int top = 0, left = 0, bottom = 0, right = 0;
    if (!ParseCellRef(first, &top, &left) || !ParseCellRef(second, &bottom, &right))
        return false;
    *range = {std::min(top, bottom), std::min(left, right), std::max(top, bottom),
              std::max(left, right)};
    return true;
}

// ---- Writing ----------------------------------------------------------------

namespace {

// Frees an unfinished libxlsxwriter workbook when writing is abandoned.
struct XlsxWorkbookGuard
{
    lxw_workbook* Book = nullptr;
    ~XlsxWorkbookGuard()
    {
        if (Book)
            lxw_workbook_free(Book);
    }
};

void Check(lxw_error error)
{
    if (error != LXW_NO_ERROR)
        throw SpreadsheetError(QString::fromUtf8(lxw_strerror(error)));
}

lxw_format* MakeFormat(lxw_workbook* book, const TXCellStyle& style)
{
    lxw_format* format = workbook_add_format(book);
    if (!format)
        throw SpreadsheetError(QStringLiteral("Memória insuficiente para os formatos."));
    if (style.Fill)
        format_set_bg_color(format, *style.Fill == 0 ? lxw_color_t(LXW_COLOR_BLACK)
                                                     : lxw_color_t(*style.Fill));
    if (style.Alignment)
        format_set_align(format, style.Alignment);
    if (style.Border)
        format_set_border(format, style.Border);
    if (style.NumberFormat == TXNumberFormat::Whole)
        format_set_num_format_index(format, 1); // the built-in "0"
    else if (style.NumberFormat == TXNumberFormat::Date)
        format_set_num_format(format, "dd/mm/yyyy");
    else if (style.NumberFormat == TXNumberFormat::DateTime)
        format_set_num_format(format, "dd/mm/yyyy hh:mm:ss");
    return format;
}

} // namespace

void TXWorkbook::WriteXlsx(const QString& path) const
{
    // Big workbooks stream their rows to a temporary file instead of keeping a second copy in
    // memory (the rows of our model are already in order); small ones share repeated texts.
    size_t cells = 0;
    for (const auto& sheet : m_sheets) {
        for (const auto& row : sheet->Rows)
            cells += row.size();
    }
    lxw_workbook_options options = {};
    options.constant_memory = cells > kConstantMemoryCells ? LXW_TRUE : LXW_FALSE;
    const QByteArray nativePath = QFile::encodeName(path);
    XlsxWorkbookGuard guard{workbook_new_opt(nativePath.constData(), &options)};
    if (!guard.Book)
        throw SpreadsheetError(QStringLiteral("Não foi possível criar a pasta de trabalho."));

    std::vector<lxw_format*> formats(m_styles.size(), nullptr);
    auto formatOf = [&](quint16 index) -> lxw_format* {
        if (index == 0)
            return nullptr;
        if (!formats[index])
            formats[index] = MakeFormat(guard.Book, m_styles[index]);
        return formats[index];
    };

    for (size_t s = 0; s < m_sheets.size(); ++s) {
        const Sheet& sheet = *m_sheets[s];
        const QByteArray name = sheet.Name.toUtf8();
        lxw_worksheet* worksheet = workbook_add_worksheet(guard.Book, name.constData());
        if (!worksheet)
            throw SpreadsheetError(QStringLiteral("Não foi possível criar a planilha ") +
                                   sheet.Name + QLatin1Char('.'));
        if (int(s) == m_activeSheet)
            worksheet_activate(worksheet);
        for (const auto& [column, width] : sheet.Widths)
            Check(worksheet_set_column(worksheet, lxw_col_t(column), lxw_col_t(column), width,
                                       nullptr));
        for (size_t r = 0; r < sheet.Rows.size(); ++r) {
            const std::vector<Cell>& cells = sheet.Rows[r];
            for (size_t c = 0; c < cells.size(); ++c) {
                const Cell& cell = cells[c];
                const auto row = lxw_row_t(r);
                const auto col = lxw_col_t(c);
                switch (cell.Type) {
                case Cell::Kind::Number:
                    Check(worksheet_write_number(worksheet, row, col, cell.Number,
                                                 formatOf(cell.Style)));
                    break;
                case Cell::Kind::Boolean:
                    Check(worksheet_write_boolean(worksheet, row, col, cell.Number != 0,
                                                  formatOf(cell.Style)));
                    break;
                case Cell::Kind::Text:
                    Check(worksheet_write_string(
                        worksheet, row, col, cell.Text.toUtf8().constData(), formatOf(cell.Style)));
                    break;
                case Cell::Kind::Empty:
                    if (cell.Style != 0)
                        Check(worksheet_write_blank(worksheet, row, col, formatOf(cell.Style)));
                    break;
                }
            }
        }
    }
    lxw_workbook* book = guard.Book;
    guard.Book = nullptr; // workbook_close frees it in every case
    Check(workbook_close(book));
}

// ---- Reading ----------------------------------------------------------------

namespace {

const QString kRelationshipsNs =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

QByteArray RequiredPart(const TXZipArchive& archive, const QString& name)
{
    std::optional<QByteArray> part = archive.Entry(name);
    if (!part)
        throw SpreadsheetError(
            QStringLiteral("Arquivo de planilha inválido (falta %1).").arg(name));
    return *part;
}

void CheckXml(const QXmlStreamReader& xml, const QString& part)
{
    if (xml.hasError())
        throw SpreadsheetError(
            QStringLiteral("Arquivo de planilha inválido (%1: %2).").arg(part, xml.errorString()));
}

// Text of one shared-string item: its plain or rich-text runs, without phonetic hints.
QString ReadStringItem(QXmlStreamReader& xml)
{
    QString text;
    int phoneticDepth = 0;
    while (xml.readNext() != QXmlStreamReader::Invalid) {
        if (xml.isStartElement()) {
            if (xml.name() == u"rPh")
                ++phoneticDepth;
            else if (xml.name() == u"t" && phoneticDepth == 0)
                text += xml.readElementText();
        } else if (xml.isEndElement()) {
            if (xml.name() == u"rPh")
                --phoneticDepth;
            else if (xml.name() == u"si" || xml.name() == u"is")
                break;
        }
    }
    return text;
}

QStringList ReadSharedStrings(const TXZipArchive& archive)
{
    QStringList strings;
    const std::optional<QByteArray> part = archive.Entry(QStringLiteral("xl/sharedStrings.xml"));
    if (!part)
        return strings; // a workbook without text has none
    QXmlStreamReader xml(*part);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
            strings.append(ReadStringItem(xml));
    }
    CheckXml(xml, QStringLiteral("sharedStrings"));
    return strings;
}

struct SheetEntry
{
    QString Name;
    QString Part;
};

// The sheets in workbook order with the package part of each, and the active one.
std::vector<SheetEntry> ReadSheetList(const TXZipArchive& archive, int* activeSheet)
{
    QHash<QString, QString> targets;
    QXmlStreamReader rels(RequiredPart(archive, QStringLiteral("xl/_rels/workbook.xml.rels")));
    while (!rels.atEnd()) {
        if (rels.readNext() == QXmlStreamReader::StartElement && rels.name() == u"Relationship") {
            const QString target = rels.attributes().value(QLatin1String("Target")).toString();
            targets.insert(rels.attributes().value(QLatin1String("Id")).toString(),
                           target.startsWith(QLatin1Char('/')) ? target.mid(1)
                                                               : QStringLiteral("xl/") + target);
        }
    }
    CheckXml(rels, QStringLiteral("workbook.xml.rels"));

    std::vector<SheetEntry> sheets;
    QXmlStreamReader xml(RequiredPart(archive, QStringLiteral("xl/workbook.xml")));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"sheet") {
            const QString id =
                xml.attributes().value(kRelationshipsNs, QLatin1String("id")).toString();
            sheets.push_back(
                {xml.attributes().value(QLatin1String("name")).toString(), targets.value(id)});
        } else if (xml.name() == u"workbookView" &&
                   xml.attributes().hasAttribute(QLatin1String("activeTab"))) {
            *activeSheet = xml.attributes().value(QLatin1String("activeTab")).toInt();
        }
    }
    CheckXml(xml, QStringLiteral("workbook.xml"));
    if (sheets.empty())
        throw SpreadsheetError(QStringLiteral("Arquivo de planilha sem planilhas."));
    *activeSheet = std::clamp(*activeSheet, 0, int(sheets.size()) - 1);
    return sheets;
}

// Value of one <c> element, the reader standing on it; leaves the reader on its end.
QVariant ReadCellValue(QXmlStreamReader& xml, const QStringList& sharedStrings)
{
    const QString type = xml.attributes().value(QLatin1String("t")).toString();
    QString raw;
    bool hasValue = false;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"v") {
            raw = xml.readElementText();
            hasValue = true;
        } else if (xml.name() == u"is") {
            raw = ReadStringItem(xml);
            hasValue = true;
        } else {
            xml.skipCurrentElement();
        }
    }
    if (!hasValue)
        return {};
    if (type == u"s") {
        bool ok = false;
        const int index = raw.toInt(&ok);
        return ok && index >= 0 && index < sharedStrings.size() ? sharedStrings[index] : QString();
    }
    if (type == u"b")
        return raw.trimmed() == u"1";
    if (type == u"inlineStr" || type == u"str" || type == u"e")
        return raw;
    bool ok = false;
    const double number = raw.toDouble(&ok);
    return ok ? QVariant(number) : QVariant(raw);
}

} // namespace

std::unique_ptr<TXWorkbook> TXWorkbook::Load(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw SpreadsheetError(QStringLiteral("Arquivo ") + path +
                               QStringLiteral(" não encontrado."));
    TXZipArchive archive;
    if (!archive.Open(path))
        throw SpreadsheetError(QStringLiteral("O arquivo ") + path +
                               QStringLiteral(" não é uma planilha válida."));
    int active = 0;
    const std::vector<SheetEntry> entries = ReadSheetList(archive, &active);
    const QStringList sharedStrings = ReadSharedStrings(archive);

    auto book = std::make_unique<TXWorkbook>(entries.front().Name);
    book->m_sheets.clear();
    book->m_activeSheet = active;
    for (const SheetEntry& entry : entries) {
        book->m_sheets.push_back(std::make_unique<Sheet>());
        book->m_sheets.back()->Name = entry.Name;
        const int index = book->SheetCount() - 1;
        QXmlStreamReader xml(RequiredPart(archive, entry.Part));
        int row = -1;
        int column = -1;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"row") {
                // Rows and cells without a reference follow the previous one.
                const int r = xml.attributes().value(QLatin1String("r")).toInt();
                row = r > 0 ? r - 1 : row + 1;
                column = -1;
            } else if (xml.name() == u"c") {
                int r = row;
                int c = column + 1;
                const QString ref = xml.attributes().value(QLatin1String("r")).toString();
                if (!ref.isEmpty() && !ParseCellRef(ref, &r, &c))
                    throw SpreadsheetError(QStringLiteral("Referência de célula inválida: ") + ref);
                row = std::max(r, 0);
                column = c;
                const QVariant value = ReadCellValue(xml, sharedStrings);
                if (!value.isNull())
                    book->SetValue(index, row, column, value);
            }
        }
        CheckXml(xml, entry.Part);
    }
    return book;
}
