#include "session/clsTrm.h"

#include "session/frmComms.h"

clsTrm::clsTrm(Clock& clock, UserPrompts& prompts, TrmOptions options, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_prompts(prompts)
    , m_options(std::move(options))
{ }

clsTrm::~clsTrm()
{
    CloseComm();
}

void clsTrm::Setup()
{
    if (m_life.ended())
        return;
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
    std::unique_ptr<frmComms> window = std::move(m_window);
    window->CloseComm();
    window->DisconnectSession();
    window->CfgTrm(nullptr);
    // A wait of the window may be what is running: it sees the window ended
    // and returns, and the window goes after it.
    CallLifetime::release(std::move(window));
}

qint32 clsTrm::ConnectNowTelnet(
    const QString& user, const QString& password, const QString& host, const QString& expectedSerial)
{
    const CallLifetime::Call call(m_life);
    if (!m_window || m_life.ended())
        return 4;
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
    const CallLifetime::Call call(m_life);
    if (!m_window)
        return {};
    return m_window->SendCommand(command, error);
}

QString clsTrm::readSerialNumber()
{
    const CallLifetime::Call call(m_life);
    if (!m_window)
        return {};
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

void clsTrm::ForwardReceivedText(const QString& text)
{
    const CallLifetime::Call call(m_life);
    emit DataArrival(text);
}

void clsTrm::NotifyClosed()
{
    const CallLifetime::Call call(m_life);
    emit Closed();
}

void clsTrm::NewStatusMessage(const QString& text)
{
    const CallLifetime::Call call(m_life);
    emit StatusMessage(text);
}

void clsTrm::NewErrMessage(const QString& text)
{
    const CallLifetime::Call call(m_life);
    emit ErrMessage(text);
}
