#include "wizard/frmwiz11A.h"

#include "wizard/UnitCommands.h"
#include "wizard/WizardRouter.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmwiz11A::frmwiz11A(WizardRouter& router, QWidget* owner)
    : UnitAddressPage(PageId::Wiz11A, router, owner, fieldTop(0), fieldTop(1))
{
    Label4->setText(QStringLiteral("Velmar eth IP"));
    txtIP->setText(QStringLiteral("192.168.0.99"));
    Label1->setText(QStringLiteral("Velmar eth mask"));
    txtMask->setText(QStringLiteral("255.255.255.0"));

    // What the unit's DHCP server hands out stands apart from the unit's own.
    const auto poolTop = [](int row) { return fieldTop(row) + kPoolGap; };
    Label2 = addCaption(QStringLiteral("Label2"), QStringLiteral("Assigned min IP"));
    txtasgdIP = addField(QStringLiteral("txtasgdIP"), Label2, QStringLiteral("192.168.0.1"), poolTop(2));
    Label3 = addCaption(QStringLiteral("Label3"), QStringLiteral("Assigned mask"));
    txtasgdMASK = addField(QStringLiteral("txtasgdMASK"), Label3, QStringLiteral("255.255.255.0"), poolTop(3));
    Label6 = addCaption(QStringLiteral("Label6"), QStringLiteral("Assigned gateway"));
    txtasgdgateway = addField(QStringLiteral("txtasgdgateway"), Label6, QStringLiteral("192.168.0.99"), poolTop(4));
    Label8 = addCaption(QStringLiteral("Label8"), QStringLiteral("Assigned DNS"));
    txtasgdDNS = addField(QStringLiteral("txtasgdDNS"), Label8, QStringLiteral("192.168.0.99"), poolTop(5));

    // The panel behind the fields.
    lblResults = new QFrame(this);
    lblResults->setObjectName(QStringLiteral("lblResults"));
    lblResults->setFrameShape(QFrame::StyledPanel);
    lblResults->setFrameShadow(QFrame::Sunken);
    const int top = fieldTop(0) - 150;
    place(lblResults, 1200, top, 6000, poolTop(5) + kFieldHeight + 150 - top);
    lblResults->lower();

    Label7 = addStep(
        QStringLiteral("Label7"), QStringLiteral("1) Advanced users may make changes to the above fields."), 3900);
    Label5 = addStep(QStringLiteral("Label5"), QStringLiteral("2) Then click &Next"), 4200);
}

void frmwiz11A::onLoad()
{
    lblTitle->setText(QStringLiteral("Configure the ") + QStringLiteral("Calvantor") + QStringLiteral(" for DHCP"));
}

bool frmwiz11A::applyPass(UnitCommands& unit)
{
    // A refused DHCP step sends neither the address nor the save and leaves
    // UnitIP as it was.
    if (!unit.run(&clsUnitQuerier::SetDHCP, txtasgdIP->text(), poolRange(), txtasgdMASK->text(), txtasgdgateway->text(),
            txtasgdDNS->text(), leaseTime()))
        return false;
    return applyEthernet(unit);
}

void frmwiz11A::nextClicked()
{
    if (!applyWithRetry([this](UnitCommands& unit) { return applyPass(unit); }))
        return;
    // Done or given up: the wizard goes on either way.
    leaveAfterApply(routeInputs());
}
