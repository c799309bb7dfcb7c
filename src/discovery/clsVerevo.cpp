#include "discovery/clsVerevo.h"

clsVerevo::clsVerevo(Clock& clock, UserPrompts& prompts, QString& broadcastAddress, InterfaceAddressFn interfaceAddress,
    std::function<void()> endProgram, VerevoSocketOptions options, QObject* parent)
    : QObject(parent)
    , fVerevo(std::make_unique<frmVerevo>(
          clock, prompts, broadcastAddress, std::move(interfaceAddress), std::move(endProgram), std::move(options)))
{
    connect(fVerevo.get(), &frmVerevo::RuraIDResponse, this, &clsVerevo::RuraIDResponse);
    connect(fVerevo.get(), &frmVerevo::RuraCMDResponse, this, &clsVerevo::RuraCMDResponse);
}

clsVerevo::~clsVerevo() = default;

void clsVerevo::SendQuery(const QString& id)
{
    fVerevo->SendQuery(id);
}

void clsVerevo::SetMac(const QByteArray& mac)
{
    fVerevo->SetMac(mac);
}

clsVerevo::CallId clsVerevo::OpenCall(
    const QByteArray& unitMac, const QString& marker, Qt::CaseSensitivity caseSensitivity, bool anyReply)
{
    return fVerevo->OpenCall(unitMac, marker, caseSensitivity, anyReply);
}

bool clsVerevo::SendRuraCmds(CallId call, const QString& id, const QStringList& commands)
{
    return fVerevo->SendRuraCmds(call, id, commands);
}

void clsVerevo::EndCall(CallId call)
{
    fVerevo->EndCall(call);
}

void clsVerevo::ForgetOwed(const QByteArray& unitMac)
{
    fVerevo->ForgetOwed(unitMac);
}

void clsVerevo::StopCurrentCommand()
{
    fVerevo->StopCurrentCommand();
}

void clsVerevo::setInterface()
{
    fVerevo->setInterface();
}
