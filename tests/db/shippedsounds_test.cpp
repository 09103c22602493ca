#include "shippedsounds.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

struct Wav
{
    int Format = 0, Channels = 0, Rate = 0, Bits = 0;
    QList<qint16> Samples;
};

// Walks the RIFF chunks; what is not found stays zero or empty.
Wav ReadWav(const QString& path)
{
    Wav wav;
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (!bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return wav;
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(bytes.data() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.data() + at); };
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const qsizetype body = at + 8;
        const qsizetype size = std::min<qsizetype>(u32(at + 4), bytes.size() - body);
        if (bytes.mid(at, 4) == "fmt " && size >= 16) {
            wav.Format = u16(body);
            wav.Channels = u16(body + 2);
            wav.Rate = int(u32(body + 4));
            wav.Bits = u16(body + 14);
        } else if (bytes.mid(at, 4) == "data") {
            for (qsizetype i = body; i + 1 < body + size; i += 2)
                wav.Samples << qint16(u16(i));
        }
        at = body + size + (size & 1);
    }
    return wav;
}

// The tone of each burst of sound, in Hz from its zero crossings. A burst is a run of 5 ms
// windows louder than a tenth of the peak; 10 ms of quiet ends it.
QList<double> BurstTones(const Wav& wav)
{
    const qsizetype window = wav.Rate / 200;
    int peak = 0;
    for (const qint16 s : wav.Samples)
        peak = std::max(peak, std::abs(int(s)));
    QList<std::pair<qsizetype, qsizetype>> bursts;
    for (qsizetype start = 0; window > 0 && start < wav.Samples.size(); start += window) {
        const qsizetype end = std::min(start + window, wav.Samples.size());
        const bool loud = std::any_of(wav.Samples.begin() + start, wav.Samples.begin() + end,
                                      [&](qint16 s) { return std::abs(int(s)) * 10 > peak; });
        if (!loud)
            continue;
        if (!bursts.isEmpty() && start - bursts.last().second < 2 * window)
            bursts.last().second = end;
        else
            bursts.append({start, end});
    }
    QList<double> tones;
    for (const auto& [start, end] : bursts) {
        int crossings = 0;
        int sign = 0;
        for (qsizetype i = start; i < end; ++i) {
            const int s = wav.Samples[i] > 0 ? 1 : wav.Samples[i] < 0 ? -1 : 0;
            crossings += (s != 0 && sign != 0 && s != sign);
            sign = s != 0 ? s : sign;
        }
        tones << crossings / 2.0 / (double(end - start) / wav.Rate);
    }
    return tones;
}

} // namespace

TEST(ShippedSoundsTest, TheBuildTreeHasThreeShortDistinctSounds)
{
    // The build copies the sounds where a program in any of its folders looks for them.
    const QDir folder(SoundsFolderFor(QCoreApplication::applicationDirPath()));
    ASSERT_TRUE(folder.isAbsolute());
    // Name, bursts, the range of their tones, each burst higher than the one before.
    const QList<std::tuple<QString, int, double, double, bool>> cases = {
        {kRejectionSoundName, 2, 180, 350, false},  // a low double buzz
        {kAcceptedSoundName, 1, 1600, 2000, false}, // one high beep
        {kCompleteSoundName, 3, 700, 1500, true},   // a rising three-note chime
    };
    for (const auto& [file, bursts, lowHz, highHz, rising] : cases) {
        const std::string name = file.toStdString();
        const Wav wav = ReadWav(folder.filePath(file));
        EXPECT_EQ(std::tuple(wav.Format, wav.Channels, wav.Bits), std::tuple(1, 1, 16)) << name;
        ASSERT_GT(wav.Rate, 0) << name;
        const double seconds = double(wav.Samples.size()) / wav.Rate;
        EXPECT_TRUE(seconds >= 0.05 && seconds <= 0.5) << name << " " << seconds;
        const QList<double> tones = BurstTones(wav);
        EXPECT_EQ(tones.size(), bursts) << name;
        for (const double hz : tones)
            EXPECT_TRUE(hz >= lowHz && hz <= highHz) << name << " " << hz;
        const auto notHigher = std::adjacent_find(tones.begin(), tones.end(), std::greater_equal());
        EXPECT_TRUE(!rising || notHigher == tones.end()) << name;
    }
}
