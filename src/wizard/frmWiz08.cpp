#include "wizard/frmWiz08.h"

#include "app/AppSettings.h"
#include "net/Clock.h"
#include "net/ModQarWmi.h"
#include "net/UserPrompts.h"
#include "unit/CQarUnitInfo.h"
#include "wizard/ClickLabel.h"
#include "wizard/PageFonts.h"
#include "wizard/SearchAnimation.h"
#include "wizard/UnitCommands.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

namespace {
constexpr int kOptionLeft = 1080;
constexpr int kTextLeft = 1560;
// The option button stands level with the first line of its text.
constexpr int kOptionAboveText = 240;

const QString kNoAddress = QStringLiteral("0.0.0.0");
} // namespace

frmWiz08::frmWiz08(WizardRouter& router, QWidget* owner)
    : WizardPage(PageId::Wiz08, router, owner)
{
    setFont(PageFonts::body());

    lblTitle = addLabel(QStringLiteral("Choose Your Configuration Option"), 75, 120, 8775, 435);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(PageFonts::title());
    lblTitle->setAlignment(Qt::AlignCenter);

    // Three result lines; a little taller than the design so that the third
    // is not clipped by the font's line spacing.
    lblResults = addLabel(QString(), 1815, 600, 5295, 975);
    lblResults->setObjectName(QStringLiteral("lblResults"));
    lblResults->setTextFormat(Qt::PlainText);
    lblResults->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    Option1 = new QRadioButton(this);
    Label1 = addOptionText(Option1, QStringLiteral("1"), 1920, 6975, 735);
    Option2 = new QRadioButton(this);
    Label2 = addOptionText(Option2, QStringLiteral("2"), 3000, 6735, 855);
    Option3 = new QRadioButton(this);
    Label3 = addOptionText(Option3, QStringLiteral("3"), 3960, 6735, 855);

    Animation1 = new SearchAnimation(router.clock(), this);
    place(Animation1, 2640, 2760, 735, 615);
    Animation1->raise();

    cmdCancel = addNavButton(Nav::Cancel, 5280);
    cmdBack = addNavButton(Nav::Back, 6480);
    cmdNext = addNavButton(Nav::Next, 7680);

    connect(Option1, &QRadioButton::clicked, this, &frmWiz08::Option1_Click);
    connect(Label1, &ClickLabel::clicked, Option1, &QRadioButton::click);
    connect(Label2, &ClickLabel::clicked, Option2, &QRadioButton::click);
    connect(Label3, &ClickLabel::clicked, Option3, &QRadioButton::click);

    // Nothing is taken in, the close box included, until the probe is done.
    // What the probe is doing stays easy to read meanwhile.
    for (QLabel* label : { lblTitle, lblResults }) {
        QPalette p = label->palette();
        p.setColor(QPalette::Disabled, QPalette::WindowText, p.color(QPalette::Active, QPalette::WindowText));
        label->setPalette(p);
    }
    setEnabled(false);
}

ClickLabel* frmWiz08::addOptionText(QRadioButton* option, const QString& name, int top, int width, int height)
{
    option->setObjectName(QStringLiteral("Option") + name);
    place(option, kOptionLeft, top - kOptionAboveText, 375, 735);
    auto* text = new ClickLabel(this);
    text->setObjectName(QStringLiteral("Label") + name);
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(text, kTextLeft, top, width, height);
    return text;
}

void frmWiz08::onLoad()
{
    // The choices come with their words, once the probe has found them.
    for (QRadioButton* option : { Option1, Option2, Option3 })
        option->setVisible(false);
    Animation1->setVisible(true);
    setResults(QStringLiteral("\nPLEASE WAIT...."));
}

void frmWiz08::setResults(const QString& text)
{
    lblResults->setText(text);
}

void frmWiz08::startup()
{
    // The page is drawn before the first question comes up.
    Clock& clock = router().clock();
    clock.waitForEvents(clock.monotonicMs());
    if (unloaded())
        return;

    WizardState& s = state();
    const std::shared_ptr<CQarUnitInfo> unit = router().selectedUnit();
    QString unitIp;
    if (unit) {
        s.CurrentUnit = unit;
        UnitCommands commands(router(), unit);

        s.Prefixes.setModel(unit->model());

        // An address that holds the text 0.0.0.0 anywhere counts as none.
        const bool hasAddress = !unit->ip().contains(kNoAddress, Qt::CaseInsensitive);
        if (!offerFactoryReset(commands) || !searchDhcpServer(commands, hasAddress))
            return;

        unitIp = unit->ip();
        const AppSettings* settings = services().settings;
        s.UnitReachable = services().pingHost
            && services().pingHost(unitIp, QStringLiteral("LIVELINESS CHECK"), settings ? settings->PingTimeout : 1000);
        if (unloaded())
            return;
        readPcSettings(&unitIp);
    } else {
        // Nothing to probe; the PC's own side is still read and shown. An
        // earlier probe's ping says nothing about this choice.
        s.UnitReachable = false;
        readPcSettings(nullptr);
    }
    if (unloaded())
        return;
    writeResults(unitIp, bool(unit));

    Animation1->setVisible(false);
    for (QRadioButton* option : { Option1, Option2, Option3 })
        option->setVisible(true);
    setEnabled(true);
    recommend();
    cmdNext->setFocus(Qt::OtherFocusReason);
}

bool frmWiz08::offerFactoryReset(UnitCommands& unit)
{
    if (!prompts().askYesNo(QStringLiteral("Do you want to reset the Calvantor to the factory default configuration "
                                           "before continuing with the Wizard?"),
            UserPrompts::Icon::Question)) {
        return !unloaded();
    }
    if (unloaded())
        return false;
    setResults(QStringLiteral("\nResetting Calvantor to factory defaults."));
    // The factory configuration's address, before the reset is sent.
    unit.unit()->setIp(temporaryAddress());
    if (!unit.run(&clsUnitQuerier::resetConfig)) {
        if (unloaded())
            return false;
        prompts().message(QStringLiteral("Error resetting the configuration to factory defaults."),
            UserPrompts::Icon::Exclamation, QStringLiteral("Warning"));
        return !unloaded();
    }
    if (unloaded())
        return false;
    setResults(QStringLiteral("\nWaiting for reboot..."));
    if (!unit.run(&clsUnitQuerier::Reboot)) {
        if (unloaded())
            return false;
        prompts().message(QStringLiteral("The Calvantor did not respond correctly after reboot."),
            UserPrompts::Icon::Exclamation, QStringLiteral("Warning"));
    }
    return !unloaded();
}

bool frmWiz08::searchDhcpServer(UnitCommands& unit, bool hasAddress)
{
    setResults(QStringLiteral("\nPLEASE WAIT...."));
    WizardState& s = state();
    if (hasAddress) {
        s.DHCPSrvOnLAN = unit.run(&clsUnitQuerier::DHCPServerPresent);
        return !unloaded() && deactivateCellular(unit);
    }
    // A unit without an address can't look for a DHCP server: it borrows one
    // for the search and gives it back.
    if (!unit.run(&clsUnitQuerier::SetEth, temporaryAddress(), QStringLiteral("255.255.255.0"))) {
        if (unloaded())
            return false;
        prompts().message(QStringLiteral("Failed to set to ") + temporaryAddress());
    }
    if (unloaded())
        return false;
    s.DHCPSrvOnLAN = unit.run(&clsUnitQuerier::DHCPServerPresent);
    if (unloaded() || !deactivateCellular(unit))
        return false;
    if (!unit.run(&clsUnitQuerier::SetEth, QStringLiteral("!"), QStringLiteral("!"))) {
        if (unloaded())
            return false;
        prompts().message(QStringLiteral("Failed to set back to ") + unit.unit()->ip());
    }
    return !unloaded();
}

bool frmWiz08::deactivateCellular(UnitCommands& unit)
{
    if (state().WizardMode != 0)
        return true;
    if (!unit.run(&clsUnitQuerier::deactivateGPRS)) {
        if (unloaded())
            return false;
        prompts().message(QStringLiteral("Problem deactivating GPRS connection!"), UserPrompts::Icon::Exclamation,
            QStringLiteral("WARNING"));
    }
    return !unloaded();
}

void frmWiz08::readPcSettings(const QString* unitIp)
{
    WizardState& s = state();
    AdapterConfigBackend* adapters = services().adapters;
    const InterfaceEntry* entry = s.Interfaces.selected();
    qint32 dhcp = 2;
    if (adapters && entry) {
        if (unitIp) {
            s.PCGatewayIsUnit = ModQar::WmiGetDefaultGateway(*adapters, *entry) == *unitIp;
            s.PCDNSIsUnit = ModQar::WmiGetDnsServer(*adapters, *entry) == *unitIp;
        }
        dhcp = ModQar::WmiIsDhcpEnabled(*adapters, *entry);
    }
    if (dhcp == 1 || dhcp == 0)
        s.PCUsesDHCP = dhcp == 1;
    else
        prompts().message(
            QStringLiteral("Unable to determine whether or not the PC is configured to use a DHCP server."));
}

void frmWiz08::writeResults(const QString& unitIp, bool unitFound)
{
    WizardState& s = state();
    QString results = s.DHCPSrvOnLAN ? QStringLiteral("DHCP server is present on network.")
                                     : QStringLiteral("No DHCP server was detected on this network.");
    Label1->setText(QStringLiteral("Configure the Calvantor to serve an IP address to the PC using DHCP. Optionally "
                                   "configure the PC to obtain an IP address from the Calvantor."));
    results += s.PCUsesDHCP ? QStringLiteral("\nThis PC IS configured to use a DHCP server.")
                            : QStringLiteral("\nThe PC is NOT configured to use a DHCP server.");
    if (s.UnitReachable) {
        results += QStringLiteral("\nThis PC CAN ping the Calvantor unit now.");
        Label3->setText(QStringLiteral("Just configure the Calvantor. Optionally change the default gateway and DNS "
                                       "server of the PC to be the Calvantor's IP address."));
        s.PCCanPingUnit = true;
        if (unitFound)
            s.UnitIP = unitIp;
    } else {
        results += QStringLiteral("\nThis PC can NOT ping the Calvantor now.");
        Label3->setText(QStringLiteral("Assign a free IP address to the Calvantor from the same subnet as the PC's "
                                       "existing IP address. Optionally change the default gateway and DNS server "
                                       "of the PC to be the Calvantor's IP address."));
        s.PCCanPingUnit = false;
    }
    Label2->setText(QStringLiteral("Assign a new IP address to the Calvantor. Optionally also assign an IP address, "
                                   "gateway and DNS server to the PC statically."));
    setResults(results);
}

void frmWiz08::recommend()
{
    const WizardState& s = state();
    QRadioButton* option = Option1;
    ClickLabel* text = Label1;
    if (s.DHCPSrvOnLAN) {
        option = s.UnitReachable ? Option3 : Option2;
        text = s.UnitReachable ? Label3 : Label2;
    }
    // The texts were written afresh just before, so the mark never doubles.
    text->setText(text->text() + QStringLiteral(" (RECOMMENDED)"));
    option->click();
}

void frmWiz08::Option1_Click()
{
    if (!state().DHCPSrvOnLAN)
        return;
    prompts().message(
        QStringLiteral("This option is not allowed because the Calvantor detected another DHCP server on the network."),
        UserPrompts::Icon::Information);
    // A radio button can't be unchecked while it keeps its group exclusive.
    Option1->setAutoExclusive(false);
    Option1->setChecked(false);
    Option1->setAutoExclusive(true);
}

void frmWiz08::nextClicked()
{
    qint16 chosen = 0;
    if (Option1->isChecked())
        chosen = 1;
    else if (Option2->isChecked())
        chosen = 2;
    else if (Option3->isChecked())
        chosen = 3;
    if (chosen == 0) {
        prompts().message(QStringLiteral("You must select one of the above options before clicking Next"),
            UserPrompts::Icon::Information);
        stay();
        return;
    }
    state().ConfigOption = chosen;
    leave(PageGraph::Button::Next);
}
