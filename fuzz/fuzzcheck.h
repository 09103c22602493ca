#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

/** Aborts, which libFuzzer reports as a crash, when an invariant breaks; in every build type. */
inline void FuzzCheck(bool holds, const char* invariant)
{
    if (holds)
        return;
    std::fprintf(stderr, "Invariant broken: %s\n", invariant);
    std::abort();
}

/** The fuzzer's bytes as they come. */
inline QByteArray FuzzBytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}
