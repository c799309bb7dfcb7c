#include "app/DialogHostPrompt.h"

#include "app/frmTestHostname.h"

#include <QLabel>

bool DialogHostPrompt::GetRemote(const QString& captionPrefix, QString& host)
{
    return GetRemoteWithPrompt(captionPrefix, QString(), host);
}

bool DialogHostPrompt::GetRemoteWithPrompt(const QString& captionPrefix, const QString& promptText, QString& host)
{
    frmTestHostname prompt;
    prompt.setWindowTitle(captionPrefix + prompt.windowTitle());
    if (!promptText.isEmpty())
        prompt.lblPrompt->setText(promptText);
    return prompt.GetRemote(host);
}
