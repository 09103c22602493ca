#include "txsoundplayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

TXSoundPlayer::TXSoundPlayer(QObject* parent) : QObject(parent) {}

TXSoundPlayer::~TXSoundPlayer() = default;

void TXSoundPlayer::Play()
{
    if (m_fileName.isEmpty() || !QFileInfo::exists(m_fileName))
        return;
    const QUrl source = QUrl::fromLocalFile(m_fileName);
    if (!m_effect)
        m_effect = new QSoundEffect(this);
    if (m_effect->source() != source)
        m_effect->setSource(source);
    // Loading is asynchronous: a sound still loading starts when it is ready.
    m_effect->play();
}

void TXSoundPlayer::Close()
{
    if (m_effect) {
        m_effect->stop();
        delete m_effect;
    }
}
