#pragma once

#include "txmediaplayer.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QSoundEffect;

/**
 * The alert player of the running program: a .wav file played through Qt
 * Multimedia without waiting for its end. A missing or broken file, or no
 * audio device, plays nothing and never throws.
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
    void Close() override;

private:
    QString m_fileName;
    QPointer<QSoundEffect> m_effect;
};
