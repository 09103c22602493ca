#include "txedit.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMouseEvent>

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

const QWidget* FormOf(const QWidget* widget)
{
    while (widget && !widget->isWindow()) {
        const QWidget* parent = widget->parentWidget();
        if (qobject_cast<const QMdiSubWindow*>(parent))
            return widget;
        widget = parent;
    }
    return widget;
}

void TXEdit::focusOutEvent(QFocusEvent* event)
{
    m_clickFocused = false;
    QLineEdit::focusOutEvent(event);
    // Qt names the new focus widget before it tells the old one: only a move to
    // another control of the same form leaves the box. A box, a popup, the menu
    // bar, another screen or window, or a closing form does not.
    const QWidget* next = QApplication::focusWidget();
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason ||
        event->reason() == Qt::MenuBarFocusReason)
        return;
    if (next && next != this && FormOf(next) == FormOf(this) && next->isVisible())
        emit Exited();
}

void TXEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (!m_selectAllOnFocus)
        return;
    selectAll();
    m_clickFocused = event->reason() == Qt::MouseFocusReason;
}

void TXEdit::mousePressEvent(QMouseEvent* event)
{
    // The click that brought the focus keeps the whole text selected, so the
    // next scan replaces the code instead of being appended to it.
    if (m_clickFocused && event->button() == Qt::LeftButton) {
        m_clickFocused = false;
        selectAll();
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
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
