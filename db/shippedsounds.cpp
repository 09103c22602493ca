#include "shippedsounds.h"

#include <QCoreApplication>
#include <QDir>

QString SoundsFolderFor(const QString& programDir)
{
    // The same relative place as the build's copy and the install rule (CMakeLists.txt).
    return QDir::cleanPath(
        QDir(programDir).absoluteFilePath(QStringLiteral("../share/tressalin/sons")));
}

QString ShippedAlertSound()
{
    return QDir(SoundsFolderFor(QCoreApplication::applicationDirPath()))
        .filePath(kRejectionSoundName);
}
