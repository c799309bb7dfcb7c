#include "session/clsTrm.h"

#include "session/frmComms.h"

clsTrm::clsTrm(Clock& clock, UserPrompts& prompts, TrmOptions options, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_prompts(prompts)
    , m_options(std::move(options))
{ }

clsTrm::InCall::InCall(clsTrm& t)
    : trm(t)
{
    ++trm.m_calls;
}

clsTrm::InCall::~InCall()
{
    if (--trm.m_calls == 0)
        trm.m_closedWindow.reset();
}

clsTrm::~clsTrm()
{
    CloseComm();
}

void clsTrm::Setup()
{
    // A second Setup replaces the window, as loading a new one did; the old
    // one goes through its unload step first.
    if (m_window)
        CloseComm();
    m_window = std::make_unique<frmComms>(m_clock, m_prompts, m_options);
    m_window->CfgTrm(this);
    m_setUp = true;
}

void clsTrm::CloseComm()
{
    if (!m_setUp)
        return;
    m_setUp = false;
    m_window->CloseComm();
    m_window->DisconnectSession();
    if (m_calls > 0)
        m_closedWindow = std::move(m_window);
    else
        m_window.reset();
}

qint32 clsTrm::ConnectNowTelnet(
    const QString& user, const QString& password, const QString& host, const QString& expectedSerial)
{
    if (!m_window)
        return 4;
    InCall call(*this);
    const qint32 result = m_window->ConnectNowTelnet(user, password, host, expectedSerial);
    if (result == 0)
        emit Connected();
    return result;
}

void clsTrm::Send(const QString& data)
{
    if (m_window)
        m_window->Send(data);
}

void clsTrm::Send(const QByteArray& raw)
{
    if (m_window)
        m_window->Send(raw);
}

QString clsTrm::SendCommand(const QString& command, bool* error)
{
    if (!m_window)
        return {};
    InCall call(*this);
    return m_window->SendCommand(command, error);
}

QString clsTrm::readSerialNumber()
{
    if (!m_window)
        return {};
    InCall call(*this);
    return m_window->readSerialNumber();
}

bool clsTrm::Online() const
{
    return m_window && m_window->Online;
}

bool clsTrm::IPMode() const
{
    return m_window && m_window->IPMode;
}
