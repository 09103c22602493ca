#pragma once

#include "xnumberentry.h"

#include <QLineEdit>

/**
 * Single-line numeric edit. Typed keys are filtered by EntryRequired (see
 * NumberKeyAccepted), Value follows the text on every change, and without the
 * focus the text shows Value formatted with DisplayFormat and the regional
 * settings. Pasted text that is no number beeps and leaves Value as it was.
 *
 * MaxLength (0: no limit) restricts typing and pasting only; text the program
 * sets is never cut. Use it instead of QLineEdit::setMaxLength, which truncates.
 */
class TNumberEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(TNumberEditType EntryRequired READ EntryRequired WRITE SetEntryRequired)
    Q_PROPERTY(QString DisplayFormat READ DisplayFormat WRITE SetDisplayFormat)
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)

public:
    explicit TNumberEdit(QWidget* parent = nullptr);

    TNumberEditType EntryRequired() const noexcept { return m_entryRequired; }
    /** Also replaces DisplayFormat with the kind's default: set the format after the kind. */
    void SetEntryRequired(TNumberEditType kind);
    const QString& DisplayFormat() const noexcept { return m_displayFormat; }
    void SetDisplayFormat(const QString& format);
    double Value() const noexcept { return m_value; }
    void SetValue(double value);
    int MaxLength() const noexcept { return m_maxLength; }
    void SetMaxLength(int length) noexcept { m_maxLength = length < 0 ? 0 : length; }

signals:
    /** The text changed; Value still holds the number of the previous text. */
    void Changed();
    /** The focus came in from another control of the window. */
    void Entered();
    /** The focus went to another control; Value and text are already updated. */
    void Exited();

protected:
    /** The information beep for a text that is no number; tests override it. */
    virtual void Beep();

    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Redisplay();
    void ShowValue();
    void Parse();
    void OnTextChanged();
    bool TypedKeyAccepted(QChar key) const;
    void PasteWithinMaxLength();

    TNumberEditType m_entryRequired = TNumberEditType::floatingpointvalue;
    QString m_displayFormat;
    double m_value = 0;
    int m_maxLength = 0;
};
