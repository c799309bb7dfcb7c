#pragma once

#include "app/AppSettings.h"
#include "net/UserPrompts.h"

#include <QDialog>

class PppInstanceBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The advanced options of the run: how long a reboot and the cellular link
// are waited for, the unit's PPP instance named in cellular commands and the
// time-out of every ping. OK stores the four boxes into the run's settings,
// where every later command and wait reads them; Cancel and the close box
// store nothing. The store itself is written only by the main window's unload.
// A box holding what start-up would not read back is refused with a box
// that says what it takes (SettingRules).
class frmOptions : public QDialog {
    Q_OBJECT
public:
    frmOptions(AppSettings& settings, UserPrompts& prompts, QWidget* parent = nullptr);

    // The boxes show the defaults (true) or the values in force (false).
    void ShowOptionValues(bool useDefaults);

    QGroupBox* Frame1;
    QLabel* lblRebootTimeout;
    QLineEdit* txtRebootTimeout;
    QLabel* lblPPPWaitTimeout;
    QLineEdit* txtPPPWaitTimeout;
    QLabel* lblGPRSPPP;
    // The box and its arrows in one control.
    PppInstanceBox* txtGPRSPPP;
    QLabel* lblPingTimeout;
    QLineEdit* txtPingTimeout;
    QPushButton* cmdRestore;
    QPushButton* OKButton;
    QPushButton* CancelButton;

private:
    void OKButton_Click();
    // Shows why the box's text cannot be stored and puts the person back in it.
    void refuse(QWidget* box, const QString& why);

    AppSettings& m_settings;
    UserPrompts& m_prompts;
};
