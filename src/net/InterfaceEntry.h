#pragma once

#include "net/CAdapter.h"

#include <QByteArray>
#include <QList>

#include <memory>

// One usable PC interface: the MAC bytes that key the discovery datagrams, the
// adapter record itself, and the kernel's index of the link. The
// configuration layer acts on the link of that index: a bridge, a bond and a
// VLAN share their MAC with other links, so the MAC alone names the link only
// where no index is known (0).
struct InterfaceEntry {
    QByteArray Mac;
    std::shared_ptr<CAdapter> Adapter;
    qint32 InterfaceIndex = 0;
};

// The usable interfaces found at start-up and the one in use. The application
// owns one and lends it to whoever needs the selected interface.
struct UsableInterfaces {
    QList<InterfaceEntry> InterfaceList;
    qint32 SelectedInterface = 0;
    qint32 LanAdapterCount = 0;

    // The selected entry, or nullptr when the index is outside the list.
    const InterfaceEntry* selected() const
    {
        if (SelectedInterface < 0 || SelectedInterface >= InterfaceList.size())
            return nullptr;
        return &InterfaceList[SelectedInterface];
    }
};
