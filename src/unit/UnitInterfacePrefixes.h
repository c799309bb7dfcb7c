#pragma once

#include <QString>

#include <functional>

// The words the unit commands put in front of their own. The application owns
// one and lends it to every command object: the configuration-option page
// picks EthIf and PPPIf from the wizard's unit's model, the settings give
// GPRSPPP. A command that must act on its own unit's interface, whichever
// unit the wizard has chosen, takes that unit's prefix from its model.
// Each command's own words begin with a blank, so the prefixes carry none.
struct UnitInterfacePrefixes {
    QString EthIf; // "eth 0" or "eth 1"; empty until the option page has run
    QString PPPIf; // "PPP 1" or "PPP 3"; empty until the option page has run
    // PPP instance of status, phone number and cellular ping. Asked each time
    // a command is built: the options dialog may change the setting at any
    // moment of the run, and a copy taken earlier would keep the old one.
    std::function<QString()> GPRSPPP = [] { return QStringLiteral("1"); };

    // The prefixes a unit of this model takes, the model text searched
    // without regard to case: "eth 1" on the KR5012, whose LAN port is its
    // second interface, else "eth 0"; "PPP 3" on the KR5005, else "PPP 1".
    static QString ethIfForModel(const QString& model)
    {
        return model.contains(QLatin1String("KR5012"), Qt::CaseInsensitive) ? QStringLiteral("eth 1")
                                                                            : QStringLiteral("eth 0");
    }
    static QString pppIfForModel(const QString& model)
    {
        return model.contains(QLatin1String("KR5005"), Qt::CaseInsensitive) ? QStringLiteral("PPP 3")
                                                                            : QStringLiteral("PPP 1");
    }
    // EthIf and PPPIf of a unit of this model; GPRSPPP stays the setting's.
    void setModel(const QString& model)
    {
        EthIf = ethIfForModel(model);
        PPPIf = pppIfForModel(model);
    }
};
