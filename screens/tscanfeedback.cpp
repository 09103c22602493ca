#include "tscanfeedback.h"

#include "tfmain.h"
#include "txscanguardbox.h"
#include "xcolours.h"
#include "xfontscale.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWindow>

const QString kFocusBannerText =
    QStringLiteral("ATENÇÃO: esta tela não está recebendo as leituras do leitor.\n"
                   "Clique nela para voltar a ler.");

namespace {

QLabel* NewLine(QWidget* parent, int pointSize)
{
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(true);
    label->setFont(font);
    return label;
}

void Colour(QLabel* label, const QColor& background)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
}

} // namespace

QString RefusalStatusText(const QString& message)
{
    const QStringList lines = QString(message)
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                  .split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (!line.trimmed().isEmpty())
            return line.trimmed();
    }
    return QString();
}

TScanFeedback::TScanFeedback(QWidget* screen, const QRect& status)
    : QObject(screen), m_screen(screen), m_status(NewLine(screen, 20)),
      m_banner(NewLine(screen, 14))
{
    m_status->setObjectName(QStringLiteral("LStatus"));
    m_status->setGeometry(status);
    Clear();
    m_banner->setObjectName(QStringLiteral("LFocusBanner"));
    m_banner->setText(kFocusBannerText);
    m_banner->setGeometry(0, 0, screen->width(), Scaled(56));
    Colour(m_banner, kBannerAlert);
    m_banner->hide();
    // Where the keys go changes with the active window, and inside the main
    // window with the active screen.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TScanFeedback::UpdateBanner);
    connect(qApp, &QApplication::focusChanged, this, &TScanFeedback::UpdateBanner);
    // Every operator alert is a refusal, but the completion notices.
    if (FMain) {
        connect(FMain, &TFMain::AlertShown, this, [this](const QString& text, TAlertSound sound) {
            if (sound == TAlertSound::Complete)
                ShowAccepted(RefusalStatusText(text));
            else
                ShowRefused(text);
        });
    }
}

void TScanFeedback::Show(const QString& text, bool accepted)
{
    m_status->setText(text);
    Colour(m_status, accepted ? kBannerGo : kBannerAlert);
}

void TScanFeedback::ShowAccepted(const QString& text)
{
    Show(text, true);
}

void TScanFeedback::ShowRefused(const QString& message)
{
    Show(RefusalStatusText(message), false);
}

void TScanFeedback::Clear()
{
    m_status->setText(QString());
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::Window, m_screen->palette().color(QPalette::Window));
    m_status->setPalette(palette);
}

bool TScanFeedback::ReceivesKeys() const
{
    QWidget* active = QApplication::activeWindow();
    if (IsScanGuardBox(active))
        return true;
    if (!active || active != m_screen->window())
        return false;
    // Inside the main window only the active screen receives the keys.
    for (QWidget* w = m_screen->parentWidget(); w; w = w->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w))
            return sub->mdiArea() == nullptr || sub->mdiArea()->activeSubWindow() == sub;
    }
    return true;
}

void TScanFeedback::UpdateBanner()
{
    if (!m_screen->isVisible())
        return;
    const bool show = !ReceivesKeys();
    if (show == m_banner->isVisible())
        return;
    m_banner->setVisible(show);
    if (show)
        m_banner->raise();
}
