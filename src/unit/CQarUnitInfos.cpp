#include "unit/CQarUnitInfos.h"

CQarUnitInfos::Record CQarUnitInfos::Add(Record& record, const QString& key)
{
    if (!record)
        return {};
    QString k = folded(key);
    if (m_byKey.contains(k))
        return {};
    m_byKey.insert(k, record);
    m_keys.append(std::move(k));
    m_records.append(std::move(record));
    record.reset();
    return m_records.last();
}

CQarUnitInfos::Record CQarUnitInfos::Item(const QString& key) const
{
    return m_byKey.value(folded(key));
}

CQarUnitInfos::Record CQarUnitInfos::Item(qsizetype position) const
{
    if (position < 1 || position > m_records.size())
        return {};
    return m_records[position - 1];
}

bool CQarUnitInfos::Remove(const QString& key)
{
    const QString k = folded(key);
    if (!m_byKey.remove(k))
        return false;
    const qsizetype i = m_keys.indexOf(k);
    m_keys.removeAt(i);
    m_records.removeAt(i);
    return true;
}

bool CQarUnitInfos::Remove(qsizetype position)
{
    if (position < 1 || position > m_records.size())
        return false;
    m_byKey.remove(m_keys.takeAt(position - 1));
    m_records.removeAt(position - 1);
    return true;
}
