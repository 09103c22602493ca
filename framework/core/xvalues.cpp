#include "xvalues.h"

QVariant EmptyToDefault(const QString& text, const QVariant& def)
{
    return text.isEmpty() ? def : QVariant(text);
}

QVariant NullToDefault(const QVariant& value, const QVariant& def)
{
    return value.isNull() ? def : value;
}

QVariant IfValue(bool condition, const QVariant& a, const QVariant& b)
{
    return condition ? a : b;
}

QString ExtractToken(QString& text, const QString& separator)
{
    const qsizetype at = separator.isEmpty() ? -1 : text.indexOf(separator);
    if (at < 0) {
        QString whole;
        whole.swap(text);
        return whole;
    }
    const QString token = text.left(at);
    text.remove(0, at + separator.size());
    return token;
}
