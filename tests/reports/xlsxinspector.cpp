#include "xlsxinspector.h"

#include "txziparchive.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

QString Attribute(const QXmlStreamReader& xml, const char* name)
{
    return xml.attributes().value(QLatin1String(name)).toString();
}

// Calls visit(xml, name) at every element start of the part; false when the XML is broken.
template <class Visit> bool ForEachElement(const QByteArray& part, Visit visit)
{
    QXmlStreamReader xml(part);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement)
            visit(xml, xml.name().toString());
    }
    return !xml.hasError();
}

// The cell formats (cellXfs) with the fills, borders and number formats they refer to.
QList<XlsxCell> ReadFormats(const QByteArray& styles)
{
    QList<XlsxCell> formats;
    QList<int> fills;
    QList<QStringList> borders;
    QHash<int, QString> numberFormats{{1, QStringLiteral("0")}}; // built-in, referred to by number
    QString section;
    ForEachElement(styles, [&](const QXmlStreamReader& xml, const QString& name) {
        if (name == u"fills" || name == u"borders" || name == u"cellStyleXfs" ||
            name == u"cellXfs" || name == u"dxfs")
            section = name;
        else if (name == u"numFmt")
            numberFormats[Attribute(xml, "numFmtId").toInt()] = Attribute(xml, "formatCode");
        else if (section == u"fills" && name == u"fill")
            fills.append(-1);
        else if (section == u"fills" && name == u"fgColor" && !Attribute(xml, "rgb").isEmpty())
            fills.last() = Attribute(xml, "rgb").right(6).toInt(nullptr, 16); // AARRGGBB
        else if (section == u"borders" && name == u"border")
            borders.append(QStringList());
        else if (section == u"borders" && !Attribute(xml, "style").isEmpty())
            borders.last().append(Attribute(xml, "style"));
        else if (section == u"cellXfs" && name == u"xf")
            formats.append({QVariant(), fills.value(Attribute(xml, "fillId").toInt(), -1),
                            QString(), borders.value(Attribute(xml, "borderId").toInt()),
                            numberFormats.value(Attribute(xml, "numFmtId").toInt())});
        else if (section == u"cellXfs" && name == u"alignment")
            formats.last().Alignment = Attribute(xml, "horizontal");
    });
    return formats;
}

} // namespace

XlsxContent ReadXlsx(const QString& path, int sheetNumber)
{
    XlsxContent content;
    TXZipArchive archive;
    if (!archive.Open(path))
        return content;
    const auto workbook = archive.Entry(QStringLiteral("xl/workbook.xml"));
    const auto sheet = archive.Entry(QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheetNumber));
    const auto styles = archive.Entry(QStringLiteral("xl/styles.xml"));
    if (!workbook || !sheet || !styles)
        return content;
    ForEachElement(*workbook, [&](const QXmlStreamReader& xml, const QString& name) {
        if (name == u"sheet")
            content.SheetNames.append(Attribute(xml, "name"));
    });
    QStringList shared;
    ForEachElement(archive.Entry(QStringLiteral("xl/sharedStrings.xml")).value_or(""),
                   [&](QXmlStreamReader& xml, const QString& name) {
                       if (name == u"si")
                           shared.append(QString());
                       else if (name == u"t")
                           shared.last() += xml.readElementText();
                   });
    const QList<XlsxCell> formats = ReadFormats(*styles);

    static const QRegularExpression ref(QStringLiteral("^([A-Z]+)([0-9]+)$"));
    XlsxCell* cell = nullptr;
    QString type; // of the current cell: "n" number, "s" shared text, "b", "inlineStr", ...
    content.Ok = ForEachElement(*sheet, [&](QXmlStreamReader& xml, const QString& name) {
        if (name == u"col") {
            for (int c = Attribute(xml, "min").toInt(); c <= Attribute(xml, "max").toInt(); ++c)
                content.ColumnWidths[c] = Attribute(xml, "width").toDouble();
        } else if (name == u"c") {
            const QString r = Attribute(xml, "r");
            cell = &(content.Cells[r] = formats.value(Attribute(xml, "s").toInt()));
            type = Attribute(xml, "t");
            const auto match = ref.match(r);
            int column = 0;
            for (const QChar ch : match.captured(1))
                column = column * 26 + (ch.unicode() - u'A' + 1);
            content.MaxColumn = std::max(content.MaxColumn, column);
            content.MaxRow = std::max(content.MaxRow, match.captured(2).toInt());
        } else if (cell && (name == u"v" || name == u"t")) {
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
    });
    return content;
}
