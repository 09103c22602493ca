// The Jet-dialect rewrite and the parameter scan on any text.
#include "fuzzcheck.h"
#include "xjetdialect.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString jet = QString::fromUtf8(FuzzBytes(data, size));
    const QString sqlite = JetToSqlite(jet);
    const QStringList names = JetParameterNames(jet);

    if (!jet.contains(u'"') && !jet.contains(u'['))
        FuzzCheck(sqlite == jet, "text without double quotes or brackets passes unchanged");
    // Literals and names keep their extent, so the rewrite finds the same parameters.
    FuzzCheck(JetParameterNames(sqlite) == names, "same parameters after the rewrite");
    for (qsizetype i = 0; i < names.size(); ++i) {
        FuzzCheck(!names[i].isEmpty() && !names[i].contains(u':'), "parameter name");
        for (qsizetype j = 0; j < i; ++j)
            FuzzCheck(names[i].compare(names[j], Qt::CaseInsensitive) != 0, "each name once");
    }
    return 0;
}
