#pragma once

#include "net/CAdapter.h"

#include <QByteArray>
#include <QList>

#include <memory>

// One usable PC interface: the MAC bytes that key the discovery datagrams and
// find the adapter in the configuration layer, and the adapter record itself.
struct InterfaceEntry {
    QByteArray Mac;
    std::shared_ptr<CAdapter> Adapter;
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
