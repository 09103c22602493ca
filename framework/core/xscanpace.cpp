#include "xscanpace.h"

namespace ScanPace {

bool IsDeliberate(qint64 quietMs, qint64 visibleMs)
{
    return (quietMs < 0 || quietMs >= kQuietMs) && visibleMs >= kMinVisibleMs;
}

Verdict Classify(KeyKind kind, bool pendingCode, qint64 quietMs, qint64 visibleMs)
{
    switch (kind) {
    case KeyKind::Character:
        return Verdict::Collect;
    case KeyKind::Enter:
    case KeyKind::Navigation:
        // Whatever ends typed characters ends a code, at any pace: a person who
        // typed digits into the box is told they were not recorded, too.
        if (pendingCode)
            return Verdict::CompleteCode;
        break;
    case KeyKind::Answer:
        if (pendingCode)
            return Verdict::Ignore;
        break;
    case KeyKind::Other:
        return Verdict::Ignore;
    }
    return IsDeliberate(quietMs, visibleMs) ? Verdict::Act : Verdict::Ignore;
}

} // namespace ScanPace
