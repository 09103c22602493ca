#pragma once

#include <QString>

/**
 * The device that plays the alert sounds: it keeps the full path of the
 * alert's .wav file until it is set again and plays it, or another file,
 * without waiting for the end. A missing or broken file never blocks or throws.
 */
class TXMediaPlayer
{
public:
    virtual ~TXMediaPlayer() = default;

    virtual QString FileName() const = 0;
    virtual void SetFileName(const QString& fileName) = 0;
    /** Opens FileName and starts playing it asynchronously. */
    virtual void Play() = 0;
    /** Starts playing that file asynchronously; FileName stays as it is. */
    virtual void PlayFile(const QString& path) = 0;
    /** Stops and releases the sounds. */
    virtual void Close() = 0;
};
