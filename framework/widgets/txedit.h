#pragma once

#include <QLineEdit>

/** Letter case the edit gives typed text. */
enum class TXCharCase { Normal, Upper };

/**
 * A plain edit box with the entry rules of the station's screens: typed or
 * pasted text can be turned into upper case (text the program sets as well),
 * and MaxLength (0: no limit) restricts what the operator types or pastes
 * only: text the program sets is kept whole (QLineEdit::setMaxLength would
 * cut it). Exited is emitted after the box has handled losing the focus to
 * another control of the same form (screen or dialog): not to a message box,
 * a popup, a menu, another screen or window, nor when the window is left.
 */
class TXEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TXEdit(QWidget* parent = nullptr);

    TXCharCase CharCase() const noexcept { return m_charCase; }
    void SetCharCase(TXCharCase charCase);
    int MaxLength() const noexcept { return m_maxLength; }
    void SetMaxLength(int length) noexcept { m_maxLength = length < 0 ? 0 : length; }

    /** Whether the box selects its whole text whenever it gets the focus, by a click too. */
    void SetSelectAllOnFocus(bool select) noexcept { m_selectAllOnFocus = select; }

    /** Inserts text as if typed: case applied, cut to the room MaxLength leaves. */
    void InsertTyped(const QString& text);

signals:
    void Exited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void ApplyCharCase();

    TXCharCase m_charCase = TXCharCase::Normal;
    int m_maxLength = 0;
    bool m_selectAllOnFocus = false;
    bool m_clickFocused = false; // the press that gave the focus must not place the cursor
};

/** The screen or dialog a widget belongs to: its window, or the widget inside an MDI subwindow. */
const QWidget* FormOf(const QWidget* widget);
