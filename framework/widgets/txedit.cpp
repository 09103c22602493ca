#include "txedit.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>

TXEdit::TXEdit(QWidget* parent) : QLineEdit(parent)
{
    // The context menu's paste goes through the same rules as typing.
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QLineEdit::textChanged, this, &TXEdit::ApplyCharCase);
}

void TXEdit::SetCharCase(TXCharCase charCase)
{
    m_charCase = charCase;
    ApplyCharCase();
}

void TXEdit::ApplyCharCase()
{
    if (m_charCase != TXCharCase::Upper)
        return;
    const QString upper = text().toUpper();
    if (upper == text())
        return;
    const int cursor = cursorPosition();
    setText(upper);
    setCursorPosition(cursor);
}

void TXEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A message box or a popup taking the window's focus does not leave the box.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit Exited();
}

void TXEdit::InsertTyped(const QString& text)
{
    if (isReadOnly())
        return;
    QString typed = m_charCase == TXCharCase::Upper ? text.toUpper() : text;
    if (m_maxLength > 0) {
        const qsizetype room = m_maxLength - (this->text().size() - selectedText().size());
        typed = typed.left(room > 0 ? room : 0);
    }
    if (!typed.isEmpty())
        insert(typed);
}

void TXEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        InsertTyped(QApplication::clipboard()->text());
        event->accept();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool shortcut =
        (modifiers & (Qt::ControlModifier | Qt::MetaModifier)) && !(modifiers & Qt::AltModifier);
    const QString typed = event->text();
    // Only typed characters are handled here; Enter, Tab, arrows and shortcuts go through.
    const bool character = !typed.isEmpty() && (typed.size() > 1 || typed[0].unicode() >= 0x20) &&
                           typed[0].unicode() != 0x7f;
    if (!shortcut && character) {
        InsertTyped(typed);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
