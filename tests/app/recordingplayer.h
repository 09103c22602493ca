#pragma once

#include "txmediaplayer.h"

#include <QStringList>

/** A media player that plays nothing and records what it was asked. */
class RecordingPlayer : public TXMediaPlayer
{
public:
    QString FileName() const override { return m_fileName; }
    void SetFileName(const QString& fileName) override { m_fileName = fileName; }
    void Play() override { Played.append(m_fileName); }
    void Close() override { ++CloseCount; }

    QStringList Played;
    int CloseCount = 0;

private:
    QString m_fileName;
};
