#include "txscanguardbox.h"

#include "xmessagebox.h"
#include "xscanpace.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>
#include <QWindow>

namespace {

qint64 SteadyMs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

// Real key events carry the window system's time of the key, which stays right
// however late the event is handled; synthetic ones may carry none.
qint64 KeyTime(const QKeyEvent* event)
{
    return event->timestamp() != 0 ? qint64(event->timestamp()) : SteadyMs();
}

qint64 g_lastKeyPress = -1;

ScanPace::KeyKind KindOf(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ScanPace::KeyKind::Enter;
    case Qt::Key_Space:
    case Qt::Key_Escape:
        return ScanPace::KeyKind::Answer;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return ScanPace::KeyKind::Navigation;
    default:
        break;
    }
    const QString text = event->text();
    const bool printable =
        !text.isEmpty() && text[0].unicode() >= 0x20 && text[0].unicode() != 0x7f;
    const bool shortcut =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return printable && !shortcut ? ScanPace::KeyKind::Character : ScanPace::KeyKind::Other;
}

bool IsMouseInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
        return true;
    default:
        return false;
    }
}

const char kGuardProperty[] = "tx_scan_guard";

} // namespace

QString KeptScanText(const QString& code)
{
    return QStringLiteral("Leitura durante o aviso, não registrada: ") + code +
           QStringLiteral(". Feche o aviso e leia de novo.");
}

bool IsScanGuardBox(const QWidget* widget)
{
    return widget && widget->property(kGuardProperty).toBool();
}

void NoteKeyPress(const QKeyEvent* event)
{
    g_lastKeyPress = KeyTime(event);
}

TXScanGuardBox::TXScanGuardBox(const TXMessageRequest& request, QWidget* parent)
    : QMessageBox(parent), m_yesNo(request.YesNo), m_onKeptScan(request.OnKeptScan),
      m_now(&SteadyMs)
{
    setProperty(kGuardProperty, true);
    setWindowTitle(request.Caption.isEmpty() ? StandardMessageCaption(request.Kind)
                                             : request.Caption);
    QString text = request.Text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setText(text);
    setTextFormat(Qt::PlainText);
    setIcon(MessageBoxIcon(request.Kind));
    if (m_yesNo) {
        setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        setEscapeButton(QMessageBox::No);
        setDefaultButton(request.DefaultButton == TXMessageButton::Yes ? QMessageBox::Yes
                                                                       : QMessageBox::No);
    } else {
        setStandardButtons(QMessageBox::Ok);
        setEscapeButton(QMessageBox::Ok);
        setDefaultButton(QMessageBox::Ok);
    }
    // Shown without modality: a modal box makes Qt drop the keys that reach the
    // screen's window before the box has the focus. The guard blocks input instead.
    setWindowModality(Qt::NonModal);
}

TXScanGuardBox::~TXScanGuardBox()
{
    if (m_guarding)
        qApp->removeEventFilter(this);
}

void TXScanGuardBox::Open()
{
    m_lastKey = g_lastKeyPress;
    if (!m_guarding) {
        qApp->installEventFilter(this);
        m_guarding = true;
    }
    connect(this, &QDialog::finished, this, [this] {
        if (m_guarding)
            qApp->removeEventFilter(this);
        m_guarding = false;
    });
    show();
    raise();
    activateWindow();
    if (QPushButton* button = defaultButton())
        button->setFocus(Qt::OtherFocusReason);
    m_shownAt = m_now();
}

TXMessageButton TXScanGuardBox::Exec()
{
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    Open();
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    return Answer();
}

TXMessageButton TXScanGuardBox::Answer() const
{
    if (!m_yesNo)
        return TXMessageButton::Ok;
    return clickedButton() == button(QMessageBox::Yes) ? TXMessageButton::Yes : TXMessageButton::No;
}

bool TXScanGuardBox::Inside(QObject* object) const
{
    if (auto* widget = qobject_cast<QWidget*>(object))
        return widget == this || isAncestorOf(widget);
    if (auto* window = qobject_cast<QWindow*>(object))
        return window == windowHandle();
    return false;
}

bool TXScanGuardBox::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_guarding)
        return QMessageBox::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    switch (type) {
    case QEvent::KeyPress:
        // A key reaches a window first and then its focus widget: take it at the first.
        HandleKey(static_cast<QKeyEvent*>(event));
        return true;
    case QEvent::ShortcutOverride:
        // Accepted, so no shortcut of a screen fires; the key then comes as a press.
        event->accept();
        return true;
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
        return true;
    case QEvent::Close:
        if (!Inside(watched) && qobject_cast<QWidget*>(watched) &&
            static_cast<QWidget*>(watched)->isWindow()) {
            event->ignore();
            return true;
        }
        break;
    default:
        if (IsMouseInput(type) && !Inside(watched))
            return true;
        break;
    }
    return QMessageBox::eventFilter(watched, event);
}

void TXScanGuardBox::HandleKey(const QKeyEvent* event)
{
    const qint64 time = KeyTime(event);
    const qint64 quiet = m_lastKey < 0 ? -1 : std::max<qint64>(0, time - m_lastKey);
    m_lastKey = time;
    g_lastKeyPress = time;
    if (event->matches(QKeySequence::Copy)) {
        CopyText();
        return;
    }
    const ScanPace::KeyKind kind = KindOf(event);
    switch (ScanPace::Classify(kind, !m_pending.isEmpty(), quiet, m_now() - m_shownAt)) {
    case ScanPace::Verdict::Collect:
        m_pending += event->text();
        break;
    case ScanPace::Verdict::CompleteCode:
        KeepCode();
        break;
    case ScanPace::Verdict::Act:
        Act(event->key());
        break;
    case ScanPace::Verdict::Ignore:
        break;
    }
}

void TXScanGuardBox::CopyText()
{
    // The whole message for a support request, the codes it kept included.
    QString copied = windowTitle() + QLatin1Char('\n') + text();
    if (!informativeText().isEmpty())
        copied += QLatin1Char('\n') + informativeText();
    QApplication::clipboard()->setText(copied + QLatin1Char('\n'));
}

void TXScanGuardBox::KeepCode()
{
    m_kept << m_pending;
    m_pending.clear();
    QStringList lines;
    for (const QString& code : std::as_const(m_kept))
        lines << KeptScanText(code);
    setInformativeText(lines.join(QLatin1Char('\n')));
    if (m_onKeptScan)
        m_onKeptScan();
}

void TXScanGuardBox::Act(int key)
{
    auto* focused = qobject_cast<QAbstractButton*>(focusWidget());
    switch (key) {
    case Qt::Key_Escape:
        if (QAbstractButton* escape = escapeButton())
            escape->click();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (focused && buttons().contains(focused))
            focused->click();
        else if (QPushButton* byDefault = defaultButton())
            byDefault->click();
        break;
    default: {
        // Between the buttons only, in their order on the box.
        const QList<QAbstractButton*> all = buttons();
        if (all.isEmpty())
            break;
        const bool forward = key == Qt::Key_Tab || key == Qt::Key_Right || key == Qt::Key_Down;
        const qsizetype at = std::max<qsizetype>(0, all.indexOf(focused));
        const qsizetype next = (at + (forward ? 1 : all.size() - 1)) % all.size();
        all[next]->setFocus(Qt::TabFocusReason);
        break;
    }
    }
}
