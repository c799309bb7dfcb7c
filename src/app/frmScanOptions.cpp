#include "app/frmScanOptions.h"

#include "app/ViewSwitchLayout.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

frmScanOptions::frmScanOptions(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Scan options"));
    m_all = new QRadioButton(QStringLiteral("Scan for &all units"));
    m_specific = new QRadioButton(QStringLiteral("Scan for &specific serial number"));
    m_txtSerial = new QLineEdit;
    m_mustHaveGPRS = new QCheckBox(QStringLiteral("Must have &GPRS support"));
    m_initialPing = new QCheckBox(QStringLiteral("Do initial &liveliness check"));

    m_Frame1 = new QGroupBox(QStringLiteral("Scan Options"));
    auto* frame = new QGridLayout(m_Frame1);
    frame->addWidget(m_all, 0, 0, 1, 2);
    frame->addWidget(m_specific, 1, 0);
    frame->addWidget(m_txtSerial, 1, 1);
    frame->addWidget(m_mustHaveGPRS, 2, 0, 1, 2);
    frame->addWidget(m_initialPing, 3, 0, 1, 2);
    frame->setColumnStretch(1, 1);

    const ViewSwitchLayout::Buttons buttons = ViewSwitchLayout::build(this, m_Frame1);
    m_OKButton = buttons.ok;
    m_CancelButton = buttons.cancel;
    m_cmdOptions = buttons.view;

    // A serial number is typed for the specific scan only.
    connect(m_specific, &QRadioButton::clicked, this, [this] { Option1_Click(0); });
    connect(m_all, &QRadioButton::clicked, this, [this] { Option1_Click(1); });
    connect(m_cmdOptions, &QPushButton::clicked, this, &frmScanOptions::cmdOptions_Click);
    connect(m_OKButton, &QPushButton::clicked, this, &frmScanOptions::OKButton_Click);
    HideAdvanced();
}

QRadioButton* frmScanOptions::Option1(int index) const
{
    return index == 0 ? m_specific : index == 1 ? m_all : nullptr;
}

QCheckBox* frmScanOptions::Check1(int index) const
{
    return index == 7 ? m_initialPing : index == 9 ? m_mustHaveGPRS : nullptr;
}

bool frmScanOptions::GetScanOptions(QString& serial, clsScanOptions& options)
{
    m_options = &options;
    m_txtSerial->setText(serial);
    if (!serial.isEmpty()) {
        m_specific->setChecked(true);
        m_txtSerial->setEnabled(true);
    } else {
        m_all->setChecked(true);
        m_txtSerial->setEnabled(false);
    }
    m_initialPing->setChecked(options.InitialPing());
    m_mustHaveGPRS->setChecked(options.MustHaveGPRS());
    HideAdvanced();
    m_ready = true;

    const bool ok = exec() == QDialog::Accepted;
    if (ok)
        serial = m_serial;
    m_options = nullptr;
    return ok;
}

void frmScanOptions::Option1_Click(int index)
{
    if (!m_ready)
        return;
    m_txtSerial->setEnabled(index == 0);
    if (index == 0)
        m_txtSerial->setFocus();
}

void frmScanOptions::cmdOptions_Click()
{
    if (m_advanced)
        HideAdvanced();
    else
        ShowAdvanced();
}

void frmScanOptions::HideAdvanced()
{
    m_advanced = false;
    applyView();
}

void frmScanOptions::ShowAdvanced()
{
    m_advanced = true;
    applyView();
}

void frmScanOptions::applyView()
{
    m_cmdOptions->setText(m_advanced ? QStringLiteral("<< A&dvanced") : QStringLiteral("A&dvanced >>"));
    m_mustHaveGPRS->setVisible(m_advanced);
    m_initialPing->setVisible(m_advanced);
    ViewSwitchLayout::settle(this, m_Frame1);
}

void frmScanOptions::OKButton_Click()
{
    if (m_options) {
        m_options->setInitialPing(m_initialPing->isChecked());
        m_options->setMustHaveGPRS(m_mustHaveGPRS->isChecked());
    }
    m_serial = m_specific->isChecked() ? m_txtSerial->text() : QString();
    accept();
}
