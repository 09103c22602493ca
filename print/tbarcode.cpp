#include "tbarcode.h"

#include "xean.h"
#include "xexception.h"

#include <zint.h>

#include <memory>

namespace {

struct SymbolDeleter
{
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

int ZintSymbology(TSymbology symbology)
{
    switch (symbology) {
    case TSymbology::Ean13:
    case TSymbology::Ean8:
        return BARCODE_EANX_CHK;
    case TSymbology::Code128:
        return BARCODE_CODE128;
    case TSymbology::DataMatrix:
        return BARCODE_DATAMATRIX;
    case TSymbology::Qr:
        return BARCODE_QRCODE;
    }
    return BARCODE_CODE128;
}

bool AllDigits(const QString& code)
{
    for (const QChar c : code) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

QString SymbologyName(TSymbology symbology)
{
    switch (symbology) {
    case TSymbology::Ean13:
        return QStringLiteral("EAN-13");
    case TSymbology::Ean8:
        return QStringLiteral("EAN-8");
    case TSymbology::Code128:
        return QStringLiteral("Code 128");
    case TSymbology::DataMatrix:
        return QStringLiteral("DataMatrix");
    case TSymbology::Qr:
        return QStringLiteral("QR");
    }
    return {};
}

TBarcodeSymbol EncodeBarcode(TSymbology symbology, const QString& code, double barHeight)
{
    // libzint's EAN takes 2 to 13 digits (add-ons, zero padding): the length is ours to check.
    const int eanLength =
        symbology == TSymbology::Ean13 ? 13 : (symbology == TSymbology::Ean8 ? 8 : 0);
    if (eanLength && (code.size() != eanLength || !AllDigits(code))) {
        throw XException(QStringLiteral("O código \"%1\" não é um %2: são %3 algarismos, com o "
                                        "dígito verificador.")
                             .arg(code, SymbologyName(symbology))
                             .arg(eanLength));
    }
    if (eanLength && EanCheckDigit(code.left(eanLength - 1)) != code.back().digitValue()) {
        throw XException(QStringLiteral("O dígito verificador do código %1 (%2) não confere.")
                             .arg(code, SymbologyName(symbology)));
    }
    const std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol)
        throw XException(QStringLiteral("Sem memória para o código de barras."));
    symbol->symbology = ZintSymbology(symbology);
    symbol->output_options = BARCODE_QUIET_ZONES;
    symbol->height = float(barHeight);
    symbol->scale = 0.5f; // vector units of one module
    symbol->input_mode = UNICODE_MODE;
    const QByteArray data = code.toUtf8();
    const int status = ZBarcode_Encode_and_Buffer_Vector(
        symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()),
        0);
    if (status >= ZINT_ERROR || !symbol->vector) {
        throw XException(
            QStringLiteral("O código \"%1\" não pode ser impresso em %2 (%3).")
                .arg(code, SymbologyName(symbology), QString::fromUtf8(symbol->errtxt)));
    }
    TBarcodeSymbol result;
    result.Symbology = symbology;
    result.Width = symbol->vector->width;
    result.Height = symbol->vector->height;
    for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next)
        result.Bars.push_back({r->x, r->y, r->width, r->height});
    for (const zint_vector_string* s = symbol->vector->strings; s; s = s->next) {
        result.Texts.push_back(
            {s->x, s->y, s->fsize, s->halign == 2,
             QString::fromUtf8(reinterpret_cast<const char*>(s->text), s->length)});
    }
    return result;
}

TSymbology PlateSymbology(const QString& code)
{
    if (code.size() == 13 && AllDigits(code) &&
        EanCheckDigit(code.left(12)) == code.back().digitValue())
        return TSymbology::Ean13;
    return TSymbology::Code128;
}

double MinimumModuleMm(TSymbology symbology)
{
    // EAN: 80 % of the nominal 0.33 mm. The others: the 0.25 mm that the lab's
    // scanners read on the thermal and laser prints alike.
    return symbology == TSymbology::Ean13 || symbology == TSymbology::Ean8 ? 0.264 : 0.25;
}

double NominalModuleMm(TSymbology symbology)
{
    // 2D symbols read from their cell size, which wants more room than a bar.
    return symbology == TSymbology::DataMatrix || symbology == TSymbology::Qr ? 0.5 : 0.33;
}
