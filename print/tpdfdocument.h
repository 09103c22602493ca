#pragma once

#include <QString>

struct TBarcodeSymbol;

/**
 * A PDF being drawn with libharu, in millimetres from the page's top left
 * corner; colours are 0xRRGGBB. Text uses the standard Helvetica faces (Latin-1 characters).
 * Drawing errors are gathered and reported by Save.
 */
class TPdfDocument
{
public:
    enum class Align { Left, Centre, Right };

    TPdfDocument();
    ~TPdfDocument();
    TPdfDocument(const TPdfDocument&) = delete;
    TPdfDocument& operator=(const TPdfDocument&) = delete;

    void SetTitle(const QString& title);
    /** Starts a page of that size; every drawing goes on the last page started. */
    void NewPage(double widthMm, double heightMm);
    void FillRect(double x, double y, double width, double height, quint32 fill);
    /** A filled rectangle with a black outline of lineMm. */
    void Box(double x, double y, double width, double height, quint32 fill, double lineMm);
    /** Text with its baseline at y, anchored at x as align says. */
    void Text(double x, double y, double points, const QString& text, Align align = Align::Left,
              bool bold = false);
    /** The width of text, in millimetres. */
    double TextWidth(const QString& text, double points, bool bold = false);
    /** The largest size, at most points, with which text fits width. */
    double FittingSize(const QString& text, double points, double width, bool bold = false);
    /** Draws the symbol, its quiet zones starting at (x, y), one module being moduleMm. */
    void Barcode(const TBarcodeSymbol& symbol, double x, double y, double moduleMm);

    /** Writes the document to path. Raises XException when drawing or writing failed. */
    void Save(const QString& path);

private:
    struct Private;
    Private* d;
};
