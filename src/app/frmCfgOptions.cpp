#include "app/frmCfgOptions.h"

#include "app/ViewSwitchLayout.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Configuration options");

// Box number, caption and switch, in the order the boxes are filled and read.
struct Switch {
    int index;
    const char* caption;
    bool (clsCfgOptions::*get)() const;
    void (clsCfgOptions::*set)(bool);
};
constexpr Switch kSwitches[] = {
    { 0, "Assign and confirm &IP address", &clsCfgOptions::ConfirmIP, &clsCfgOptions::setConfirmIP },
    { 1, "&Save config", &clsCfgOptions::SaveConfig, &clsCfgOptions::setSaveConfig },
    { 2, "&Reboot Unit", &clsCfgOptions::Reboot, &clsCfgOptions::setReboot },
    { 3, "&Wait for PPP link to be established", &clsCfgOptions::WaitForPPP, &clsCfgOptions::setWaitForPPP },
    { 4, "Test &PPP link", &clsCfgOptions::TestPPP, &clsCfgOptions::setTestPPP },
    { 5, "Configure unit as this PC's &gateway", &clsCfgOptions::SetGateway, &clsCfgOptions::setSetGateway },
    { 6, "Perform PC->Internet &connectivity test", &clsCfgOptions::TestPCConnectivity,
        &clsCfgOptions::setTestPCConnectivity },
    { 8, "Configure GPRS se&ttings", &clsCfgOptions::CfgGPRS, &clsCfgOptions::setCfgGPRS },
    { 10, "&Display Summary", &clsCfgOptions::DisplaySummary, &clsCfgOptions::setDisplaySummary },
};
// The boxes that only the advanced view shows, beside the GPRS frame.
constexpr int kAdvancedOnly[] = { 0, 1, 2, 5, 6 };
} // namespace

frmCfgOptions::frmCfgOptions(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(kCaption);
    for (const Switch& s : kSwitches)
        m_Check1[s.index] = new QCheckBox(QString::fromUtf8(s.caption));

    m_gprsFrame = new QGroupBox(QStringLiteral("GPRS Options"));
    auto* gprs = new QVBoxLayout(m_gprsFrame);
    for (int i : { 8, 3, 4 })
        gprs->addWidget(m_Check1[i]);

    m_outerFrame = new QGroupBox(QStringLiteral("Configuration Options"));
    auto* outer = new QVBoxLayout(m_outerFrame);
    for (int i : { 10, 0, 1, 2, 5, 6 })
        outer->addWidget(m_Check1[i]);
    outer->addWidget(m_gprsFrame);
    outer->addStretch();

    const ViewSwitchLayout::Buttons buttons = ViewSwitchLayout::build(this, m_outerFrame);
    m_OKButton = buttons.ok;
    m_CancelButton = buttons.cancel;
    m_cmdOptions = buttons.view;

    connect(m_OKButton, &QPushButton::clicked, this, &frmCfgOptions::OKButton_Click);
    connect(m_cmdOptions, &QPushButton::clicked, this, &frmCfgOptions::cmdOptions_Click);
    SetAdvancedView();
}

QCheckBox* frmCfgOptions::Check1(int index) const
{
    const auto it = m_Check1.find(index);
    return it == m_Check1.end() ? nullptr : it->second;
}

QGroupBox* frmCfgOptions::Frame1(int index) const
{
    return index == 1 ? m_outerFrame : index == 2 ? m_gprsFrame : nullptr;
}

bool frmCfgOptions::GetCfgOptions(const QString& serial, clsCfgOptions& options)
{
    m_options = &options;
    for (const Switch& s : kSwitches)
        m_Check1[s.index]->setChecked((options.*s.get)());
    setWindowTitle(kCaption + QStringLiteral(" for unit SN: ") + serial);
    SetAdvancedView();
    // Esc, Cancel and the close box all end in reject(); only OK accepts.
    const bool ok = exec() == QDialog::Accepted;
    m_options = nullptr;
    return ok;
}

void frmCfgOptions::OKButton_Click()
{
    // Every box, hidden or not: a switch the basic view hides keeps the value
    // it was shown with.
    if (m_options) {
        for (const Switch& s : kSwitches)
            (m_options->*s.set)(m_Check1[s.index]->isChecked());
    }
    accept();
}

void frmCfgOptions::cmdOptions_Click()
{
    m_advanced = !m_advanced;
    SetAdvancedView();
}

void frmCfgOptions::SetAdvancedView()
{
    m_cmdOptions->setText(m_advanced ? QStringLiteral("<< &Advanced") : QStringLiteral("&Advanced >>"));
    for (int i : kAdvancedOnly)
        m_Check1[i]->setVisible(m_advanced);
    m_gprsFrame->setVisible(m_advanced);
    ViewSwitchLayout::settle(this, m_outerFrame);
}
