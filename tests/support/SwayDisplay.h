#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A Wayland desktop for tests: Debian's sway on its headless backend (no
// screen, no GPU, no input devices; keys come from a virtual keyboard such
// as wtype's), with XWayland for X clients. sway will not run as root, so it
// runs as a spare user (nobody) with a runtime folder of its own. Clients of
// the test's own user reach the compositor by the socket's full path, and
// XWayland once that user has let them in. Everything ends with the object.
class SwayDisplay {
public:
    SwayDisplay() = default;
    ~SwayDisplay();
    SwayDisplay(const SwayDisplay&) = delete;
    SwayDisplay& operator=(const SwayDisplay&) = delete;

    // Empty when sway can run here, else why not.
    static QString unavailableReason();

    // One output of the given size and scale. False, with lastError(), when
    // sway or XWayland did not come up within 20 s.
    bool start(const QString& size = QStringLiteral("1280x1024"), int scale = 1);

    // Full path of the Wayland socket; ":N" of XWayland; sway's IPC socket.
    QString waylandDisplay() const { return m_wayland; }
    QString xDisplay() const { return m_x; }
    QString ipcSocket() const { return m_ipc; }

    // What a client of this desktop finds in its environment, as in a
    // Wayland session: WAYLAND_DISPLAY, DISPLAY (XWayland) and a runtime
    // folder of its own.
    QProcessEnvironment sessionEnvironment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

    // Runs swaymsg with the arguments and waits; true on exit code 0.
    bool swaymsg(const QStringList& arguments, QString* output = nullptr) const;

    QString lastError() const { return m_lastError; }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_clientRuntime;
    QProcess m_sway;
    QString m_wayland;
    QString m_x;
    QString m_ipc;
    QString m_lastError;
};
