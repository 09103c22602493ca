#pragma once

#include <QLineEdit>

/** Letter case the edit gives typed text. */
enum class TXCharCase { Normal, Upper };

/**
 * A plain edit box with the entry rules of the station's screens: typed or
 * pasted text can be turned into upper case, and MaxLength (0: no limit)
 * restricts what the operator types or pastes only. Text the program sets
 * with setText is kept whole (QLineEdit::setMaxLength would cut it).
 */
class TXEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TXEdit(QWidget* parent = nullptr);

    TXCharCase CharCase() const noexcept { return m_charCase; }
    void SetCharCase(TXCharCase charCase) noexcept { m_charCase = charCase; }
    int MaxLength() const noexcept { return m_maxLength; }
    void SetMaxLength(int length) noexcept { m_maxLength = length < 0 ? 0 : length; }

    /** Inserts text as if typed: case applied, cut to the room MaxLength leaves. */
    void InsertTyped(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TXCharCase m_charCase = TXCharCase::Normal;
    int m_maxLength = 0;
};
