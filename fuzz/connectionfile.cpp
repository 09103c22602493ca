// The connection-file reader: on any file content, on any payload inside a
// well-scrambled file, and the write-read round trip of a database path.
#include "connectionfile.h"
#include "fuzzcheck.h"
#include "xexception.h"
#include "xpackbuffer.h"
#include "xscramble.h"

#include <QFile>
#include <QtEndian>
#include <cstdint>

namespace {

std::optional<QString> ReadOrRaise(const QByteArray& content, bool& raised)
{
    raised = false;
    try {
        return ReadConnectionPayload(content);
    } catch (const XException&) {
        raised = true; // a stored length beyond the bytes present
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    bool raised = false;
    ReadOrRaise(input, raised);

    // The bytes as the payload of a file scrambled with the right key.
    const std::optional<QString> path =
        ReadOrRaise(ScrambleText(input, QByteArray(kConnectionFileKey)), raised);
    const bool marked = input.size() >= 4 && (qFromLittleEndian<qint32>(input.constData()) == 1 ||
                                              qFromLittleEndian<qint32>(input.constData()) == 2);
    FuzzCheck(marked == (path.has_value() || raised), "read only with a format marker");
    if (path) {
        TPackBuffer buffer;
        PackInitRead(buffer, input.mid(4));
        FuzzCheck(*path == QFile::decodeName(PackGetString(buffer)), "the stored path");
    }

    // The bytes as a database path.
    const QString databasePath = QString::fromUtf8(input);
    FuzzCheck(ReadOrRaise(BuildConnectionFile(databasePath), raised) == databasePath,
              "a written path reads back");
    return 0;
}
