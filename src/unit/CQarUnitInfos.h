#pragma once

#include "unit/CQarUnitInfo.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>

// The unit records of one scan, keyed by serial number and kept in the order
// in which the units first answered. Keys compare without regard to case.
class CQarUnitInfos {
public:
    using Record = std::shared_ptr<CQarUnitInfo>;

    // Appends record under key and hands it back; the caller's reference is
    // cleared, so the record is reached through the result or the collection.
    // A key already present (or no record) stores nothing, leaves the caller's
    // reference as it was and gives an empty result.
    [[nodiscard]] Record Add(Record& record, const QString& key);

    // The record under key, or empty when no such key.
    Record Item(const QString& key) const;
    // The record at a 1-based position, or empty outside 1 .. Count().
    Record Item(qsizetype position) const;

    qsizetype Count() const { return m_records.size(); }

    // False when the key or the position is not there.
    bool Remove(const QString& key);
    bool Remove(qsizetype position);

    // The records in insertion order, as a copy: a walk over it stays sound
    // when the collection changes under it.
    QList<Record> NewEnum() const { return m_records; }

    QList<Record>::const_iterator begin() const { return m_records.cbegin(); }
    QList<Record>::const_iterator end() const { return m_records.cend(); }

private:
    // Keys compare without regard to case; a scan looks one up for every
    // datagram, so the lookup goes through a hash of the folded key.
    static QString folded(const QString& key) { return key.toCaseFolded(); }
    QHash<QString, Record> m_byKey;
    // Folded keys in the order of m_records; only removals walk it.
    QStringList m_keys;
    QList<Record> m_records;
};
