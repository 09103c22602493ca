#pragma once

#include "txmediaplayer.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class QSoundEffect;

/**
 * The alert player of the running program: .wav files played through Qt
 * Multimedia without waiting for their end, each file loaded once. A missing
 * or broken file, or no audio device, plays nothing and never throws.
 */
class TXSoundPlayer : public QObject, public TXMediaPlayer
{
    Q_OBJECT
public:
    explicit TXSoundPlayer(QObject* parent = nullptr);
    ~TXSoundPlayer() override;

    QString FileName() const override { return m_fileName; }
    void SetFileName(const QString& fileName) override { m_fileName = fileName; }
    void Play() override;
    void PlayFile(const QString& path) override;
    void Close() override;

private:
    QString m_fileName;
    QHash<QString, QPointer<QSoundEffect>> m_effects; // children, by path
};
