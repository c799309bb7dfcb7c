#include "wizard/frmwiz12B.h"

#include "app/Twips.h"
#include "net/ModQarWmi.h"
#include "net/UserPrompts.h"
#include "wizard/StepLabel.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int kFieldRow = 480;
} // namespace

frmwiz12B::frmwiz12B(WizardRouter& router, QWidget* owner)
    : PcSettingsPage(PageId::Wiz12B, router, owner, QStringLiteral("Configure Your PC's IP Address"),
        QStringLiteral("To configure your PC's IP address statically click on the 'Configure PC' button."))
{
    Frame2 = new QFrame(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setFrameStyle(QFrame::Box | QFrame::Sunken);
    place(Frame2, 1560, 1080, 5775, 2415);

    // The defaults put the PC beside the unit's own defaults (192.168.0.99
    // in a /24), with the unit as gateway and name server.
    txtIP = addField(
        QStringLiteral("txtIP"), QStringLiteral("PC IP Address:"), Label3, QStringLiteral("192.168.0.1"), 240);
    Label3->setObjectName(QStringLiteral("Label3"));
    txtMask = addField(QStringLiteral("txtMask"), QStringLiteral("Subnet Mask:"), Label4,
        QStringLiteral("255.255.255.0"), 240 + kFieldRow);
    Label4->setObjectName(QStringLiteral("Label4"));
    txtgateway = addField(QStringLiteral("txtgateway"), QStringLiteral("Default Gateway:"), Label6,
        QStringLiteral("192.168.0.99"), 240 + 2 * kFieldRow);
    Label6->setObjectName(QStringLiteral("Label6"));
    txtDNS = addField(QStringLiteral("txtDNS"), QStringLiteral("DNS (Name Server):"), Label8,
        QStringLiteral("192.168.0.99"), 240 + 3 * kFieldRow);
    Label8->setObjectName(QStringLiteral("Label8"));

    Label7->setText(QStringLiteral("1) Advanced users may make changes to the above fields."));
    Label5->setText(QStringLiteral("2) Then click &Next"));
    Frame1->raise();
}

QLineEdit* frmwiz12B::addField(
    const QString& name, const QString& label, QLabel*& labelOut, const QString& value, int top)
{
    labelOut = new QLabel(label, Frame2);
    labelOut->setGeometry(Twips::rect(240, top, 2295, 360));
    labelOut->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* field = new QLineEdit(value, Frame2);
    field->setObjectName(name);
    field->setGeometry(Twips::rect(2655, top, 2775, 360));
    labelOut->setBuddy(field);
    return field;
}

QString frmwiz12B::tryAgainQuestion()
{
    return QStringLiteral("Do you want to change your settings and try again.");
}

void frmwiz12B::configure()
{
    // The change itself is Next's; the fields are now to be seen and edited.
    txtIP->setFocus(Qt::OtherFocusReason);
}

void frmwiz12B::nextClicked()
{
    cmdNext->setEnabled(false);
    cmdBack->setEnabled(false);
    m_rebootNeeded = false;
    bool failed = false;
    // No field is checked here: the adapter layer refuses what can't be an
    // address, and its refusal is named in the step's own box.
    const QString ip = txtIP->text();
    const QString mask = txtMask->text();
    const QString gateway = txtgateway->text();
    const QString dns = txtDNS->text();
    const auto step = [&](const std::function<qint32(AdapterConfigBackend&, const InterfaceEntry&)>& change,
                          const QString& failureText) {
        if (unloaded())
            return;
        const qint32 r = apply(change, failureText);
        failed = failed || (r != 0 && r != 1);
    };
    step([&](AdapterConfigBackend& c, const InterfaceEntry& e) { return ModQar::WmiEnableStatic(c, e, ip, mask); },
        QStringLiteral("A problem occurred setting the static IP address on the selected interface."));
    step([&](AdapterConfigBackend& c, const InterfaceEntry& e) { return ModQar::WmiSetGateways(c, e, gateway); },
        QStringLiteral("A problem occurred setting the default gateway on the selected interface."));
    step([&](AdapterConfigBackend& c, const InterfaceEntry& e) { return ModQar::WmiSetDnsServer(c, e, dns); },
        QStringLiteral("A problem occurred setting the name server on the selected interface."));
    if (unloaded())
        return;
    if (m_rebootNeeded) {
        tellRebootIfNeeded();
        failed = true;
    }
    if (failed && prompts().askYesNo(tryAgainQuestion(), UserPrompts::Icon::Question)) {
        cmdNext->setEnabled(true);
        cmdBack->setEnabled(true);
        stay();
        return;
    }
    leave(PageGraph::Button::Next);
}
