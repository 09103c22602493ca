#include "xlsxinspector.h"

#include "txziparchive.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <vector>

namespace {

struct Format
{
    int FillId = 0;
    int BorderId = 0;
    QString Alignment;
    int NumFmtId = 0;
};

QString Attribute(const QXmlStreamReader& xml, const char* name)
{
    return xml.attributes().value(QLatin1String(name)).toString();
}

QStringList ReadSharedStrings(const QByteArray& data)
{
    QStringList strings;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"si")
            strings.append(QString());
        else if (xml.name() == u"t")
            strings.last() += xml.readElementText();
    }
    return strings;
}

void ReadStyles(const QByteArray& data, std::vector<int>* fills, std::vector<QStringList>* borders,
                std::vector<Format>* formats, QHash<int, QString>* numberFormats)
{
    QXmlStreamReader xml(data);
    QString section;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement &&
            (xml.name() == u"fills" || xml.name() == u"borders" || xml.name() == u"cellXfs"))
            section.clear();
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        if (name == u"fills" || name == u"borders" || name == u"cellXfs") {
            section = name;
        } else if (name == u"numFmt") {
            numberFormats->insert(Attribute(xml, "numFmtId").toInt(), Attribute(xml, "formatCode"));
        } else if (section == u"fills" && name == u"fill") {
            fills->push_back(-1);
        } else if (section == u"fills" && name == u"fgColor" && !fills->empty()) {
            const QString rgb = Attribute(xml, "rgb"); // AARRGGBB
            if (!rgb.isEmpty())
                fills->back() = rgb.right(6).toInt(nullptr, 16);
        } else if (section == u"borders" && name == u"border") {
            borders->push_back(QStringList(4, QString()));
        } else if (section == u"borders" && !borders->empty()) {
            static const QStringList sides = {QStringLiteral("left"), QStringLiteral("right"),
                                              QStringLiteral("top"), QStringLiteral("bottom")};
            if (const qsizetype side = sides.indexOf(name); side >= 0)
                borders->back()[side] = Attribute(xml, "style");
        } else if (section == u"cellXfs" && name == u"xf") {
            formats->push_back({Attribute(xml, "fillId").toInt(),
                                Attribute(xml, "borderId").toInt(), QString(),
                                Attribute(xml, "numFmtId").toInt()});
        } else if (section == u"cellXfs" && name == u"alignment" && !formats->empty()) {
            formats->back().Alignment = Attribute(xml, "horizontal");
        }
    }
}

} // namespace

XlsxContent ReadXlsx(const QString& path, int sheetNumber)
{
    XlsxContent content;
    TXZipArchive archive;
    if (!archive.Open(path)) {
        content.Error = QStringLiteral("not a zip file");
        return content;
    }
    const auto workbook = archive.Entry(QStringLiteral("xl/workbook.xml"));
    const auto sheet = archive.Entry(QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheetNumber));
    const auto styles = archive.Entry(QStringLiteral("xl/styles.xml"));
    if (!workbook || !sheet || !styles) {
        content.Error = QStringLiteral("missing workbook parts");
        return content;
    }
    QXmlStreamReader names(*workbook);
    while (!names.atEnd()) {
        if (names.readNext() == QXmlStreamReader::StartElement && names.name() == u"sheet")
            content.SheetNames.append(Attribute(names, "name"));
    }
    const QStringList shared =
        ReadSharedStrings(archive.Entry(QStringLiteral("xl/sharedStrings.xml")).value_or(""));
    std::vector<int> fills;
    std::vector<QStringList> borders;
    std::vector<Format> formats;
    // Built-in codes the writer may refer to by number alone.
    QHash<int, QString> numberFormats{{0, QString()}, {1, QStringLiteral("0")}};
    ReadStyles(*styles, &fills, &borders, &formats, &numberFormats);

    static const QRegularExpression ref(QStringLiteral("^([A-Z]+)([0-9]+)$"));
    QXmlStreamReader xml(*sheet);
    XlsxCell* cell = nullptr;
    QString type; // of the current cell: "n" number, "s" shared text, "b", "inlineStr", ...
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"col") {
            for (int c = Attribute(xml, "min").toInt(); c <= Attribute(xml, "max").toInt(); ++c)
                content.ColumnWidths[c] = Attribute(xml, "width").toDouble();
        } else if (xml.name() == u"c") {
            const QString r = Attribute(xml, "r");
            cell = &content.Cells[r];
            type = Attribute(xml, "t");
            const size_t s = size_t(Attribute(xml, "s").toInt());
            if (s < formats.size()) {
                const Format& f = formats[s];
                cell->FillRgb = size_t(f.FillId) < fills.size() ? fills[size_t(f.FillId)] : -1;
                cell->Borders = size_t(f.BorderId) < borders.size() ? borders[size_t(f.BorderId)]
                                                                    : QStringList();
                cell->Alignment = f.Alignment;
                cell->NumberFormat =
                    numberFormats.value(f.NumFmtId, QStringLiteral("#%1").arg(f.NumFmtId));
            }
            const auto match = ref.match(r);
            int column = 0;
            for (const QChar ch : match.captured(1))
                column = column * 26 + (ch.unicode() - u'A' + 1);
            content.MaxColumn = std::max(content.MaxColumn, column);
            content.MaxRow = std::max(content.MaxRow, match.captured(2).toInt());
        } else if (cell && (xml.name() == u"v" || xml.name() == u"t")) {
            const QString text = xml.readElementText();
            if (type.isEmpty() || type == u"n")
                cell->Value = text.toDouble();
            else if (type == u"s")
                cell->Value = shared.value(text.toInt());
            else if (type == u"b")
                cell->Value = text == u"1";
            else
                cell->Value = text;
        }
    }
    content.Ok = !xml.hasError();
    if (xml.hasError())
        content.Error = xml.errorString();
    return content;
}
