#include "unit/CQarUnitInfo.h"

#include "unit/clsUnitQuerier.h"

QByteArray CQarUnitInfo::Mac() const
{
    // QByteArray shares its buffer until written; detaching here makes the copy
    // real at once, so even a caller that writes through data() cannot reach ours.
    QByteArray copy(m_Mac.constData(), m_Mac.size());
    return copy;
}

void CQarUnitInfo::setMac(const QByteArray& v)
{
    m_Mac = QByteArray(v.constData(), v.size());
}

CQarUnitInfo::CQarUnitInfo(const QuerierFactory& makeQuerier)
{
    // Every member is in place by now; the command object reads the record
    // only when a command runs.
    if (makeQuerier)
        m_cuq = makeQuerier(*this);
}

CQarUnitInfo::~CQarUnitInfo()
{
    // The last holder may let go from inside one of the command object's waits.
    CallLifetime::release(std::move(m_cuq));
}

void CQarUnitInfo::discard()
{
    m_discarded = true;
    if (m_cuq)
        m_cuq->end();
}
