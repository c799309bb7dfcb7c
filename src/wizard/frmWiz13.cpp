#include "wizard/frmWiz13.h"

#include "app/AppSettings.h"
#include "app/Twips.h"
#include "app/frmSummary.h"
#include "net/ModQarWmi.h"
#include "net/UserPrompts.h"
#include "wizard/PageFonts.h"
#include "wizard/UnitWebLogin.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardServices.h"
#include "wizard/WizardState.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace {
const QString kTitle = QStringLiteral("Calvantor Linkwise Completed");
const QString kUnit = QStringLiteral("Calvantor");
const QString kParagraph = QStringLiteral("\r\r");
constexpr int kPanelHeightUnreachable = 2655;
} // namespace

frmWiz13::frmWiz13(WizardRouter& router, QWidget* owner)
    : WizardPage(PageId::Wiz13, router, owner)
{
    setWindowTitle(kTitle);
    setFont(PageFonts::body());

    lblTitle = addLabel(kTitle, 75, 240, 8775, 495);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(PageFonts::title());
    lblTitle->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    lblResults = addLabel(QString(), 675, 840, 7560, 3255);
    lblResults->setObjectName(QStringLiteral("lblResults"));
    lblResults->setAutoFillBackground(true);
    QPalette green = lblResults->palette();
    green.setColor(QPalette::Window, QColor(0, 128, 0));
    lblResults->setPalette(green);

    lblInstructions = addLabel(QString(), 840, 960, 7200, 3135);
    lblInstructions->setObjectName(QStringLiteral("lblInstructions"));
    QFont text = PageFonts::body();
    text.setPointSizeF(12);
    lblInstructions->setFont(text);
    QPalette white = lblInstructions->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    lblInstructions->setPalette(white);
    lblInstructions->setTextFormat(Qt::PlainText);
    lblInstructions->setWordWrap(true);
    lblInstructions->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdConfigure = addButton(QStringLiteral("&Browse Velmar"), 3795, 4200);
    cmdConfigure->setObjectName(QStringLiteral("cmdConfigure"));
    place(cmdConfigure, 3795, 4200, 1335, 495);
    // Wide enough for its caption in the font this desktop has, about the
    // same centre.
    const int wanted = cmdConfigure->sizeHint().width();
    if (wanted > cmdConfigure->width())
        cmdConfigure->setGeometry(
            cmdConfigure->geometry().center().x() - wanted / 2, cmdConfigure->y(), wanted, cmdConfigure->height());
    onClicked(cmdConfigure, [this] { browse(); });

    cmdHelp = addNavButton(Nav::Help, 120);
    cmdHelp->setVisible(false);
    cmdBack = addNavButton(Nav::Back, 6480);
    cmdBack->setEnabled(false);
    cmdNext = addNavButton(Nav::Next, 7680);
    cmdNext->setText(QStringLiteral("&Finish"));
    cmdNext->setEnabled(false);
}

void frmWiz13::onLoad()
{
    lblTitle->setText(kTitle);
}

QString frmWiz13::OutcomeText(bool unitReachable, bool gatewayIsUnit, bool dnsIsUnit, bool cellularOk)
{
    const bool everything = unitReachable && gatewayIsUnit && dnsIsUnit && cellularOk;
    QString t = everything
        ? QStringLiteral("Congratulations, you have successfully configured the ") + kUnit + QStringLiteral(". ")
        : QStringLiteral("The wizard is now complete. ");
    t += QStringLiteral("The ") + kUnit
        + (cellularOk ? QStringLiteral(" connected succesfully to the Internet or other WAN. ")
                      : QStringLiteral(" did NOT connect succesfully to the Internet or other WAN. "));
    t += kParagraph;
    if (gatewayIsUnit && dnsIsUnit)
        t += QStringLiteral("The PC is now using the ") + kUnit
            + QStringLiteral(" as its default gateway and DNS server. ");
    else if (dnsIsUnit)
        t += QStringLiteral("The PC is now using the ") + kUnit
            + QStringLiteral(" as its DNS server but not its default gateway. ");
    else if (gatewayIsUnit)
        t += QStringLiteral("The PC is now using the ") + kUnit
            + QStringLiteral(" as its default gateway but not its DNS server. ");
    else
        t += QStringLiteral("The PC is not now using the ") + kUnit
            + QStringLiteral(" as either its default gateway or DNS server. ");
    if (unitReachable) {
        t += kParagraph;
        t += gatewayIsUnit && dnsIsUnit && cellularOk
            ? QStringLiteral("This means that you should be able to route through the ") + kUnit
                + QStringLiteral(" to the Internet or other WAN right now. ")
            : QStringLiteral("This means that you will NOT be able to route through the ") + kUnit
                + QStringLiteral(" to the Internet or other WAN right now. ");
        t += kParagraph;
        t += QStringLiteral("You can configure the ") + kUnit + QStringLiteral(" further by clicking the 'Browse ")
            + kUnit + QStringLiteral("' button below. ");
    } else {
        t += kParagraph;
        t += QStringLiteral("As the PC cannot ping the ") + kUnit
            + QStringLiteral(" right now, it will not be possible to configure the ") + kUnit
            + QStringLiteral(" further by Ethernet at this stage. ");
    }
    return t;
}

void frmWiz13::startup()
{
    WizardState& s = state();
    const WizardServices& svc = services();
    const qint32 timeoutMs = svc.settings ? svc.settings->PingTimeout : 1000;
    s.UnitReachable = svc.pingHost && svc.pingHost(s.UnitIP, QStringLiteral("LIVELINESS CHECK"), timeoutMs);
    if (unloaded())
        return;

    // What the adapter says now: after a DHCP change, the lease's values.
    QString gateway;
    QString dns = QStringLiteral("False");
    if (const InterfaceEntry* entry = s.Interfaces.selected(); entry && svc.adapters) {
        gateway = ModQar::WmiGetDefaultGateway(*svc.adapters, *entry);
        dns = ModQar::WmiGetDnsServer(*svc.adapters, *entry);
    }
    s.PCGatewayIsUnit = gateway == s.UnitIP;
    s.PCDNSIsUnit = dns == s.UnitIP;

    m_outcome = OutcomeText(s.UnitReachable, s.PCGatewayIsUnit, s.PCDNSIsUnit, s.GPRSTestOK);
    if (!s.UnitReachable) {
        cmdConfigure->setEnabled(false);
        place(lblResults, 675, 840, 7560, kPanelHeightUnreachable);
    }
    QString shown = m_outcome;
    shown.replace(kParagraph, QStringLiteral("\n\n"));
    showOnPanel(shown);
    cmdBack->setEnabled(true);
    cmdNext->setEnabled(true);
    cmdNext->setFocus(Qt::OtherFocusReason);
}

void frmWiz13::showOnPanel(const QString& text)
{
    // The text stays on the panel, which is shorter when the unit can't be
    // pinged; a wider font than the design's steps down until it fits.
    const int margin = Twips::toPx(120);
    lblInstructions->resize(
        lblInstructions->width(), lblResults->geometry().bottom() - lblInstructions->y() - margin / 2);
    QFont f = lblInstructions->font();
    f.setPointSizeF(12);
    const QRect room(0, 0, lblInstructions->width(), lblInstructions->height());
    while (f.pointSizeF() > 8
        && QFontMetrics(f).boundingRect(room, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text).height()
            > room.height())
        f.setPointSizeF(f.pointSizeF() - 0.5);
    lblInstructions->setFont(f);
    lblInstructions->setText(text);
}

void frmWiz13::cmdConfigure_Click()
{
    // Another page may run it: the page is not deleted while it waits.
    runGuarded([this] { browse(); });
}

void frmWiz13::browse()
{
    cmdConfigure->setEnabled(false);
    const WizardServices& svc = services();
    const QString unitIp = state().UnitIP;
    std::optional<QString> failure;
    QNetworkAccessManager* http = svc.http ? svc.http() : nullptr;
    if (!http) {
        failure = QStringLiteral("No HTTP client");
    } else {
        UnitWebLogin login(router().clock(), *http);
        // Back or Finish may be pressed while the requests wait.
        failure = login.run(unitIp, [this] { return unloaded(); });
        if (unloaded())
            return;
        if (!failure) {
            const QUrl page = UnitWebLogin::defaultPageUrl(unitIp);
            if (!svc.openUrl || !svc.openUrl(page))
                failure = QStringLiteral("The web browser could not be started for ") + page.toString();
        }
    }
    if (failure)
        prompts().message(*failure, UserPrompts::Icon::Exclamation);
    cmdConfigure->setEnabled(true);
}

void frmWiz13::ConfirmExit()
{
    cancelClicked();
}

void frmWiz13::ShowSummary()
{
    // The window's own boxes (overwrite, a failed save) stand over it.
    auto* summary = new frmSummary(frmSummary::Services { services().store, nullptr }, this);
    summary->setAttribute(Qt::WA_DeleteOnClose);
    summary->show();
}

void frmWiz13::backClicked()
{
    const std::optional<PageGraph::Route> r = PageGraph::route(id(), PageGraph::Button::Back, routeInputs());
    if (!r || !leaveTo(r->to, r->startup))
        return;
    // The PC page opens on its warning; its Back, hidden until Configure PC,
    // is usable once shown.
    if (WizardPage* settings = router().page(r->to))
        if (QPushButton* back = settings->navButton(Nav::Back))
            back->setEnabled(true);
}
