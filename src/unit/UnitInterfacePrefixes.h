#pragma once

#include <QString>

#include <functional>

// The words the unit commands put in front of their own. The application owns
// one and lends it to every command object: the configuration-option page
// picks EthIf and PPPIf from the unit's model, the settings give GPRSPPP.
// Each command's own words begin with a blank, so the prefixes carry none.
struct UnitInterfacePrefixes {
    QString EthIf; // "eth 0" or "eth 1"; empty until the option page has run
    QString PPPIf; // "PPP 1" or "PPP 3"; empty until the option page has run
    // PPP instance of status, phone number and cellular ping. Asked each time
    // a command is built: the options dialog may change the setting at any
    // moment of the run, and a copy taken earlier would keep the old one.
    std::function<QString()> GPRSPPP = [] { return QStringLiteral("1"); };

    // The Ethernet prefix a unit of this model takes: "eth 1" for the one
    // model whose LAN port is its second interface, else "eth 0".
    static QString ethIfForModel(const QString& model)
    {
        return model.contains(QLatin1String("KR5012"), Qt::CaseInsensitive) ? QStringLiteral("eth 1")
                                                                            : QStringLiteral("eth 0");
    }
};
