#pragma once

#include "wizard/WizardPage.h"

class ClickLabel;
class QLabel;
class QPushButton;
class QRadioButton;
class SearchAnimation;
class UnitCommands;

// The configuration option page: probes the chosen unit and the PC (an
// optional factory reset, a DHCP server on the unit's LAN, a ping, the PC's
// gateway, DNS and DHCP), then words the three ways of addressing the unit
// and recommends one. The window takes no input until the probe has ended.
class frmWiz08 : public WizardPage {
    Q_OBJECT
public:
    frmWiz08(WizardRouter& router, QWidget* owner = nullptr);

    // The unit gets this address for its factory reset and, when it has
    // none, for the length of the DHCP server search.
    static QString temporaryAddress() { return QStringLiteral("192.168.0.99"); }

    QLabel* lblTitle;
    QLabel* lblResults;
    SearchAnimation* Animation1;
    QRadioButton* Option1;
    ClickLabel* Label1;
    QRadioButton* Option2;
    ClickLabel* Label2;
    QRadioButton* Option3;
    ClickLabel* Label3;
    QPushButton* cmdNext;
    QPushButton* cmdBack;
    QPushButton* cmdCancel;

protected:
    void onLoad() override;
    void startup() override;
    void nextClicked() override;
    bool ignoresCloseBox() const override { return !isEnabled(); }

private:
    // The steps of the probe; each returns false once the page has been
    // closed under it.
    bool offerFactoryReset(UnitCommands& unit);
    bool searchDhcpServer(UnitCommands& unit, bool hasAddress);
    bool deactivateCellular(UnitCommands& unit);
    // unitIp: the address the gateway and DNS are compared with; none when
    // no unit was found.
    void readPcSettings(const QString* unitIp);
    void writeResults(const QString& unitIp, bool unitFound);
    void recommend();
    void Option1_Click();
    void setResults(const QString& text);
    ClickLabel* addOptionText(QRadioButton* option, const QString& name, int top, int width, int height);
};
