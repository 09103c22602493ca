#pragma once

#include <QString>
#include <QVariant>

/** The text as a string value when it is not empty, else the default (e.g. a null for SQL). */
QVariant EmptyToDefault(const QString& text, const QVariant& def);
/** The value unless it is null (or invalid), else the default. */
QVariant NullToDefault(const QVariant& value, const QVariant& def);
/** a when the condition holds, else b. */
QVariant IfValue(bool condition, const QVariant& a, const QVariant& b);

/**
 * The part of the text before the first separator; the text keeps what follows it. Without the
 * separator, the whole text is returned and the text is left empty.
 */
QString ExtractToken(QString& text, const QString& separator);

/**
 * Deletes the objects attached to the entries of a list of (name, owned object) pairs, e.g.
 * QList<QPair<QString, T*>>, from the last entry to the first, then clears the list.
 */
template <typename PairList> void FreeListObjects(PairList& list)
{
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        delete it->second;
        it->second = nullptr;
    }
    list.clear();
}

/** Deletes every owned item of a list of pointers, e.g. QList<T*>, last first, then clears it. */
template <typename PointerList> void FreeListItems(PointerList& list)
{
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        delete *it;
        *it = nullptr;
    }
    list.clear();
}
