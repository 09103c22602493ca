#include "txparameters.h"

#include "xexception.h"
#include "xjetdialect.h"

void TXParameters::ParseSQL(const QString& sql)
{
    QList<TXParameter> items;
    const QStringList names = JetParameterNames(sql);
    items.reserve(names.size());
    for (const QString& name : names) {
        TXParameter* kept = FindParam(name);
        items.append(kept ? *kept : TXParameter{name, TXParamType::String, QVariant()});
        items.last().Name = name;
    }
    m_items = std::move(items);
}

TXParameter* TXParameters::FindParam(const QString& name)
{
    for (TXParameter& p : m_items) {
        if (p.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    }
    return nullptr;
}

TXParameter& TXParameters::ParamByName(const QString& name)
{
    if (TXParameter* p = FindParam(name))
        return *p;
    throw XException(QStringLiteral("Parameter '%1' not found").arg(name),
                     QStringLiteral("EDatabaseError"));
}
