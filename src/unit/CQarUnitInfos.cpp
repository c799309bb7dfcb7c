#include "unit/CQarUnitInfos.h"

qsizetype CQarUnitInfos::indexOf(const QString& key) const
{
    for (qsizetype i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i].compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

CQarUnitInfos::Record CQarUnitInfos::Add(Record& record, const QString& key)
{
    if (!record || indexOf(key) >= 0)
        return {};
    m_keys.append(key);
    m_records.append(std::move(record));
    record.reset();
    return m_records.last();
}

CQarUnitInfos::Record CQarUnitInfos::Item(const QString& key) const
{
    const qsizetype i = indexOf(key);
    return i >= 0 ? m_records[i] : Record();
}

CQarUnitInfos::Record CQarUnitInfos::Item(qsizetype position) const
{
    if (position < 1 || position > m_records.size())
        return {};
    return m_records[position - 1];
}

bool CQarUnitInfos::Remove(const QString& key)
{
    const qsizetype i = indexOf(key);
    if (i < 0)
        return false;
    m_keys.removeAt(i);
    m_records.removeAt(i);
    return true;
}

bool CQarUnitInfos::Remove(qsizetype position)
{
    if (position < 1 || position > m_records.size())
        return false;
    m_keys.removeAt(position - 1);
    m_records.removeAt(position - 1);
    return true;
}
