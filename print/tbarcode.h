#pragma once

#include <QString>
#include <vector>

/** The symbologies the lab prints. EAN codes carry their check digit. */
enum class TSymbology { Ean13, Ean8, Code128, DataMatrix, Qr };

/** "EAN-13", "EAN-8", "Code 128", "DataMatrix", "QR". */
QString SymbologyName(TSymbology symbology);

/** A symbol as libzint lays it out, in modules (X dimensions), y downwards. */
struct TBarcodeSymbol
{
    struct Bar
    {
        double X, Y, Width, Height;
    };
    struct Text
    {
        double X, Y; // baseline; X is the centre, or the right end when RightAligned
        double Size; // em size
        bool RightAligned;
        QString Characters;
    };
    TSymbology Symbology = TSymbology::Code128;
    double Width = 0;  // quiet zones included
    double Height = 0; // human-readable digits included
    std::vector<Bar> Bars;
    std::vector<Text> Texts;
};

/**
 * Encodes code with libzint, quiet zones included. barHeight is the height of
 * the bars in modules (linear symbols; 2D symbols are square). EAN-13 and EAN-8
 * want all 13 or 8 digits with a valid check digit; linear symbols carry their
 * human-readable text below the bars. Raises XException with a Portuguese
 * message naming the code when it cannot be encoded.
 */
TBarcodeSymbol EncodeBarcode(TSymbology symbology, const QString& code, double barHeight = 50);

/** The plate label's symbology: EAN-13 for 13 digits whose check digit holds, else Code 128. */
TSymbology PlateSymbology(const QString& code);

/** The smallest module, in millimetres, a scanner reads reliably in that symbology. */
double MinimumModuleMm(TSymbology symbology);
/** The module the symbology is printed with when there is room, in millimetres. */
double NominalModuleMm(TSymbology symbology);
