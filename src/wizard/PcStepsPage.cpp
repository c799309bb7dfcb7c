#include "wizard/PcStepsPage.h"

#include "wizard/StepLabel.h"

#include <QLabel>
#include <QPushButton>

PcStepsPage::PcStepsPage(PageId id, WizardRouter& router, QWidget* owner, const QString& warning)
    : PcSettingsPage(id, router, owner, QStringLiteral("Configure Your PC"), warning)
{
    lblResults = addLabel(QString(), 735, 840, 7455, 2895);
    lblResults->setObjectName(QStringLiteral("lblResults"));
    lblResults->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblResults->setAutoFillBackground(true);
    lblResults->setBackgroundRole(QPalette::Base);

    lblInfo = addLabel(QStringLiteral("Info"), 840, 1800, 7200, 855);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    QFont info = font();
    info.setPointSizeF(12);
    info.setBold(true);
    lblInfo->setFont(info);
    lblInfo->setAlignment(Qt::AlignCenter);
    lblInfo->setWordWrap(true);
    lblInfo->setTextFormat(Qt::PlainText);

    Label7->setText(QStringLiteral("1) Wait for the configuration and tests to complete."));
    Label5->setText(QStringLiteral("2) Click &Next"));
    Frame1->raise();
}

QString PcStepsPage::doneText()
{
    return QStringLiteral("Click next to continue.");
}

void PcStepsPage::configure()
{
    lblResults->setVisible(false);
    // The changes wait in the event loop; the page is left only once they
    // are all done.
    cmdBack->setEnabled(false);
    cmdNext->setEnabled(false);
    m_rebootNeeded = false;
    for (const Step& step : steps()) {
        if (unloaded())
            return;
        if (!step.info.isEmpty()) {
            lblInfo->setText(step.info);
            lblInfo->repaint();
        }
        apply(step.change, step.failureText);
    }
    if (unloaded())
        return;
    lblInfo->setText(doneText());
    tellRebootIfNeeded();
    cmdBack->setEnabled(true);
    cmdNext->setEnabled(true);
    cmdNext->setFocus(Qt::OtherFocusReason);
}
