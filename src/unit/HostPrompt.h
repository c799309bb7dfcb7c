#pragma once

#include <QString>

// Asks the person for the host that a connectivity test should reach. The
// application shows its host prompt window; tests answer from a script.
class HostPrompt {
public:
    virtual ~HostPrompt() = default;

    // Shows a new modal prompt whose caption is captionPrefix followed by the
    // window's own caption, with host in its text box. OK writes the typed
    // text back into host and gives true; Cancel or closing the window gives
    // false and leaves host as it was.
    virtual bool GetRemote(const QString& captionPrefix, QString& host) = 0;
    // The same with promptText in place of the window's own prompt, for a
    // test that the PC runs rather than the unit.
    virtual bool GetRemoteWithPrompt(const QString& captionPrefix, const QString& promptText, QString& host)
    {
        Q_UNUSED(promptText);
        return GetRemote(captionPrefix, host);
    }
};
