#include "XvfbDisplay.h"

#include <QDeadlineTimer>
#include <QStandardPaths>

namespace {
constexpr int kStartMs = 20000;

void stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}
} // namespace

XvfbDisplay::~XvfbDisplay()
{
    stop(m_wm);
    stop(m_xvfb);
}

QString XvfbDisplay::unavailableReason(bool withWindowManager)
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        return QStringLiteral("Xvfb is not installed (scripts/deps.sh installs it)");
    if (withWindowManager && QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
        return QStringLiteral("openbox is not installed (scripts/deps.sh installs it)");
    return QString();
}

bool XvfbDisplay::start(bool withWindowManager, const QString& screen)
{
    // -displayfd makes the server pick a free display and print its number
    // once it accepts clients, so parallel tests never race for one.
    m_xvfb.setProcessChannelMode(QProcess::SeparateChannels);
    m_xvfb.start(QStringLiteral("Xvfb"),
        { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"), screen,
            QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset") });
    const QDeadlineTimer deadline(kStartMs);
    while (!m_xvfb.canReadLine()) {
        if (m_xvfb.state() == QProcess::NotRunning || !m_xvfb.waitForReadyRead(int(deadline.remainingTime()))) {
            m_lastError
                = QStringLiteral("Xvfb did not start: ") + QString::fromLocal8Bit(m_xvfb.readAllStandardError());
            return false;
        }
    }
    m_display = QLatin1Char(':') + QString::fromLatin1(m_xvfb.readLine().trimmed());
    qputenv("DISPLAY", m_display.toLocal8Bit());
    return !withWindowManager || waitForWindowManager();
}

bool XvfbDisplay::waitForWindowManager()
{
    // openbox runs its start-up command once it manages the screen; the
    // command's line on openbox's own output says it is ready.
    m_wm.setProcessChannelMode(QProcess::SeparateChannels);
    m_wm.start(QStringLiteral("openbox"),
        { QStringLiteral("--sm-disable"), QStringLiteral("--startup"), QStringLiteral("echo openbox-ready") });
    const QDeadlineTimer deadline(kStartMs);
    QByteArray seen;
    while (!seen.contains("openbox-ready")) {
        if (m_wm.state() == QProcess::NotRunning || !m_wm.waitForReadyRead(int(deadline.remainingTime()))) {
            m_lastError
                = QStringLiteral("openbox did not start: ") + QString::fromLocal8Bit(m_wm.readAllStandardError());
            return false;
        }
        seen += m_wm.readAllStandardOutput();
    }
    return true;
}
