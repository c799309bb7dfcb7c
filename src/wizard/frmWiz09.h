#pragma once

#include "wizard/WizardPage.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The cellular settings page: the person types the APN, the SIM's PIN and the
// PPP link's user name and password, which the apply-and-test page then sends
// to the unit. Help opens a page about these values in the desktop's viewer.
class frmWiz09 : public WizardPage {
    Q_OBJECT
public:
    explicit frmWiz09(WizardRouter& router, QWidget* owner = nullptr);

    // The help page, relative to the program's folder.
    static QString helpPage();

    QLabel* lblTitle;
    QLabel* Label4;
    QLineEdit* txtAPN;
    QLabel* Label1;
    QLineEdit* txtPIN;
    QLabel* Label2;
    QLineEdit* txtUserName;
    QLabel* Label3;
    QLineEdit* txtPassword;
    QLabel* Label7;
    QLabel* Label6;
    QLabel* Label5;
    QPushButton* cmdNext;
    QPushButton* cmdBack;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

protected:
    void onShown() override;
    void nextClicked() override;
    void helpClicked() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* addBox(const QString& name, int top);
};
