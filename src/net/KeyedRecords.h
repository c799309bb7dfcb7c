#pragma once

#include <QList>
#include <QString>

#include <memory>

// An ordered collection of shared records under unique text keys, the shape of
// the PC's interface and adapter collections. Positions count from 1. Unknown
// positions and keys give nullptr (Item) or false (Remove): callers must check.
template<typename Record> class KeyedRecords {
public:
    using Ptr = std::shared_ptr<Record>;

    // The collection takes the record over (the caller's pointer is moved from).
    // A key already present, or a null record, adds nothing and gives nullptr.
    Ptr Add(Ptr&& record, const QString& key)
    {
        Ptr taken = std::move(record);
        if (!taken || indexOf(key) >= 0)
            return nullptr;
        m_entries.append({ key, taken });
        return taken;
    }

    Ptr Item(qint32 position) const
    {
        if (position < 1 || position > m_entries.size())
            return nullptr;
        return m_entries[position - 1].record;
    }
    Ptr Item(const QString& key) const
    {
        const qsizetype i = indexOf(key);
        return i < 0 ? nullptr : m_entries[i].record;
    }

    qint32 Count() const { return qint32(m_entries.size()); }

    bool Remove(qint32 position)
    {
        if (position < 1 || position > m_entries.size())
            return false;
        m_entries.removeAt(position - 1);
        return true;
    }
    bool Remove(const QString& key)
    {
        const qsizetype i = indexOf(key);
        if (i < 0)
            return false;
        m_entries.removeAt(i);
        return true;
    }

    // Insertion order.
    QList<Ptr> records() const
    {
        QList<Ptr> out;
        out.reserve(m_entries.size());
        for (const Entry& e : m_entries)
            out.append(e.record);
        return out;
    }

private:
    // Declared before the iterator that names it; clang looks it up there.
    struct Entry {
        QString key;
        Ptr record;
    };

public:
    class const_iterator {
    public:
        using Inner = typename QList<typename KeyedRecords::Entry>::const_iterator;
        explicit const_iterator(Inner it)
            : m_it(it)
        { }
        const Ptr& operator*() const { return m_it->record; }
        const_iterator& operator++()
        {
            ++m_it;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return m_it == o.m_it; }
        bool operator!=(const const_iterator& o) const { return m_it != o.m_it; }

    private:
        Inner m_it;
    };
    const_iterator begin() const { return const_iterator(m_entries.cbegin()); }
    const_iterator end() const { return const_iterator(m_entries.cend()); }

    // The key every record of the PC's tables is filed under: its index as
    // decimal text without sign or blank.
    static QString keyOf(qint32 index) { return QString::number(quint32(index)); }

private:
    qsizetype indexOf(const QString& key) const
    {
        for (qsizetype i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].key == key)
                return i;
        }
        return -1;
    }

    QList<Entry> m_entries;
};
