#include "txxls.h"

#include "txworkbook.h"
#include "xexception.h"
#include "xsafefile.h"

#include <QFileInfo>
#include <xlsxwriter.h>

namespace {

const QString kSpreadsheetErrorClass = QStringLiteral("EOleException");

XException SpreadsheetError(const QString& message)
{
    return XException(message, kSpreadsheetErrorClass);
}

quint8 LxwAlignment(int alignment)
{
    switch (alignment) {
    case TXXLS::xlGeneral:
        return LXW_ALIGN_NONE;
    case TXXLS::xlLeft:
        return LXW_ALIGN_LEFT;
    case TXXLS::xlCenter:
        return LXW_ALIGN_CENTER;
    case TXXLS::xlRight:
        return LXW_ALIGN_RIGHT;
    case 5: // xlFill
        return LXW_ALIGN_FILL;
    case -4130: // xlJustify
        return LXW_ALIGN_JUSTIFY;
    case 7: // xlCenterAcrossSelection
        return LXW_ALIGN_CENTER_ACROSS;
    case -4117: // xlDistributed
        return LXW_ALIGN_DISTRIBUTED;
    }
    throw SpreadsheetError(QStringLiteral("Alinhamento horizontal inválido: %1.").arg(alignment));
}

quint8 LxwBorder(int lineStyle)
{
    switch (lineStyle) {
    case TXXLS::xlContinuous:
        return LXW_BORDER_THIN;
    case TXXLS::xlLineStyleNone:
        return LXW_BORDER_NONE;
    case -4115: // xlDash
        return LXW_BORDER_DASHED;
    case 4: // xlDashDot
        return LXW_BORDER_DASH_DOT;
    case 5: // xlDashDotDot
        return LXW_BORDER_DASH_DOT_DOT;
    case -4118: // xlDot
        return LXW_BORDER_DOTTED;
    case -4119: // xlDouble
        return LXW_BORDER_DOUBLE;
    case 13: // xlSlantDashDot
        return LXW_BORDER_SLANT_DASH_DOT;
    }
    throw SpreadsheetError(QStringLiteral("Estilo de borda inválido: %1.").arg(lineStyle));
}

} // namespace

struct TXXLS::RangeTarget
{
    int Sheet;
    TXCellRange Range;
};

TXXLS::TXXLS(QObject* parent) : TXComponent(parent) {}

TXXLS::~TXXLS()
{
    Close();
}

bool TXXLS::Open()
{
    Close();
    try {
        if (m_newFile) {
            m_book = std::make_unique<TXWorkbook>(QStringLiteral("Plan1"));
        } else {
            m_book = TXWorkbook::Load(m_fileName);
            m_bookName = QFileInfo(m_fileName).fileName();
        }
        SelectSheet(1);
        return true;
    } catch (const std::exception&) {
        Close();
        return false;
    }
}

void TXXLS::SelectSheet(int index)
{
    if (!IsOpen())
        throw XException(QStringLiteral("Planilha não aberta."), QStringLiteral("EXLSError"));
    if (index < 1 || index > m_book->SheetCount())
        throw SpreadsheetError(QStringLiteral("Planilha %1 inexistente.").arg(index));
    m_sheet = index - 1;
}

bool TXXLS::Save()
{
    m_lastErrorClass.clear();
    m_lastErrorMessage.clear();
    try {
        if (!IsOpen())
            throw XException(QStringLiteral("Planilha não aberta."), QStringLiteral("EXLSError"));
        WriteFileSafely(m_fileName, !m_newFile, kSpreadsheetErrorClass,
                        [this](const QString& temporary) { m_book->WriteXlsx(temporary); });
        return true;
    } catch (const XException& e) {
        m_lastErrorClass = e.ClassName();
        m_lastErrorMessage = e.Message();
    } catch (const std::exception& e) {
        m_lastErrorClass = QStringLiteral("Exception");
        m_lastErrorMessage = QString::fromLocal8Bit(e.what());
    }
    return false;
}

void TXXLS::Close()
{
    m_book.reset();
    m_sheet = -1;
}

void TXXLS::SetCell(int column, int row, const QVariant& value)
{
    if (!IsOpen())
        return;
    m_book->SetValue(m_book->ActiveSheet(), row - 1, column - 1, value);
}

TXXLS::RangeTarget TXXLS::Target(const QString& range) const
{
    if (!IsOpen() || m_sheet < 0)
        throw XException(QStringLiteral("Planilha não aberta."), QStringLiteral("EXLSError"));
    RangeTarget target{m_sheet, {}};
    if (!TXWorkbook::ParseRange(range, &target.Range))
        throw SpreadsheetError(QStringLiteral("Intervalo inválido: ") + range);
    return target;
}

void TXXLS::SetColor(const QString& range, int color)
{
    const RangeTarget target = Target(range);
    if (color < 0 || color > 0xFFFFFF)
        throw SpreadsheetError(QStringLiteral("Cor inválida: %1.").arg(color));
    // The spreadsheet's colour integer is blue-green-red; the file stores red-green-blue.
    const auto bgr = quint32(color);
    const quint32 rgb = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
    m_book->SetFill(target.Sheet, target.Range, rgb);
}

void TXXLS::AutoFit(const QString& range)
{
    const RangeTarget target = Target(range);
    m_book->AutoFitColumns(target.Sheet, target.Range.Left, target.Range.Right);
}

void TXXLS::SetAlignment(const QString& range, int alignment)
{
    const RangeTarget target = Target(range);
    m_book->SetAlignment(target.Sheet, target.Range, LxwAlignment(alignment));
}

void TXXLS::SetBorders(const QString& range, int lineStyle)
{
    const RangeTarget target = Target(range);
    m_book->SetBorder(target.Sheet, target.Range, LxwBorder(lineStyle));
}

QString TXXLS::CellName(int row, int column)
{
    if (row < 1 || column < 1)
        return {};
    return ColumnName(column) + QString::number(row);
}

QString TXXLS::ColumnName(int column)
{
    QString name;
    int n = column;
    while (n > 0) {
        int q = n / 26;
        const int r = n % 26;
        QChar letter(u'Z');
        if (r == 0)
            --q;
        else
            letter = QChar(char16_t(u'A' + r - 1));
        name.prepend(letter);
        n = q;
    }
    return name;
}
