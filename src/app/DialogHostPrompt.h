#pragma once

#include "unit/HostPrompt.h"

// The host prompt as its real window: a new frmTestHostname for each
// question, without an owner, as the tests ask it between other windows.
class DialogHostPrompt final : public HostPrompt {
public:
    bool GetRemote(const QString& captionPrefix, QString& host) override;
    bool GetRemoteWithPrompt(const QString& captionPrefix, const QString& promptText, QString& host) override;
};
