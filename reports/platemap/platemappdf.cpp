#include "platemappdf.h"

#include "barcode.h"
#include "xexception.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace {

// Light tints of the screen's red and green: black codes stay legible on paper.
const QColor kControlTint(255, 170, 170);
const QColor kCollectedTint(170, 220, 170);
const QColor kHeaderTint(225, 225, 225);
constexpr int kDpi = 300;

int Mm(double mm)
{
    return int(mm * kDpi / 25.4 + 0.5);
}

QFont Font(double points, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The largest font, at most points, with which text fits the width.
QFont FittingFont(const QString& text, double points, int width, QPaintDevice* device)
{
    QFont font = Font(points);
    while (points > 4 && QFontMetrics(font, device).horizontalAdvance(text) > width) {
        points -= 0.5;
        font.setPointSizeF(points);
    }
    return font;
}

void DrawBarcode(QPainter& painter, const QString& code, const QRect& area)
{
    const TBarcode barcode = EncodeBarcode(code);
    if (barcode.Kind == TBarcodeKind::None)
        return; // the code as text is all there is
    // Whole device pixels per module keep every bar the same width when printed.
    const int quiet = 10;
    const int module =
        std::max(1, std::min(Mm(0.4), area.width() / int(barcode.Modules.size() + 2 * quiet)));
    const int textHeight = Mm(5);
    int x = area.right() - module * int(barcode.Modules.size() + quiet);
    for (const QChar m : barcode.Modules) {
        if (m == QLatin1Char('1'))
            painter.fillRect(x, area.top(), module, area.height() - textHeight, Qt::black);
        x += module;
    }
    painter.setFont(Font(9));
    painter.drawText(QRect(area.right() - module * int(barcode.Modules.size() + quiet),
                           area.bottom() - textHeight, module * int(barcode.Modules.size()),
                           textHeight),
                     Qt::AlignCenter, code);
}

QString DateText(const QString& stamp)
{
    return stamp.isEmpty() ? QStringLiteral("-") : stamp;
}

void DrawPlate(QPainter& painter, QPaintDevice* device, const TPlateMap& plate,
               const TPlateMapExportOptions& options)
{
    const QRect page(0, 0, device->width(), device->height());
    painter.setPen(Qt::black);

    painter.setFont(Font(20, true));
    painter.drawText(QRect(0, 0, page.width() / 2, Mm(12)), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Placa ") + plate.Codigo);
    DrawBarcode(painter, plate.Codigo, QRect(page.width() / 2, 0, page.width() / 2, Mm(22)));

    painter.setFont(Font(10));
    const QString info =
        QStringLiteral("Estação: %1    Data: %2    Coleta: %3 a %4")
            .arg(plate.Station, options.Printed.toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                 DateText(plate.FirstCollection()), DateText(plate.LastCollection()));
    painter.drawText(QRect(0, Mm(13), page.width() / 2 + Mm(40), Mm(6)),
                     Qt::AlignLeft | Qt::AlignVCenter, info);
    const QString counts =
        QStringLiteral("Poços: %1    Controles: %2    Coletados: %3    Livres: %4    "
                       "Transmitidos: %5")
            .arg(plate.Wells.size())
            .arg(plate.Controls())
            .arg(plate.Collected())
            .arg(plate.Free())
            .arg(plate.Transmitted());
    painter.drawText(QRect(0, Mm(19), page.width() / 2 + Mm(40), Mm(6)),
                     Qt::AlignLeft | Qt::AlignVCenter, counts);

    const int top = Mm(28);
    const int legend = Mm(8);
    const int header = Mm(8);
    const int columns = std::max(1, plate.TColuna);
    const int rows = std::max(1, plate.TLinha);
    const int cellW = (page.width() - header) / columns;
    const int cellH = (page.height() - top - legend - header) / rows;
    QPen grid(Qt::black);
    grid.setWidth(Mm(0.2));
    painter.setPen(grid);
    for (int c = 1; c <= plate.TColuna; ++c) {
        const QRect cell(header + (c - 1) * cellW, top, cellW, header);
        painter.fillRect(cell, kHeaderTint);
        painter.drawRect(cell);
        painter.setFont(Font(10, true));
        painter.drawText(cell, Qt::AlignCenter, QString::number(c));
    }
    for (int r = 1; r <= plate.TLinha; ++r) {
        const QRect cell(0, top + header + (r - 1) * cellH, header, cellH);
        painter.fillRect(cell, kHeaderTint);
        painter.drawRect(cell);
        painter.setFont(Font(10, true));
        painter.drawText(cell, Qt::AlignCenter, QString(QChar(char16_t(64 + r))));
        for (int c = 1; c <= plate.TColuna; ++c) {
            const QRect well(header + (c - 1) * cellW, cell.top(), cellW, cellH);
            const TPlateMapWell* poco = plate.At(c, r);
            QString text;
            QColor fill = Qt::white;
            if (poco && poco->Kind() == TWellKind::Control) {
                fill = kControlTint;
                text = QStringLiteral("CONTROLE");
            } else if (poco && poco->Kind() == TWellKind::Sample) {
                fill = kCollectedTint;
                text = poco->SampleCode;
            }
            painter.fillRect(well, fill);
            painter.drawRect(well);
            if (poco) {
                painter.setFont(Font(6));
                painter.drawText(well.adjusted(Mm(0.8), Mm(0.5), 0, 0),
                                 Qt::AlignLeft | Qt::AlignTop, QString::number(poco->Seq));
            }
            if (!text.isEmpty()) {
                painter.setFont(FittingFont(text, 9, cellW - Mm(1.5), device));
                painter.drawText(well, Qt::AlignCenter, text);
            }
        }
    }

    const int legendTop = top + header + rows * cellH + Mm(2);
    const std::pair<QColor, QString> keys[] = {
        {kCollectedTint, QStringLiteral("coletado (código da amostra)")},
        {kControlTint, QStringLiteral("controle")},
        {Qt::white, QStringLiteral("livre")}};
    int x = 0;
    painter.setFont(Font(8));
    for (const auto& [colour, label] : keys) {
        const QRect box(x, legendTop, Mm(5), Mm(4));
        painter.fillRect(box, colour);
        painter.drawRect(box);
        const int width = QFontMetrics(painter.font(), device).horizontalAdvance(label) + Mm(2);
        painter.drawText(QRect(box.right() + Mm(1.5), legendTop, width, Mm(4)),
                         Qt::AlignLeft | Qt::AlignVCenter, label);
        x = box.right() + Mm(1.5) + width + Mm(4);
    }
}

} // namespace

void WritePlateMapPdf(const QString& path, const std::vector<TPlateMap>& plates,
                      const TPlateMapExportOptions& options, const TPlateMapProgress& progress)
{
    if (plates.empty())
        throw XException(QStringLiteral("Nenhuma placa para exportar."),
                         QStringLiteral("EInOutError"));
    QPdfWriter writer(path);
    writer.setCreator(QStringLiteral("Tressalin"));
    writer.setTitle(QStringLiteral("Mapa da Placa"));
    writer.setResolution(kDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer))
        throw XException(QStringLiteral("Não foi possível gravar ") + path,
                         QStringLiteral("EInOutError"));
    for (size_t i = 0; i < plates.size(); ++i) {
        if (i > 0)
            writer.newPage();
        DrawPlate(painter, &writer, plates[i], options);
        if (progress)
            progress(int(i) + 1, int(plates.size()));
    }
    // QPdfWriter reports no write error of its own: a file it could not finish is short.
    if (!painter.end() || QFileInfo(path).size() == 0)
        throw XException(QStringLiteral("Não foi possível gravar ") + path,
                         QStringLiteral("EInOutError"));
}

void ExportPlateMapsWithPdf(TPlateMapFormat format, const std::vector<TPlateMap>& plates,
                            const QString& path, const TPlateMapExportOptions& options,
                            const TPlateMapProgress& progress)
{
    if (format != TPlateMapFormat::Pdf) {
        ExportPlateMaps(format, plates, path, options, progress);
        return;
    }
    if (plates.empty())
        throw XException(QStringLiteral("Nenhuma placa para exportar."),
                         QStringLiteral("EInOutError"));
    WriteNewFile(path, [&](const QString& temporary) {
        WritePlateMapPdf(temporary, plates, options, progress);
    });
}
