#include "app/DialogHostPrompt.h"

#include "app/frmTestHostname.h"

bool DialogHostPrompt::GetRemote(const QString& captionPrefix, QString& host)
{
    frmTestHostname prompt;
    prompt.setWindowTitle(captionPrefix + prompt.windowTitle());
    return prompt.GetRemote(host);
}
