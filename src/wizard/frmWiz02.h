#pragma once

#include "net/CInterfaces.h"
#include "net/InterfaceEntry.h"
#include "wizard/WizardPage.h"

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class frmMain;

// The adaptor page: which of the PC's usable interfaces shares the unit's
// network. Shown only when there are two or more to choose from.
class frmWiz02 : public WizardPage {
    Q_OBJECT
public:
    // A fresh read of the PC's interface table (CIpHelper::Interfaces).
    using InterfaceTable = std::function<std::shared_ptr<CInterfaces>()>;

    frmWiz02(WizardRouter& router, frmMain& main, InterfaceTable readInterfaces, QWidget* owner = nullptr);

    // The entry text of one usable interface: "1) desc    MAC: 00:11:...".
    static QString entryText(int number, QString description, const QString& mac);

    QLabel* lblTitle;
    QLabel* Label6;
    QLabel* Label1;
    QComboBox* cbInterfaces;
    QLabel* Label4;
    QLabel* lblIP;
    QLabel* Label3;
    QLabel* lblmask;
    QLabel* Label5;
    QLabel* lblDesc;
    QLabel* Label2;
    QPushButton* cmdCancel;
    QPushButton* cmdBack;
    QPushButton* cmdNext;

protected:
    void onLoad() override;

private:
    QLabel* addValueLabel(const QString& name, int left, int top, int width, int height);
    QString describe(const InterfaceEntry& entry);
    void cbInterfaces_Click();
    void cmdNext_Click();

    frmMain& m_main;
    InterfaceTable m_readInterfaces;
};
