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

CQarUnitInfo::CQarUnitInfo() = default;

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

void CQarUnitInfo::setCuq(std::unique_ptr<clsUnitQuerier> querier)
{
    m_cuq = std::move(querier);
}

clsUnitQuerier* CQarUnitInfo::cuq() const
{
    // Making the object on first use does not change what the record is.
    if (!m_cuq && !m_discarded && m_cuqFactory && *m_cuqFactory)
        m_cuq = (*m_cuqFactory)(const_cast<CQarUnitInfo&>(*this));
    return m_cuq.get();
}
