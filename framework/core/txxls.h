#pragma once

#include "txcomponent.h"

#include <QString>
#include <QVariant>
#include <memory>

class TXWorkbook;

/**
 * Spreadsheet export component: drives an in-memory workbook that Save writes
 * as an .xlsx file.
 *
 * Open starts a workbook (a new one with the single sheet "Plan1" when NewFile
 * is true, otherwise the values of the existing FileName); Close drops it
 * without saving. SetCell writes into the workbook's active sheet and does
 * nothing while closed; the formatting operations act on the sheet chosen by
 * SelectSheet and raise XException while closed. A malformed range or a value
 * the spreadsheet refuses raises XException with the class name
 * "EOleException". Ranges are address texts such as "A1:" + CellName(r, c).
 */
class TXXLS : public TXComponent
{
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(bool NewFile READ NewFile WRITE SetNewFile)

public:
    /** Spreadsheet constants for SetAlignment. */
    static constexpr int xlGeneral = 1;
    static constexpr int xlLeft = -4131;
    static constexpr int xlCenter = -4108;
    static constexpr int xlRight = -4152;
    /** Spreadsheet constants for SetBorders. */
    static constexpr int xlContinuous = 1;
    static constexpr int xlLineStyleNone = -4142;

    explicit TXXLS(QObject* parent = nullptr);
    /** Closes without saving. */
    ~TXXLS() override;

    const QString& FileName() const noexcept { return m_fileName; }
    void SetFileName(const QString& value) { m_fileName = value; }
    bool NewFile() const noexcept { return m_newFile; }
    void SetNewFile(bool value) noexcept { m_newFile = value; }
    /** File name part of FileName; set only when an existing file was opened. */
    const QString& BookName() const noexcept { return m_bookName; }

    bool IsOpen() const noexcept { return m_book != nullptr; }
    /**
     * Closes a previous workbook, then starts a new one or reads FileName, and
     * selects the first sheet. False, and closed, when the file cannot be read;
     * shows no message.
     */
    bool Open();
    /** Chooses the target of the formatting operations (1-based); raises when there is no such
     * sheet. */
    void SelectSheet(int index);
    /**
     * Writes the workbook to FileName through a temporary file in the same
     * folder. A new workbook is moved into place only when the name is still
     * free, so an existing file is never overwritten; an opened file is replaced
     * whole. False on any failure, with the reason in LastError(); the component
     * stays open and shows no message.
     */
    bool Save();
    /** Drops the workbook without saving; closed afterwards in every case. */
    void Close();

    /** Why the last Save failed (class name and message); empty after a successful one. */
    const QString& LastErrorClass() const noexcept { return m_lastErrorClass; }
    const QString& LastErrorMessage() const noexcept { return m_lastErrorMessage; }

    /**
     * Writes a value into a 1-based cell of the active sheet: numbers stay numbers,
     * text stays text, a null value empties the cell. Does nothing while closed.
     */
    void SetCell(int column, int row, const QVariant& value);
    /** Fills the range; colour is the spreadsheet's integer, 0xBBGGRR. */
    void SetColor(const QString& range, int color);
    /** Sets the whole columns of the range to the width of their longest text. */
    void AutoFit(const QString& range);
    /** Horizontal alignment constant: xlCenter, xlLeft, xlRight, xlGeneral, ... */
    void SetAlignment(const QString& range, int alignment);
    /** Line style of every border of every cell in the range: xlContinuous, ... */
    void SetBorders(const QString& range, int lineStyle);

    /** ColumnName(column) + row, "D1"; empty when row or column is below 1. */
    static QString CellName(int row, int column);
    /** Column letters of a 1-based column: 1 "A", 27 "AA", 703 "AAA"; empty below 1. */
    static QString ColumnName(int column);

    /** The open workbook, for reading back what was written; null while closed. */
    const TXWorkbook* Workbook() const { return m_book.get(); }

private:
    struct RangeTarget;
    RangeTarget Target(const QString& range) const;

    QString m_fileName;
    bool m_newFile = false;
    std::unique_ptr<TXWorkbook> m_book; // "ExcelApp": null while closed
    int m_sheet = -1;                   // "Sheet": -1 while none is selected
    QString m_bookName;
    QString m_lastErrorClass;
    QString m_lastErrorMessage;
};
