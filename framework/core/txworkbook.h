#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <map>
#include <memory>
#include <optional>
#include <vector>

/** A rectangle of cells, 0-based and inclusive. */
struct TXCellRange
{
    int Top = 0;
    int Left = 0;
    int Bottom = 0;
    int Right = 0;
};

/**
 * Number formats a cell can carry: dates need one to read as dates, and whole
 * numbers one that shows every digit (the general format turns a 13-digit code
 * into 7,89123E+12).
 */
enum class TXNumberFormat : quint8 { General, Whole, Date, DateTime };

/**
 * Formatting of one cell. Alignment and Border hold libxlsxwriter's enum
 * values (0 = the spreadsheet default); Fill is an RGB colour.
 */
struct TXCellStyle
{
    std::optional<quint32> Fill;
    quint8 Alignment = 0;
    quint8 Border = 0;
    TXNumberFormat NumberFormat = TXNumberFormat::General;

    bool operator==(const TXCellStyle&) const = default;
};
size_t qHash(const TXCellStyle& style, size_t seed = 0) noexcept;

/**
 * An in-memory workbook: sheets of typed cell values with per-cell styles and
 * column widths, written out as .xlsx. Loading an existing file reads its sheet
 * names and cell values (not its formatting). Errors raise XException with the
 * class name "EOleException", as the spreadsheet's own errors do.
 */
class TXWorkbook
{
public:
    /** Most rows and columns a sheet can hold. */
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;
    /** Longest text one cell can hold. */
    static constexpr int kMaxTextLength = 32767;
    /** Above this many cells WriteXlsx streams rows (texts inline) instead of sharing texts. */
    static constexpr size_t kConstantMemoryCells = 50000;

    /** A new workbook with one empty sheet. */
    explicit TXWorkbook(const QString& sheetName);
    ~TXWorkbook();
    TXWorkbook(const TXWorkbook&) = delete;
    TXWorkbook& operator=(const TXWorkbook&) = delete;

    /** Reads an existing .xlsx; raises XException when it is missing or unreadable. */
    static std::unique_ptr<TXWorkbook> Load(const QString& path);

    int SheetCount() const;
    /** Appends an empty sheet and returns its 0-based index; the name is checked when written. */
    int AddSheet(const QString& name);
    QString SheetName(int sheet) const;
    /** The sheet the workbook opens on (0-based). */
    int ActiveSheet() const { return m_activeSheet; }

    /**
     * Stores a value at a 0-based position: numbers and booleans stay typed, whole
     * numbers get the format "0", dates become date serials with a date format, a
     * null value empties the cell (its style stays), anything else is text. Raises
     * on a position or text beyond the spreadsheet's limits.
     */
    void SetValue(int sheet, int row, int column, const QVariant& value);
    /** The stored value: null, double, bool or QString (dates read as their serial). */
    QVariant Value(int sheet, int row, int column) const;
    TXCellStyle Style(int sheet, int row, int column) const;

    void SetFill(int sheet, const TXCellRange& range, quint32 rgb);
    void SetAlignment(int sheet, const TXCellRange& range, quint8 alignment);
    void SetBorder(int sheet, const TXCellRange& range, quint8 border);
    /** Widens or narrows each column to its longest text; a column with no text keeps its width. */
    void AutoFitColumns(int sheet, int firstColumn, int lastColumn);
    /** The width set for a column, in characters; nullopt for the default width. */
    std::optional<double> ColumnWidth(int sheet, int column) const;

    /** Writes the workbook as .xlsx to path (replacing it); raises XException on failure. */
    void WriteXlsx(const QString& path) const;

    /** Parses "B2", "A1:C10" or "$A$1:$C$10" into a range; false when malformed or out of limits.
     */
    static bool ParseRange(const QString& text, TXCellRange* range);

private:
    struct Sheet;
    struct Cell;
    Sheet& SheetAt(int sheet);
    const Sheet& SheetAt(int sheet) const;
    Cell& CellAt(Sheet& sheet, int row, int column);
    quint16 InternStyle(const TXCellStyle& style);
    template <typename Change> void Restyle(int sheet, const TXCellRange& range, Change change);

    std::vector<std::unique_ptr<Sheet>> m_sheets;
    int m_activeSheet = 0;
    std::vector<TXCellStyle> m_styles; // index 0 is the default style
    QHash<TXCellStyle, quint16> m_styleIndex;
};
