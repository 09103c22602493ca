#include "txsoundplayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

TXSoundPlayer::TXSoundPlayer(QObject* parent) : QObject(parent) {}

TXSoundPlayer::~TXSoundPlayer() = default;

void TXSoundPlayer::Play()
{
    PlayFile(m_fileName);
}

void TXSoundPlayer::PlayFile(const QString& path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    // One effect per file: a scan's sound must start at once, not after a reload.
    QPointer<QSoundEffect>& effect = m_effects[path];
    if (!effect) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(path));
    }
    // Loading is asynchronous: a sound still loading starts when it is ready.
    effect->play();
}

void TXSoundPlayer::Close()
{
    for (const QPointer<QSoundEffect>& effect : std::as_const(m_effects)) {
        if (effect) {
            effect->stop();
            delete effect;
        }
    }
    m_effects.clear();
}
