#pragma once

#include <QString>
#include <memory>
#include <utility>
#include <vector>

/**
 * An ordered list of named objects that owns them. Lookup by name ignores
 * letter case and is linear, in insertion order; duplicates are kept, the
 * first one wins a lookup.
 */
template <class T> class TStructList
{
public:
    struct Entry
    {
        QString Name;
        std::unique_ptr<T> Object;
    };

    void Add(const QString& name, std::unique_ptr<T> object)
    {
        m_entries.push_back(Entry{name, std::move(object)});
    }

    /** Index of the first entry with that name, or -1. */
    int IndexOf(const QString& name) const
    {
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].Name.compare(name, Qt::CaseInsensitive) == 0)
                return static_cast<int>(i);
        }
        return -1;
    }

    /** The first object with that name, or null. */
    T* Find(const QString& name) const
    {
        const int i = IndexOf(name);
        return i < 0 ? nullptr : m_entries[static_cast<std::size_t>(i)].Object.get();
    }

    int Count() const { return static_cast<int>(m_entries.size()); }
    const QString& Name(int i) const { return m_entries[static_cast<std::size_t>(i)].Name; }
    T* Object(int i) const { return m_entries[static_cast<std::size_t>(i)].Object.get(); }

    /** Frees every object, the last first, and empties the list. */
    void Clear()
    {
        while (!m_entries.empty())
            m_entries.pop_back();
    }

    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

private:
    std::vector<Entry> m_entries;
};
