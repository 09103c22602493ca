#include "xobject.h"

#include "xformat.h"

#include <QList>
#include <QPair>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <list>
#include <memory>
#include <mutex>
#include <typeindex>
#include <unordered_map>

namespace {

// Live instances in creation order, with an index for removal in constant time.
struct TRegistry
{
    std::mutex Lock;
    std::list<const TXObject*> Objects;
    std::unordered_map<const TXObject*, std::list<const TXObject*>::iterator> Index;
};

// Never destroyed: objects that outlive main() must still find it.
TRegistry& Registry()
{
    static TRegistry* registry = new TRegistry;
    return *registry;
}

void Register(const TXObject* object)
{
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.Lock);
    r.Index.emplace(object, r.Objects.insert(r.Objects.end(), object));
}

void Unregister(const TXObject* object)
{
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.Lock);
    const auto found = r.Index.find(object);
    if (found == r.Index.end())
        return;
    r.Objects.erase(found->second);
    r.Index.erase(found);
}

QString ClassName(const std::type_index& type)
{
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
    return QString::fromLatin1(status == 0 && demangled ? demangled.get() : type.name());
}

} // namespace

TXObject::TXObject()
{
    Register(this);
}

TXObject::TXObject(const TXObject& /*other*/)
{
    Register(this);
}

TXObject::~TXObject()
{
    Unregister(this);
}

QString LiveObjectsReport()
{
    QList<QPair<std::type_index, int>> counts;
    {
        TRegistry& r = Registry();
        std::lock_guard<std::mutex> guard(r.Lock);
        for (const TXObject* object : r.Objects) {
            const std::type_index type(typeid(*object));
            auto it = std::find_if(counts.begin(), counts.end(),
                                   [&type](const auto& entry) { return entry.first == type; });
            if (it == counts.end())
                counts.append({type, 1});
            else
                ++it->second;
        }
    }
    QString report;
    for (const auto& [type, count] : counts)
        report +=
            ClassName(type) + QLatin1Char(':') + QString::number(count) + QStringLiteral("\r\n");
    return report;
}

TXFramework::TXFramework()
{
    // Settle the regional record and the registry before any window exists.
    XFormatSettings();
    Registry();
}

TXFramework::~TXFramework()
{
    const QString report = LiveObjectsReport();
    if (report.isEmpty())
        return;
#ifdef NDEBUG
    std::fputs(report.toLocal8Bit().constData(), stderr);
#else
    qFatal("%s", qPrintable(report + QStringLiteral(" (UXGlobal, line 88)")));
#endif
}
