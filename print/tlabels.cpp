#include "tlabels.h"

#include "platemapexport.h"
#include "tpdfdocument.h"
#include "xexception.h"

#include <QFile>
#include <QRegularExpression>
#include <cmath>

namespace {

constexpr double kPad = 1.0;        // kept clear at each edge: printers do not hit a sheet exactly
constexpr double kLinePitch = 3.0;  // one text line
constexpr double kLinePoints = 7.0; // its font
constexpr double kMinBars = 5.0;    // the shortest bars a hand scanner's line still crosses
constexpr double kMaxBars = 20.0;
const QString kErrorClass = QStringLiteral("EInOutError");

constexpr double kA4[] = {210, 297};
constexpr double kLetter[] = {215.9, 279.4};

TLabelSheet Preset(const char* name, const double (&page)[2], int columns, int rows, double width,
                   double height, double gapX, double gapY)
{
    // Centred on the page, as the sheets are cut.
    TLabelSheet sheet;
    sheet.Name = QString::fromLatin1(name);
    sheet.PageWidth = page[0];
    sheet.PageHeight = page[1];
    sheet.LabelWidth = width;
    sheet.LabelHeight = height;
    sheet.GapX = gapX;
    sheet.GapY = gapY;
    sheet.Columns = columns;
    sheet.Rows = rows;
    sheet.MarginLeft = (page[0] - columns * width - (columns - 1) * gapX) / 2;
    sheet.MarginTop = (page[1] - rows * height - (rows - 1) * gapY) / 2;
    return sheet;
}

QString Mm(double value)
{
    return QString::number(std::ceil(value * 10 - 1e-6) / 10, 'f', 1).replace(u'.', u',');
}

bool Linear(TSymbology symbology)
{
    return symbology != TSymbology::DataMatrix && symbology != TSymbology::Qr;
}

/** A label's barcode as it will be drawn: module and place inside the label (mm). */
struct TLabelFit
{
    TBarcodeSymbol Symbol;
    double Module = 0;
    double X = 0, Y = 0;
    double LinesTop = 0;
};

QString TooSmall(const TLabel& label, double width, double height, double needWidth,
                 double needHeight)
{
    return QStringLiteral("A etiqueta de %1 x %2 mm é pequena demais para o código %3 (%4) em "
                          "tamanho legível pelo leitor: são necessários ao menos %5 x %6 mm.")
        .arg(Mm(width), Mm(height), label.Code, SymbologyName(label.Symbology), Mm(needWidth),
             Mm(needHeight));
}

// The symbol at the largest module up to the nominal one that fits; refused below the minimum.
TLabelFit FitLabel(const TLabel& label, double width, double height)
{
    const TSymbology symbology = label.Symbology;
    const TBarcodeSymbol probe = EncodeBarcode(symbology, label.Code, 1);
    const double lines = kLinePitch * label.Lines.size();
    const double minimum = MinimumModuleMm(symbology);
    const double roomW = width - 2 * kPad;
    const double roomH = height - 2 * kPad - lines;
    TLabelFit fit;
    fit.LinesTop = kPad;
    if (Linear(symbology)) {
        const double extra = probe.Height - 1; // guard bars and digits below the bars
        fit.Module = std::min(NominalModuleMm(symbology), roomW / probe.Width);
        const double bars = std::min(kMaxBars, roomH - extra * fit.Module);
        if (fit.Module < minimum || bars < kMinBars) {
            throw XException(TooSmall(label, width, height, probe.Width * minimum + 2 * kPad,
                                      2 * kPad + lines + kMinBars + extra * minimum),
                             kErrorClass);
        }
        fit.Symbol = EncodeBarcode(symbology, label.Code, bars / fit.Module);
    } else {
        // Square symbols: the code goes as a line of digits below.
        fit.Module = std::min(
            {NominalModuleMm(symbology), roomW / probe.Width, (roomH - kLinePitch) / probe.Height});
        if (fit.Module < minimum) {
            throw XException(TooSmall(label, width, height, probe.Width * minimum + 2 * kPad,
                                      probe.Height * minimum + 2 * kPad + lines + kLinePitch),
                             kErrorClass);
        }
        fit.Symbol = probe;
    }
    fit.X = (width - fit.Symbol.Width * fit.Module) / 2;
    fit.Y = kPad + lines;
    return fit;
}

QByteArray ZplText(const QString& text)
{
    // ^FH: "_" starts a hexadecimal byte, so the command prefixes and "_" itself go as such.
    QByteArray out;
    for (const char c : text.toUtf8()) {
        if (c == '_' || c == '^' || c == '~')
            out += '_' + QByteArray::number(uchar(c), 16).toUpper();
        else
            out += c;
    }
    return out;
}

int Dots(double mm, int dpi)
{
    return int(std::lround(mm * dpi / 25.4));
}

QByteArray ZplLabel(const TLabel& label, int copies, double width, double height, int dpi)
{
    const TSymbology symbology = label.Symbology;
    const TBarcodeSymbol probe = EncodeBarcode(symbology, label.Code, 1);
    if (symbology == TSymbology::Code128 &&
        label.Code.contains(QRegularExpression(QStringLiteral("[>^~]"))))
        throw XException(QStringLiteral("O código %1 tem um caractere que a impressora lê como "
                                        "comando (>, ^ ou ~).")
                             .arg(label.Code),
                         kErrorClass);
    const double dot = 25.4 / dpi;
    const int pad = Dots(kPad, dpi);
    const int lines = Dots(kLinePitch * label.Lines.size(), dpi);
    // Whole dots per module: the printer cannot draw a fraction of one.
    const int fewest = int(std::ceil(MinimumModuleMm(symbology) / dot - 1e-9));
    const int wanted = std::max(fewest, int(std::lround(NominalModuleMm(symbology) / dot)));
    const int roomW = Dots(width, dpi) - 2 * pad;
    const int roomH = Dots(height, dpi) - 2 * pad - lines;
    const bool linear = Linear(symbology);
    const double extra = linear ? probe.Height - 1 : 0; // guard bars and digits below
    int module = std::min(wanted, int(roomW / probe.Width));
    if (!linear)
        module = std::min(module, int((roomH - Dots(kLinePitch, dpi)) / probe.Height));
    const int minBars = linear ? Dots(kMinBars, dpi) : 0;
    int bars = linear ? std::min(Dots(kMaxBars, dpi), roomH - int(extra * module)) : 0;
    if (module < fewest || bars < minBars) {
        const double m = fewest * dot;
        throw XException(
            TooSmall(label, width, height, probe.Width * m + 2 * kPad,
                     2 * kPad + kLinePitch * label.Lines.size() +
                         (linear ? kMinBars + extra * m : probe.Height * m + kLinePitch)),
            kErrorClass);
    }
    QByteArray out = "^XA\n^CI28\n^PW" + QByteArray::number(Dots(width, dpi)) + "\n^LL" +
                     QByteArray::number(Dots(height, dpi)) + "\n^LH0,0\n";
    const int font = Dots(kLinePitch * 0.8, dpi);
    for (int i = 0; i < label.Lines.size(); ++i) {
        out += "^FO" + QByteArray::number(pad) + ',' +
               QByteArray::number(pad + Dots(kLinePitch * i, dpi)) + "^A0N," +
               QByteArray::number(font) + ',' + QByteArray::number(font) + "^FH^FD" +
               ZplText(label.Lines[i]) + "^FS\n";
    }
    // The field starts at the first bar, after the left quiet zone.
    const int symbolWidth = int(probe.Width * module);
    const int left = (Dots(width, dpi) - symbolWidth) / 2;
    const int quiet = probe.Bars.empty() ? 0 : int(probe.Bars.front().X * module);
    const QByteArray x = QByteArray::number(left + quiet);
    const QByteArray y = QByteArray::number(pad + lines);
    const QByteArray h = QByteArray::number(bars);
    const QByteArray m = QByteArray::number(module);
    const QByteArray data = label.Code.toUtf8();
    switch (symbology) {
    case TSymbology::Ean13: // the printer adds the check digit to the first 12
        out += "^FO" + x + ',' + y + "^BY" + m + "^BEN," + h + ",Y,N^FD" + data.left(12) + "^FS\n";
        break;
    case TSymbology::Ean8:
        out += "^FO" + x + ',' + y + "^BY" + m + "^B8N," + h + ",Y,N^FD" + data.left(7) + "^FS\n";
        break;
    case TSymbology::Code128: // A: the printer picks the subsets, as libzint does
        out += "^FO" + x + ',' + y + "^BY" + m + "^BCN," + h + ",Y,N,N,A^FD" + data + "^FS\n";
        break;
    case TSymbology::DataMatrix:
        out += "^FO" + x + ',' + y + "^BXN," + m + ",200^FH^FD" + ZplText(label.Code) + "^FS\n";
        break;
    case TSymbology::Qr:
        out += "^FO" + x + ',' + y + "^BQN,2," + m + "^FH^FDQA," + ZplText(label.Code) + "^FS\n";
        break;
    }
    if (!linear) {
        out += "^FO" + QByteArray::number(pad) + ',' +
               QByteArray::number(pad + lines + int(probe.Height * module)) + "^A0N," +
               QByteArray::number(font) + ',' + QByteArray::number(font) + "^FB" +
               QByteArray::number(roomW) + ",1,0,C^FH^FD" + ZplText(label.Code) + "^FS\n";
    }
    out += "^PQ" + QByteArray::number(copies) + "\n^XZ\n";
    return out;
}

void CheckJob(const TLabelJob& job, int perPage)
{
    if (job.Labels.empty())
        throw XException(QStringLiteral("Nenhuma etiqueta a imprimir."), kErrorClass);
    if (job.Copies < 1)
        throw XException(QStringLiteral("O número de cópias deve ser 1 ou mais."), kErrorClass);
    if (job.Start < 1 || (perPage > 0 && job.Start > perPage))
        throw XException(QStringLiteral("A posição inicial deve ser de 1 a %1.").arg(perPage),
                         kErrorClass);
}

} // namespace

const std::vector<TLabelSheet>& LabelSheetPresets()
{
    static const std::vector<TLabelSheet> presets = {
        Preset("a4-3x8", kA4, 3, 8, 70, 37, 0, 0),
        Preset("a4-3x11", kA4, 3, 11, 70, 25.4, 0, 0),
        Preset("a4-4x10", kA4, 4, 10, 48.5, 25.4, 0, 0),
        Preset("a4-5x13", kA4, 5, 13, 38.1, 21.2, 2.5, 0),
        Preset("a4-2x7", kA4, 2, 7, 99.1, 38.1, 2.5, 0),
        // US Letter, in inches: 2 5/8 x 1, 4 x 1 1/3 and 2 x 1 (plates, side by side).
        Preset("carta-3x10", kLetter, 3, 10, 66.7, 25.4, 3.2, 0),
        Preset("carta-2x7", kLetter, 2, 7, 101.6, 33.9, 4.8, 0),
        Preset("carta-4x10", kLetter, 4, 10, 50.8, 25.4, 2.5, 0),
    };
    return presets;
}

const TLabelSheet* FindLabelSheet(const QString& name)
{
    for (const TLabelSheet& sheet : LabelSheetPresets()) {
        if (sheet.Name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return &sheet;
    }
    return nullptr;
}

TLabelSheet CustomLabelSheet(double pageWidth, double pageHeight, double marginTop,
                             double marginLeft, double labelWidth, double labelHeight, double gapX,
                             double gapY)
{
    TLabelSheet sheet;
    sheet.PageWidth = pageWidth;
    sheet.PageHeight = pageHeight;
    sheet.MarginTop = marginTop;
    sheet.MarginLeft = marginLeft;
    sheet.LabelWidth = labelWidth;
    sheet.LabelHeight = labelHeight;
    sheet.GapX = gapX;
    sheet.GapY = gapY;
    const auto count = [](double page, double margin, double label, double gap) {
        return label > 0 && gap >= 0 && margin >= 0
                   ? int(std::floor((page - 2 * margin + gap) / (label + gap) + 1e-9))
                   : 0;
    };
    sheet.Columns = std::max(0, count(pageWidth, marginLeft, labelWidth, gapX));
    sheet.Rows = std::max(0, count(pageHeight, marginTop, labelHeight, gapY));
    if (sheet.PerPage() == 0) {
        throw XException(QStringLiteral("Nenhuma etiqueta de %1 x %2 mm cabe na página de %3 x "
                                        "%4 mm com essas margens.")
                             .arg(Mm(labelWidth), Mm(labelHeight), Mm(pageWidth), Mm(pageHeight)),
                         kErrorClass);
    }
    return sheet;
}

TLabelPlace LabelPlace(const TLabelSheet& sheet, int slot)
{
    const int perPage = std::max(1, sheet.PerPage());
    const int index = slot % perPage;
    const int columns = std::max(1, sheet.Columns);
    return {slot / perPage, sheet.MarginLeft + (index % columns) * (sheet.LabelWidth + sheet.GapX),
            sheet.MarginTop + (index / columns) * (sheet.LabelHeight + sheet.GapY)};
}

void WriteLabelsPdf(const QString& path, const TLabelSheet& sheet, const TLabelJob& job,
                    const TLabelProgress& progress)
{
    CheckJob(job, sheet.PerPage());
    TPdfDocument pdf;
    pdf.SetTitle(QStringLiteral("Etiquetas"));
    int slot = job.Start - 1;
    int page = -1;
    const int total = int(job.Labels.size());
    for (int i = 0; i < total; ++i) {
        const TLabel& label = job.Labels[size_t(i)];
        const TLabelFit fit = FitLabel(label, sheet.LabelWidth, sheet.LabelHeight);
        for (int copy = 0; copy < job.Copies; ++copy, ++slot) {
            const TLabelPlace place = LabelPlace(sheet, slot);
            if (place.Page != page) {
                pdf.NewPage(sheet.PageWidth, sheet.PageHeight);
                page = place.Page;
            }
            for (int line = 0; line < label.Lines.size(); ++line) {
                const double room = sheet.LabelWidth - 2 * kPad;
                pdf.Text(place.X + sheet.LabelWidth / 2,
                         place.Y + fit.LinesTop + kLinePitch * line + kLinePitch * 0.8,
                         pdf.FittingSize(label.Lines[line], kLinePoints, room), label.Lines[line],
                         TPdfDocument::Align::Centre);
            }
            pdf.Barcode(fit.Symbol, place.X + fit.X, place.Y + fit.Y, fit.Module);
            if (!Linear(label.Symbology)) {
                pdf.Text(place.X + sheet.LabelWidth / 2,
                         place.Y + fit.Y + fit.Symbol.Height * fit.Module + kLinePitch * 0.8,
                         kLinePoints, label.Code, TPdfDocument::Align::Centre);
            }
        }
        if (progress)
            progress(i + 1, total);
    }
    pdf.Save(path);
}

QByteArray LabelsZpl(const TLabelJob& job, double labelWidth, double labelHeight, int dpi,
                     const TLabelProgress& progress)
{
    CheckJob(job, 0);
    if (dpi != 203 && dpi != 300)
        throw XException(
            QStringLiteral("Resolução de impressora inválida: %1 (use 203 ou 300).").arg(dpi),
            kErrorClass);
    QByteArray out;
    const int total = int(job.Labels.size());
    for (int i = 0; i < total; ++i) {
        out += ZplLabel(job.Labels[size_t(i)], job.Copies, labelWidth, labelHeight, dpi);
        if (progress)
            progress(i + 1, total);
    }
    return out;
}

void ExportLabels(const QString& path, const TLabelSheet& sheet, int dpi, const TLabelJob& job,
                  const TLabelProgress& progress)
{
    if (path.endsWith(QStringLiteral(".zpl"), Qt::CaseInsensitive)) {
        const QByteArray zpl = LabelsZpl(job, sheet.LabelWidth, sheet.LabelHeight, dpi, progress);
        WriteNewFile(path, [&](const QString& temporary) {
            QFile file(temporary);
            if (!file.open(QIODevice::WriteOnly) || file.write(zpl) != zpl.size() || !file.flush())
                throw XException(QStringLiteral("Não foi possível gravar ") + path, kErrorClass);
        });
        return;
    }
    WriteNewFile(
        path, [&](const QString& temporary) { WriteLabelsPdf(temporary, sheet, job, progress); });
}
