#include "platemapexport.h"

#include "platemappdf.h"
#include "txworkbook.h"
#include "xexception.h"
#include "xsafefile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace {

const QString kErrorClass = QStringLiteral("EInOutError");

// libxlsxwriter's LXW_ALIGN_CENTER and LXW_BORDER_THIN.
constexpr quint8 kCentered = 2;
constexpr quint8 kThinBorder = 1;
constexpr quint32 kHeaderFill = 0xC0C0C0;
constexpr quint32 kControlFill = 0xFF0000;
constexpr quint32 kCollectedFill = 0x008000;
constexpr quint32 kFreeFill = 0xFFFFFF;
constexpr int kGridTop = 6; // 0-based sheet row of the column numbers

QString RowLetter(int linha)
{
    return QString(QChar(char16_t(64 + linha)));
}

// A code of digits only is written as a whole number (every digit shown); others stay text.
QVariant CodeValue(const QString& code)
{
    bool ok = false;
    const qlonglong number = code.toLongLong(&ok);
    if (ok && code.size() <= 15 && !code.startsWith(QLatin1Char('0')) && number > 0)
        return double(number);
    return code;
}

// Spreadsheet programs refuse some characters, names over 31 characters and repeated names.
QString SheetName(const QString& code, QSet<QString>& taken)
{
    QString base = code;
    for (QChar& c : base) {
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = QLatin1Char('_');
    }
    while (base.startsWith(QLatin1Char('\'')))
        base.remove(0, 1);
    base = base.left(31);
    while (base.endsWith(QLatin1Char('\'')))
        base.chop(1);
    if (base.isEmpty())
        base = QStringLiteral("Placa");
    QString name = base;
    for (int n = 2; taken.contains(name.toUpper()); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        name = base.left(31 - suffix.size()) + suffix;
    }
    taken.insert(name.toUpper());
    return name;
}

void WritePlateSheet(TXWorkbook& book, int sheet, const TPlateMap& plate)
{
    const QString labels[] = {QStringLiteral("Placa"), QStringLiteral("Estação"),
                              QStringLiteral("Primeira coleta"), QStringLiteral("Última coleta")};
    const QVariant values[] = {CodeValue(plate.Codigo), plate.Station, plate.FirstCollection(),
                               plate.LastCollection()};
    for (int r = 0; r < 4; ++r) {
        book.SetValue(sheet, r, 0, labels[r]);
        book.SetValue(sheet, r, 1, values[r]);
    }
    book.SetValue(sheet, 4, 0, QStringLiteral("Coletados"));
    book.SetValue(sheet, 4, 1, plate.Collected());
    book.SetValue(sheet, 4, 2, QStringLiteral("Controles"));
    book.SetValue(sheet, 4, 3, plate.Controls());

    const int bottom = kGridTop + plate.TLinha;
    for (int c = 1; c <= plate.TColuna; ++c)
        book.SetValue(sheet, kGridTop, c, c);
    for (int r = 1; r <= plate.TLinha; ++r)
        book.SetValue(sheet, kGridTop + r, 0, RowLetter(r));
    book.SetFill(sheet, {kGridTop, 0, kGridTop, plate.TColuna}, kHeaderFill);
    book.SetFill(sheet, {kGridTop, 0, bottom, 0}, kHeaderFill);
    for (int r = 1; r <= plate.TLinha; ++r) {
        for (int c = 1; c <= plate.TColuna; ++c) {
            const TPlateMapWell* well = plate.At(c, r);
            if (!well)
                continue;
            const TXCellRange cell{kGridTop + r, c, kGridTop + r, c};
            switch (well->Kind()) {
            case TWellKind::Control:
                book.SetValue(sheet, kGridTop + r, c, QStringLiteral("Controle"));
                book.SetFill(sheet, cell, kControlFill);
                break;
            case TWellKind::Sample:
                book.SetValue(sheet, kGridTop + r, c, CodeValue(well->SampleCode));
                book.SetFill(sheet, cell, kCollectedFill);
                break;
            case TWellKind::Empty:
                book.SetFill(sheet, cell, kFreeFill);
                break;
            }
        }
    }
    const TXCellRange grid{kGridTop, 0, bottom, plate.TColuna};
    book.SetAlignment(sheet, grid, kCentered);
    book.SetBorder(sheet, grid, kThinBorder);
    book.AutoFitColumns(sheet, 0, std::max(plate.TColuna, 3));
}

QString CsvField(const QString& text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString KindText(TWellKind kind)
{
    switch (kind) {
    case TWellKind::Sample:
        return QStringLiteral("amostra");
    case TWellKind::Control:
        return QStringLiteral("controle");
    case TWellKind::Empty:
        break;
    }
    return QStringLiteral("vazio");
}

void Report(const TPlateMapProgress& progress, int done, int total)
{
    if (progress)
        progress(done, total);
}

} // namespace

bool ParsePlateMapFormat(const QString& text, TPlateMapFormat* format)
{
    const QString name = text.trimmed().toLower();
    const std::pair<const char*, TPlateMapFormat> names[] = {{"xlsx", TPlateMapFormat::Xlsx},
                                                             {"csv", TPlateMapFormat::Csv},
                                                             {"pdf", TPlateMapFormat::Pdf},
                                                             {"brapi", TPlateMapFormat::Brapi}};
    for (const auto& [key, value] : names) {
        if (name == QLatin1String(key)) {
            *format = value;
            return true;
        }
    }
    return false;
}

QString PlateMapExtension(TPlateMapFormat format)
{
    switch (format) {
    case TPlateMapFormat::Xlsx:
        return QStringLiteral(".xlsx");
    case TPlateMapFormat::Csv:
        return QStringLiteral(".csv");
    case TPlateMapFormat::Pdf:
        return QStringLiteral(".pdf");
    case TPlateMapFormat::Brapi:
        break;
    }
    return QStringLiteral(".json");
}

std::unique_ptr<TXWorkbook> PlateMapWorkbook(const std::vector<TPlateMap>& plates,
                                             const TPlateMapProgress& progress)
{
    QSet<QString> taken;
    std::unique_ptr<TXWorkbook> book;
    for (size_t i = 0; i < plates.size(); ++i) {
        const QString name = SheetName(plates[i].Codigo, taken);
        int sheet = 0;
        if (!book)
            book = std::make_unique<TXWorkbook>(name);
        else
            sheet = book->AddSheet(name);
        WritePlateSheet(*book, sheet, plates[i]);
        Report(progress, int(i) + 1, int(plates.size()));
    }
    if (!book)
        throw XException(QStringLiteral("Nenhuma placa para exportar."), kErrorClass);
    return book;
}

QByteArray PlateMapCsv(const std::vector<TPlateMap>& plates, const TPlateMapProgress& progress)
{
    QString text = QStringLiteral("placa;poco;linha;coluna;ordem_coleta;tipo;codigo_amostra;"
                                  "coletado_por;data_coleta;transmitido\r\n");
    for (size_t i = 0; i < plates.size(); ++i) {
        for (const TPlateMapWell& well : plates[i].Wells) {
            const bool sample = well.Kind() == TWellKind::Sample;
            const QStringList fields = {
                plates[i].Codigo,
                well.Poco,
                RowLetter(well.Linha),
                QString::number(well.Coluna),
                QString::number(well.Seq),
                KindText(well.Kind()),
                well.SampleCode,
                well.ColetadoPor,
                well.DataColeta,
                sample ? (well.Transmitted() ? QStringLiteral("sim") : QStringLiteral("não"))
                       : QString()};
            QStringList quoted;
            for (const QString& field : fields)
                quoted << CsvField(field);
            text += quoted.join(QLatin1Char(';')) + QStringLiteral("\r\n");
        }
        Report(progress, int(i) + 1, int(plates.size()));
    }
    return text.toUtf8();
}

QString BrapiRefusal(const TPlateMap& plate)
{
    const QString start = QStringLiteral("A Placa [") + plate.Codigo +
                          QStringLiteral("] não pode ir no envio BrAPI: ");
    if (plate.TLinha != 8 || plate.TColuna != 12)
        return start + QStringLiteral("só placas de 8 x 12 poços (esta tem %1 x %2).")
                           .arg(plate.TLinha)
                           .arg(plate.TColuna);
    if (plate.Collected() == 0)
        return start + QStringLiteral("nenhum poço coletado.");
    return QString();
}

QByteArray PlateMapBrapi(const std::vector<TPlateMap>& plates,
                         const TPlateMapExportOptions& options, const TPlateMapProgress& progress)
{
    if (!kBrapiSampleTypes.contains(options.SampleType))
        throw XException(QStringLiteral("Tipo de amostra inválido: \"%1\". Use DNA, RNA ou Tissue.")
                             .arg(options.SampleType),
                         kErrorClass);
    if (plates.empty())
        throw XException(QStringLiteral("Nenhuma placa para exportar."), kErrorClass);
    for (const TPlateMap& plate : plates) {
        if (const QString refusal = BrapiRefusal(plate); !refusal.isEmpty())
            throw XException(refusal, kErrorClass);
    }
    QJsonArray jsonPlates;
    int samples = 0;
    for (size_t i = 0; i < plates.size(); ++i) {
        const TPlateMap& plate = plates[i];
        QJsonArray jsonSamples;
        for (const TPlateMapWell& well : plate.Wells) {
            // One sample per position of the plate, even if a damaged file repeats a well.
            if (well.Kind() != TWellKind::Sample || well.Linha < 1 || well.Coluna < 1 ||
                plate.At(well.Coluna, well.Linha) != &well)
                continue;
            const QString position = RowLetter(well.Linha) + QString::number(well.Coluna);
            jsonSamples.append(QJsonObject{{QStringLiteral("clientSampleId"), well.SampleCode},
                                           {QStringLiteral("row"), RowLetter(well.Linha)},
                                           {QStringLiteral("column"), well.Coluna},
                                           {QStringLiteral("well"), position}});
        }
        samples += int(jsonSamples.size());
        jsonPlates.append(
            QJsonObject{{QStringLiteral("clientPlateId"), plate.Codigo},
                        {QStringLiteral("clientPlateBarcode"), plate.Codigo},
                        {QStringLiteral("sampleSubmissionFormat"), QStringLiteral("PLATE_96")},
                        {QStringLiteral("samples"), jsonSamples}});
        Report(progress, int(i) + 1, int(plates.size()));
    }
    const QJsonObject body{{QStringLiteral("clientId"), options.ClientId},
                           {QStringLiteral("numberOfSamples"), samples},
                           {QStringLiteral("sampleType"), options.SampleType},
                           {QStringLiteral("plates"), jsonPlates}};
    return QJsonDocument(body).toJson(QJsonDocument::Indented);
}

void WriteNewFile(const QString& path, const std::function<void(const QString& temporary)>& write)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        throw XException(QStringLiteral("O arquivo ") + path + QStringLiteral(" já existe."),
                         kErrorClass);
    WriteFileSafely(path, false, kErrorClass, write);
}

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush())
        throw XException(QStringLiteral("Não foi possível gravar ") + path + QStringLiteral(": ") +
                             file.errorString(),
                         kErrorClass);
}

} // namespace

void ExportPlateMaps(TPlateMapFormat format, const std::vector<TPlateMap>& plates,
                     const QString& path, const TPlateMapExportOptions& options,
                     const TPlateMapProgress& progress)
{
    if (plates.empty())
        throw XException(QStringLiteral("Nenhuma placa para exportar."), kErrorClass);
    switch (format) {
    case TPlateMapFormat::Xlsx: {
        const std::unique_ptr<TXWorkbook> book = PlateMapWorkbook(plates, progress);
        WriteNewFile(path, [&](const QString& temporary) { book->WriteXlsx(temporary); });
        return;
    }
    case TPlateMapFormat::Csv: {
        const QByteArray bytes = PlateMapCsv(plates, progress);
        WriteNewFile(path, [&](const QString& temporary) { WriteBytes(temporary, bytes); });
        return;
    }
    case TPlateMapFormat::Brapi: {
        const QByteArray bytes = PlateMapBrapi(plates, options, progress);
        WriteNewFile(path, [&](const QString& temporary) { WriteBytes(temporary, bytes); });
        return;
    }
    case TPlateMapFormat::Pdf:
        WriteNewFile(path, [&](const QString& temporary) {
            WritePlateMapPdf(temporary, plates, options, progress);
        });
        return;
    }
}
