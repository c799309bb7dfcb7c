#include "app/VerevoChannel.h"

VerevoChannel::VerevoChannel(std::unique_ptr<clsVerevo> verevo, QObject* parent)
    : DiscoveryChannel(parent)
    , m_verevo(std::move(verevo))
{
    connect(m_verevo.get(), &clsVerevo::RuraIDResponse, this, &DiscoveryChannel::RuraIDResponse);
}
