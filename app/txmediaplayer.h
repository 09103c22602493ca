#pragma once

#include <QString>

/**
 * The device that plays the alert sound: it keeps the full path of a .wav
 * file until it is set again and plays it without waiting for the end.
 * A missing or broken file never blocks or throws.
 */
class TXMediaPlayer
{
public:
    virtual ~TXMediaPlayer() = default;

    virtual QString FileName() const = 0;
    virtual void SetFileName(const QString& fileName) = 0;
    /** Opens FileName and starts playing it asynchronously. */
    virtual void Play() = 0;
    /** Stops and releases the sound. */
    virtual void Close() = 0;
};
