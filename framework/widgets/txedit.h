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
 * another control (not to a message box or popup).
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

    /** Inserts text as if typed: case applied, cut to the room MaxLength leaves. */
    void InsertTyped(const QString& text);

signals:
    void Exited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ApplyCharCase();

    TXCharCase m_charCase = TXCharCase::Normal;
    int m_maxLength = 0;
};
