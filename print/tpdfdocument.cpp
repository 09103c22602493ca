#include "tpdfdocument.h"

#include "tbarcode.h"
#include "xexception.h"

#include <QFile>
#include <hpdf.h>

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

void RecordError(HPDF_STATUS error, HPDF_STATUS detail, void* data)
{
    // libharu calls this from C: note the first error, Save reports it.
    auto* first = static_cast<HPDF_STATUS*>(data);
    if (*first == 0)
        *first = error ? error : detail;
}

void SetFill(HPDF_Page page, quint32 rgb)
{
    HPDF_Page_SetRGBFill(page, ((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f,
                         (rgb & 0xFF) / 255.0f);
}

} // namespace

struct TPdfDocument::Private
{
    HPDF_STATUS Error = 0;
    HPDF_Doc Doc = nullptr;
    HPDF_Page Page = nullptr;
    HPDF_Font Regular = nullptr;
    HPDF_Font Bold = nullptr;
    double PageHeight = 0; // points

    HPDF_REAL X(double mm) const { return HPDF_REAL(mm * kPointsPerMm); }
    HPDF_REAL Y(double mm) const { return HPDF_REAL(PageHeight - mm * kPointsPerMm); }
    HPDF_Font Font(bool bold) const { return bold ? Bold : Regular; }
};

TPdfDocument::TPdfDocument() : d(new Private)
{
    d->Doc = HPDF_New(RecordError, &d->Error);
    if (!d->Doc) {
        delete d;
        throw XException(QStringLiteral("Sem memória para o PDF."), QStringLiteral("EInOutError"));
    }
    HPDF_SetCompressionMode(d->Doc, HPDF_COMP_ALL);
    HPDF_SetInfoAttr(d->Doc, HPDF_INFO_CREATOR, "Tressalin");
    d->Regular = HPDF_GetFont(d->Doc, "Helvetica", "WinAnsiEncoding");
    d->Bold = HPDF_GetFont(d->Doc, "Helvetica-Bold", "WinAnsiEncoding");
}

TPdfDocument::~TPdfDocument()
{
    HPDF_Free(d->Doc);
    delete d;
}

void TPdfDocument::SetTitle(const QString& title)
{
    HPDF_SetInfoAttr(d->Doc, HPDF_INFO_TITLE, title.toLatin1().constData());
}

void TPdfDocument::NewPage(double widthMm, double heightMm)
{
    d->Page = HPDF_AddPage(d->Doc);
    d->PageHeight = heightMm * kPointsPerMm;
    HPDF_Page_SetWidth(d->Page, d->X(widthMm));
    HPDF_Page_SetHeight(d->Page, HPDF_REAL(d->PageHeight));
}

void TPdfDocument::FillRect(double x, double y, double width, double height, quint32 fill)
{
    SetFill(d->Page, fill);
    HPDF_Page_Rectangle(d->Page, d->X(x), d->Y(y + height), d->X(width), d->X(height));
    HPDF_Page_Fill(d->Page);
}

void TPdfDocument::Box(double x, double y, double width, double height, quint32 fill, double lineMm)
{
    SetFill(d->Page, fill);
    HPDF_Page_SetRGBStroke(d->Page, 0, 0, 0);
    HPDF_Page_SetLineWidth(d->Page, d->X(lineMm));
    HPDF_Page_Rectangle(d->Page, d->X(x), d->Y(y + height), d->X(width), d->X(height));
    HPDF_Page_FillStroke(d->Page);
}

double TPdfDocument::TextWidth(const QString& text, double points, bool bold)
{
    HPDF_Page_SetFontAndSize(d->Page, d->Font(bold), HPDF_REAL(points));
    return HPDF_Page_TextWidth(d->Page, text.toLatin1().constData()) / kPointsPerMm;
}

double TPdfDocument::FittingSize(const QString& text, double points, double width, bool bold)
{
    const double natural = TextWidth(text, points, bold);
    return natural <= width || natural <= 0 ? points : points * width / natural;
}

void TPdfDocument::Text(double x, double y, double points, const QString& text, Align align,
                        bool bold)
{
    const QByteArray latin = text.toLatin1();
    HPDF_Page_SetRGBFill(d->Page, 0, 0, 0);
    HPDF_Page_SetFontAndSize(d->Page, d->Font(bold), HPDF_REAL(points));
    double left = x;
    if (align != Align::Left) {
        const double width = HPDF_Page_TextWidth(d->Page, latin.constData()) / kPointsPerMm;
        left -= align == Align::Centre ? width / 2 : width;
    }
    HPDF_Page_BeginText(d->Page);
    HPDF_Page_TextOut(d->Page, d->X(left), d->Y(y), latin.constData());
    HPDF_Page_EndText(d->Page);
}

void TPdfDocument::Barcode(const TBarcodeSymbol& symbol, double x, double y, double moduleMm)
{
    HPDF_Page_SetRGBFill(d->Page, 0, 0, 0);
    for (const TBarcodeSymbol::Bar& bar : symbol.Bars) {
        HPDF_Page_Rectangle(d->Page, d->X(x + bar.X * moduleMm),
                            d->Y(y + (bar.Y + bar.Height) * moduleMm), d->X(bar.Width * moduleMm),
                            d->X(bar.Height * moduleMm));
    }
    HPDF_Page_Fill(d->Page);
    for (const TBarcodeSymbol::Text& text : symbol.Texts) {
        // libzint sizes its text in modules, like the bars.
        Text(x + text.X * moduleMm, y + text.Y * moduleMm, text.Size * moduleMm * kPointsPerMm,
             text.Characters, text.RightAligned ? Align::Right : Align::Centre);
    }
}

void TPdfDocument::Save(const QString& path)
{
    if (d->Error == 0)
        HPDF_SaveToFile(d->Doc, QFile::encodeName(path).constData());
    if (d->Error != 0) {
        throw XException(QStringLiteral("Não foi possível gravar %1 (erro 0x%2 da libharu).")
                             .arg(path)
                             .arg(d->Error, 0, 16),
                         QStringLiteral("EInOutError"));
    }
}
