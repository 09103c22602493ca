#include "platemappdf.h"

#include "tbarcode.h"
#include "tpdfdocument.h"
#include "xexception.h"

namespace {

// Light tints of the screen's red and green: black codes stay legible on paper.
constexpr quint32 kControlTint = 0xFFAAAA;
constexpr quint32 kCollectedTint = 0xAADCAA;
constexpr quint32 kHeaderTint = 0xE1E1E1;
constexpr quint32 kWhite = 0xFFFFFF;
constexpr double kPageWidth = 297;
constexpr double kPageHeight = 210;
constexpr double kMargin = 10;
constexpr double kLine = 0.2;

QString DateText(const QString& stamp)
{
    return stamp.isEmpty() ? QStringLiteral("-") : stamp;
}

// Top right, at the nominal module when it fits half the page, never below the minimum.
void DrawPlateBarcode(TPdfDocument& pdf, const QString& code, double right, double top)
{
    const TSymbology symbology = PlateSymbology(code);
    try {
        // The width does not depend on the bars' height: measure, then encode 14 mm tall.
        const double width = EncodeBarcode(symbology, code).Width;
        const double module =
            std::min(NominalModuleMm(symbology), (kPageWidth - 2 * kMargin) / 2 / width);
        if (module < MinimumModuleMm(symbology))
            return; // too long to scan at this size: the code as text is all there is
        pdf.Barcode(EncodeBarcode(symbology, code, 14 / module), right - width * module, top,
                    module);
    } catch (const XException&) {
        // characters Code 128 cannot carry: the code as text is all there is
    }
}

void DrawPlate(TPdfDocument& pdf, const TPlateMap& plate, const TPlateMapExportOptions& options)
{
    pdf.NewPage(kPageWidth, kPageHeight);
    const double left = kMargin;
    const double width = kPageWidth - 2 * kMargin;
    pdf.Text(left, kMargin + 8, 20, QStringLiteral("Placa ") + plate.Codigo,
             TPdfDocument::Align::Left, true);
    DrawPlateBarcode(pdf, plate.Codigo, kPageWidth - kMargin, kMargin);
    pdf.Text(left, kMargin + 16, 10,
             QStringLiteral("Estação: %1    Data: %2    Coleta: %3 a %4")
                 .arg(plate.Station, options.Printed.toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                      DateText(plate.FirstCollection()), DateText(plate.LastCollection())));
    pdf.Text(left, kMargin + 22, 10,
             QStringLiteral("Poços: %1    Controles: %2    Coletados: %3    Livres: %4    "
                            "Transmitidos: %5")
                 .arg(plate.Wells.size())
                 .arg(plate.Controls())
                 .arg(plate.Collected())
                 .arg(plate.Free())
                 .arg(plate.Transmitted()));

    const double top = kMargin + 30;
    const double legend = 8;
    const double header = 8;
    const int columns = std::max(1, plate.TColuna);
    const int rows = std::max(1, plate.TLinha);
    const double cellW = (width - header) / columns;
    const double cellH = (kPageHeight - kMargin - top - legend - header) / rows;
    for (int c = 1; c <= plate.TColuna; ++c) {
        const double x = left + header + (c - 1) * cellW;
        pdf.Box(x, top, cellW, header, kHeaderTint, kLine);
        pdf.Text(x + cellW / 2, top + header / 2 + 1.3, 10, QString::number(c),
                 TPdfDocument::Align::Centre, true);
    }
    for (int r = 1; r <= plate.TLinha; ++r) {
        const double y = top + header + (r - 1) * cellH;
        pdf.Box(left, y, header, cellH, kHeaderTint, kLine);
        pdf.Text(left + header / 2, y + cellH / 2 + 1.3, 10, QString(QChar(char16_t(64 + r))),
                 TPdfDocument::Align::Centre, true);
        for (int c = 1; c <= plate.TColuna; ++c) {
            const double x = left + header + (c - 1) * cellW;
            const TPlateMapWell* poco = plate.At(c, r);
            QString text;
            quint32 fill = kWhite;
            if (poco && poco->Kind() == TWellKind::Control) {
                fill = kControlTint;
                text = QStringLiteral("CONTROLE");
            } else if (poco && poco->Kind() == TWellKind::Sample) {
                fill = kCollectedTint;
                text = poco->SampleCode;
            }
            pdf.Box(x, y, cellW, cellH, fill, kLine);
            if (poco)
                pdf.Text(x + 0.8, y + 2.6, 6, QString::number(poco->Seq));
            if (!text.isEmpty()) {
                const double size = pdf.FittingSize(text, 9, cellW - 1.5);
                pdf.Text(x + cellW / 2, y + cellH / 2 + size * 0.125, size, text,
                         TPdfDocument::Align::Centre);
            }
        }
    }

    const double legendTop = top + header + rows * cellH + 2;
    const std::pair<quint32, QString> keys[] = {
        {kCollectedTint, QStringLiteral("coletado (código da amostra)")},
        {kControlTint, QStringLiteral("controle")},
        {kWhite, QStringLiteral("livre")}};
    double x = left;
    for (const auto& [colour, label] : keys) {
        pdf.Box(x, legendTop, 5, 4, colour, kLine);
        pdf.Text(x + 6.5, legendTop + 3, 8, label);
        x += 6.5 + pdf.TextWidth(label, 8) + 4;
    }
}

} // namespace

void WritePlateMapPdf(const QString& path, const std::vector<TPlateMap>& plates,
                      const TPlateMapExportOptions& options, const TPlateMapProgress& progress)
{
    if (plates.empty())
        throw XException(QStringLiteral("Nenhuma placa para exportar."),
                         QStringLiteral("EInOutError"));
    TPdfDocument pdf;
    pdf.SetTitle(QStringLiteral("Mapa da Placa"));
    for (size_t i = 0; i < plates.size(); ++i) {
        DrawPlate(pdf, plates[i], options);
        if (progress)
            progress(int(i) + 1, int(plates.size()));
    }
    pdf.Save(path);
}
