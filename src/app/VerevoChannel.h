#pragma once

#include "app/DiscoveryChannel.h"
#include "discovery/clsVerevo.h"

#include <memory>

// The program's discovery object as the scan's channel. It owns the object,
// so the main window that owns the channel owns the one discovery object.
class VerevoChannel final : public DiscoveryChannel {
    Q_OBJECT
public:
    explicit VerevoChannel(std::unique_ptr<clsVerevo> verevo, QObject* parent = nullptr);

    void SetMac(const QByteArray& mac) override { m_verevo->SetMac(mac); }
    void SendQuery(const QString& id) override { m_verevo->SendQuery(id); }
    clsVerevo* verevo() override { return m_verevo.get(); }

private:
    std::unique_ptr<clsVerevo> m_verevo;
};
