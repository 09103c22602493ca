#include "tnumberedit.h"

#include "xformat.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>

#include <cmath>
#include <memory>

namespace {

// A message box or popup taking the focus is not the operator leaving the box.
bool MovesBetweenControls(const QFocusEvent* event)
{
    return event->reason() != Qt::ActiveWindowFocusReason &&
           event->reason() != Qt::PopupFocusReason;
}

bool IsEditingChar(QChar c)
{
    return c == QChar(8) || c == QChar(127);
}

} // namespace

TNumberEdit::TNumberEdit(QWidget* parent)
    : QLineEdit(parent), m_displayFormat(DefaultDisplayFormat(m_entryRequired))
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    resize(121, 21);
    // Composed and dropped text would bypass the key filter.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
    connect(this, &QLineEdit::textChanged, this, &TNumberEdit::OnTextChanged);
    ShowValue();
}

void TNumberEdit::SetEntryRequired(TNumberEditType kind)
{
    m_entryRequired = kind;
    m_displayFormat = DefaultDisplayFormat(kind);
    Redisplay();
}

void TNumberEdit::SetDisplayFormat(const QString& format)
{
    if (format == m_displayFormat)
        return;
    m_displayFormat = format;
    Redisplay();
}

void TNumberEdit::SetValue(double value)
{
    // Infinity or NaN has no text that would read back; keep the last number.
    if (value == m_value || !std::isfinite(value))
        return;
    m_value = value;
    Redisplay();
}

void TNumberEdit::Beep()
{
    QApplication::beep();
}

void TNumberEdit::Redisplay()
{
    if (!hasFocus())
        ShowValue();
}

void TNumberEdit::ShowValue()
{
    setText(FormatFloat(m_displayFormat, m_value, XFormatSettings()));
}

void TNumberEdit::Parse()
{
    const std::optional<double> value = ParseNumberText(text(), XFormatSettings().DecimalSeparator);
    if (value)
        m_value = *value;
    else
        Beep();
}

void TNumberEdit::OnTextChanged()
{
    // Change handlers still see the previous Value.
    emit Changed();
    Parse();
}

void TNumberEdit::focusInEvent(QFocusEvent* event)
{
    const bool entering = MovesBetweenControls(event);
    if (entering)
        selectAll();
    QLineEdit::focusInEvent(event);
    if (entering)
        emit Entered();
}

void TNumberEdit::focusOutEvent(QFocusEvent* event)
{
    const bool leaving = MovesBetweenControls(event);
    if (leaving) {
        Parse();
        ShowValue();
    }
    QLineEdit::focusOutEvent(event);
    if (leaving)
        emit Exited();
}

bool TNumberEdit::TypedKeyAccepted(QChar key) const
{
    const TNumberEditState state{text(), hasSelectedText() ? selectionStart() : cursorPosition(),
                                 int(selectedText().size())};
    if (!NumberKeyAccepted(m_entryRequired, key, state, XFormatSettings().DecimalSeparator))
        return false;
    return IsEditingChar(key) || m_maxLength == 0 ||
           state.Text.size() - state.SelLength < m_maxLength;
}

void TNumberEdit::keyPressEvent(QKeyEvent* event)
{
    if (m_maxLength > 0 && event->matches(QKeySequence::Paste)) {
        if (!isReadOnly())
            PasteWithinMaxLength();
        event->accept();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool shortcut =
        (modifiers & (Qt::ControlModifier | Qt::MetaModifier)) && !(modifiers & Qt::AltModifier);
    const QString typed = event->text();
    // Only typed characters are filtered; Enter, Tab, arrows and shortcuts go through.
    const bool character = !typed.isEmpty() && (typed.size() > 1 || typed[0].unicode() >= 0x20);
    if (!shortcut && character && (typed.size() > 1 || !TypedKeyAccepted(typed[0]))) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TNumberEdit::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_maxLength == 0) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    // Qt names its Paste entry with its own translation of "&Paste" (plus the shortcut).
    const QString pasteText = QLineEdit::tr("&Paste");
    for (QAction* action : menu->actions()) {
        if (action->text().section(QLatin1Char('\t'), 0, 0) != pasteText)
            continue;
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        connect(action, &QAction::triggered, this, &TNumberEdit::PasteWithinMaxLength);
    }
    menu->exec(event->globalPos());
}

void TNumberEdit::PasteWithinMaxLength()
{
    const qsizetype room = m_maxLength - (text().size() - selectedText().size());
    if (room > 0)
        insert(QApplication::clipboard()->text().left(room));
}
