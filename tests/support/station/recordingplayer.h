#pragma once

#include "txmediaplayer.h"

#include <QStringList>
#include <functional>

/** Media player for tests: records the path of each file it plays; can be told to fail. */
class RecordingPlayer : public TXMediaPlayer
{
public:
    QString FileName() const override { return m_fileName; }
    void SetFileName(const QString& fileName) override
    {
        if (FailOnSetFileName)
            FailOnSetFileName();
        m_fileName = fileName;
    }
    void Play() override { Played << m_fileName; }
    void PlayFile(const QString& path) override { Played << path; }
    void Close() override { ++CloseCount; }

    QStringList Played;
    int CloseCount = 0;
    std::function<void()> FailOnSetFileName;

private:
    QString m_fileName;
};
