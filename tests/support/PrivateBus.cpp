#include "PrivateBus.h"

#include <QFile>

PrivateBus::PrivateBus()
{
    const QString config = m_dir.path() + QStringLiteral("/bus.conf");
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("cannot write the bus configuration");
        return;
    }
    // Anyone may own any name and call anything: the bus exists for one test.
    f.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig><type>session</type><listen>unix:dir="
        + QFile::encodeName(m_dir.path())
        + "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
          "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
    f.close();
    m_daemon.start(QStringLiteral("dbus-daemon"),
        { QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"), QStringLiteral("--print-address=1") });
    if (!m_daemon.waitForStarted(10'000)) {
        m_error = QStringLiteral("dbus-daemon: ") + m_daemon.errorString();
        return;
    }
    while (!m_daemon.canReadLine()) {
        if (!m_daemon.waitForReadyRead(10'000)) {
            m_error = QStringLiteral("dbus-daemon printed no address");
            return;
        }
    }
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
}

PrivateBus::~PrivateBus()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(3000);
        }
    }
}
