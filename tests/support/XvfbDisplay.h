#pragma once

#include <QProcess>
#include <QString>

// A private X display for tests that need a real window system: an Xvfb
// server on a display number it picks itself, and optionally the openbox
// window manager on it. start() sets DISPLAY for this process and its
// children; call it before the QApplication is made. Both servers end with
// the object.
class XvfbDisplay {
public:
    XvfbDisplay() = default;
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    // Empty when Xvfb (and openbox, when asked for) can run here, else why not.
    static QString unavailableReason(bool withWindowManager);

    // False, with lastError(), when a server did not come up within 20 s.
    bool start(bool withWindowManager, const QString& screen = QStringLiteral("1280x1024x24"));
    QString display() const { return m_display; }
    QString lastError() const { return m_lastError; }

private:
    bool waitForWindowManager();

    QProcess m_xvfb;
    QProcess m_wm;
    QString m_display;
    QString m_lastError;
};

// For a test program's main(): exit code that CTest reads as "skipped" when a
// test sets SKIP_RETURN_CODE to it.
inline constexpr int kSkipReturnCode = 77;
