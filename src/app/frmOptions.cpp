#include "app/frmOptions.h"

#include "app/PppInstanceBox.h"
#include "app/SettingRules.h"
#include "app/WholeNumberText.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLineEdit* numberBox(QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    // About the 1455-twip boxes of the original, in the desktop's font.
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    return box;
}
} // namespace

frmOptions::frmOptions(AppSettings& settings, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Configure Advanced Options"));

    Frame1 = new QGroupBox(QStringLiteral("Advanced Options"), this);
    auto* rows = new QGridLayout(Frame1);
    rows->setHorizontalSpacing(24);
    auto addRow = [&](const QString& caption, QWidget* box) {
        auto* label = new QLabel(caption, Frame1);
        label->setBuddy(box);
        const int row = rows->rowCount();
        rows->addWidget(label, row, 0);
        rows->addWidget(box, row, 1, Qt::AlignLeft);
        return label;
    };
    txtRebootTimeout = numberBox(Frame1);
    lblRebootTimeout = addRow(QStringLiteral("Reboot timeout (secs)"), txtRebootTimeout);
    txtPPPWaitTimeout = numberBox(Frame1);
    lblPPPWaitTimeout = addRow(QStringLiteral("PPP connection timeout (secs)"), txtPPPWaitTimeout);
    txtGPRSPPP = new PppInstanceBox(Frame1);
    lblGPRSPPP = addRow(QStringLiteral("GPRS PPP to configure"), txtGPRSPPP);
    txtPingTimeout = numberBox(Frame1);
    lblPingTimeout = addRow(QStringLiteral("Connectivity Test Timeout (ms)"), txtPingTimeout);
    rows->setColumnStretch(1, 1);

    cmdRestore = new QPushButton(QStringLiteral("Restore Defaults"), this);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    OKButton->setDefault(true);
    cmdRestore->setAutoDefault(false);
    CancelButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRestore);
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdRestore, &QPushButton::clicked, this, [this] { ShowOptionValues(true); });
    connect(OKButton, &QPushButton::clicked, this, &frmOptions::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    ShowOptionValues(false);
}

void frmOptions::ShowOptionValues(bool useDefaults)
{
    const AppSettings defaults;
    const AppSettings& from = useDefaults ? defaults : m_settings;
    txtRebootTimeout->setText(QString::number(from.RebootTime));
    txtPPPWaitTimeout->setText(QString::number(from.PPPWaitTime));
    txtGPRSPPP->setText(from.GPRSPPP);
    txtPingTimeout->setText(QString::number(from.PingTimeout));
}

void frmOptions::refuse(QWidget* box, const QString& why)
{
    m_prompts.message(why, UserPrompts::Icon::Exclamation);
    box->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(box))
        edit->selectAll();
    else if (auto* spin = qobject_cast<PppInstanceBox*>(box))
        spin->selectAll();
}

namespace {
QString wholeNumber(const QLabel* label)
{
    return label->text() + QStringLiteral(" must be a whole number.");
}

QString wholeNumberIn(const QLabel* label, SettingRules::Range range)
{
    return label->text() + QStringLiteral(" must be a whole number from ") + QString::number(range.low)
        + QStringLiteral(" to ") + QString::number(range.high) + QStringLiteral(".");
}
} // namespace

void frmOptions::OKButton_Click()
{
    // Every box is judged before anything is stored, so a refused box leaves
    // all four values as they were.
    const auto reboot = WholeNumberText::read(txtRebootTimeout->text());
    if (!reboot)
        return refuse(txtRebootTimeout, wholeNumber(lblRebootTimeout));
    const auto pppWait = SettingRules::number(txtPPPWaitTimeout->text(), SettingRules::PPPWaitTime);
    if (!pppWait)
        return refuse(txtPPPWaitTimeout, wholeNumberIn(lblPPPWaitTimeout, SettingRules::PPPWaitTime));
    // Anything but a number would send the unit a broken or a different command.
    if (!SettingRules::isPppInstance(txtGPRSPPP->text()))
        return refuse(txtGPRSPPP, wholeNumber(lblGPRSPPP));
    const auto ping = SettingRules::number(txtPingTimeout->text(), SettingRules::PingTimeout);
    if (!ping)
        return refuse(txtPingTimeout, wholeNumberIn(lblPingTimeout, SettingRules::PingTimeout));

    m_settings.RebootTime = *reboot;
    m_settings.PPPWaitTime = *pppWait;
    m_settings.GPRSPPP = txtGPRSPPP->text();
    m_settings.PingTimeout = *ping;
    accept();
}
