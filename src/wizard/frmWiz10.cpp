#include "wizard/frmWiz10.h"

#include "net/ClockTimer.h"
#include "net/UserPrompts.h"
#include "session/modTrmTypes.h"
#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"
#include "wizard/CellularReplies.h"
#include "wizard/PageFonts.h"
#include "wizard/SatAnimation.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include <functional>
#include <vector>

namespace {
constexpr int kPollMs = 2000;
constexpr qint32 kReplySeconds = 5;
constexpr quint32 kMinuteMs = 60000;
constexpr qint32 kPauseMs = 1000;

constexpr int kTextLeft = 780;
constexpr int kTextWidth = 7365;
constexpr int kStepLeft = 840;
constexpr int kStepWidth = 7965;

const QString kWarning = QStringLiteral("WARNING");
} // namespace

frmWiz10::frmWiz10(WizardRouter& router, QWidget* owner)
    : WizardPage(PageId::Wiz10, router, owner)
{
    setFont(PageFonts::body());

    lblTitle = addTitle(QStringLiteral("Configuring and testing the GPRS connection"), 120, 495);

    // The panel the outcome is written on.
    lblResults = addText(QStringLiteral("lblResults"), 600, 690, 7725, 2595);
    lblResults->setFrameShape(QFrame::StyledPanel);
    lblResults->setFrameShadow(QFrame::Sunken);
    lblResults->setAutoFillBackground(true);
    lblResults->setBackgroundRole(QPalette::Base);

    lblInfo = addText(QStringLiteral("lblInfo"), kTextLeft, 810, kTextWidth, 300);
    lblInfo->setText(QStringLiteral("Info"));
    QFont strong = PageFonts::body();
    strong.setBold(true);
    lblInfo->setFont(strong);
    lblIP = addText(QStringLiteral("lblIP"), kTextLeft, 1140, kTextWidth, 300);

    // The picture plays while the signal line is still empty, in its corner.
    Animation1 = new SatAnimation(router.clock(), this);
    place(Animation1, 6780, 1620, 1365, 1020);
    Animation1->setVisible(false);

    lblSignal = addText(QStringLiteral("lblSignal"), kTextLeft, 1860, kTextWidth, 780);
    lblSignal->setWordWrap(true);
    lblSignal->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblInstuctions = addText(QStringLiteral("lblInstuctions"), kTextLeft, 2700, kTextWidth, 525);
    lblInstuctions->setWordWrap(true);
    lblInstuctions->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label1 = addStepLine(QStringLiteral("Label1"),
        QStringLiteral("1) Please wait while the GPRS connection is tested."), kStepLeft, 3450, kStepWidth);
    Label2 = addStepLine(QStringLiteral("Label2"),
        QStringLiteral("2) Follow any instuctions or read any help that may appear above."), kStepLeft, 3810,
        kStepWidth);
    Label3 = addStepLine(QStringLiteral("Label3"),
        QStringLiteral("3) Click &Next to continue with the configuration process."), kStepLeft, 4170, kStepWidth);

    cmdHelp = addNavButton(Nav::Help, 960);
    cmdHelp->setVisible(false);
    cmdRetry = addNavButton(Nav::Retry, 4080);
    cmdRetry->setText(QStringLiteral("&Rety"));
    cmdRetry->setVisible(false);
    cmdCancel = addNavButton(Nav::Cancel, 5280);
    cmdBack = addNavButton(Nav::Back, 6480);
    cmdBack->setEnabled(false);
    cmdNext = addNavButton(Nav::Next, 7680);
    cmdNext->setEnabled(false);

    timerSig = new ClockTimer(router.clock(), this);
    timerSig->setSingleShot(true);
    timerSig->setInterval(kPollMs);
    connect(timerSig, &ClockTimer::timeout, this, &frmWiz10::timerSig_Timer);

    connect(&router, &WizardRouter::programEnding, this, [this] { m_ending = true; });
}

QLabel* frmWiz10::addText(const QString& name, int left, int top, int width, int height)
{
    QLabel* label = addLabel(QString(), left, top, width, height);
    label->setObjectName(name);
    // Texts come from the unit and the person; none is markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

bool frmWiz10::stopped() const
{
    return m_ending || unloaded();
}

QString frmWiz10::ask(CQarUnitInfo& unit, const QString& command)
{
    clsUnitQuerier* q = unit.cuq();
    clsVerevo* v = router().discovery();
    if (!q || !v)
        return {};
    return q->GetRuraResp(*v, unit.Serial(), command, kReplySeconds, QString());
}

void frmWiz10::startup()
{
    TestFailed = false;
    cmdBack->setEnabled(false);
    cmdNext->setEnabled(false);
    cmdRetry->setVisible(false);
    Animation1->setVisible(true);
    timerSig->stop();
    lblSignal->clear();
    lblInstuctions->clear();

    m_unit = state().CurrentUnit;
    if (m_unit) {
        for (;;) {
            const bool failed = applySettings(*m_unit);
            if (stopped())
                return;
            if (!failed
                || !prompts().askYesNo(
                    QStringLiteral("An error had occured, would you like to retry?"), UserPrompts::Icon::Question))
                break;
            if (stopped())
                return;
        }
        waitForLink(*m_unit);
        if (stopped())
            return;
    } else {
        // No unit to talk to: nothing can come up.
        TestFailed = true;
    }

    if (TestFailed) {
        lblInfo->setText(QStringLiteral("The GPRS test has failed!"));
        cmdRetry->setVisible(true);
        lblInstuctions->setText(QStringLiteral("Click 'Retry', to reboot the Calvantor and try again or Click "
                                               "'Back' to change the APN, PIN, username or password."));
    }
    lblIP->clear();
    cmdBack->setEnabled(true);
    Animation1->setVisible(false);
    // The wizard may go on without a working link; the final page reports it.
    cmdNext->setEnabled(true);
    if (TestFailed)
        cmdRetry->setFocus(Qt::OtherFocusReason);
    timerSig_Timer();
}

bool frmWiz10::applySettings(CQarUnitInfo& unit)
{
    clsUnitQuerier* q = unit.cuq();
    const WizardState& s = state();
    const QString serial = unit.Serial();
    // Each step runs on the discovery object as it rests at that moment.
    const auto with = [this, q](const std::function<bool(clsUnitQuerier&, clsVerevo&)>& command) {
        return [this, q, command] {
            clsVerevo* v = router().discovery();
            return q && v && command(*q, *v);
        };
    };
    struct Step {
        QString info;
        std::function<bool()> run;
        QString failure;
    };
    std::vector<Step> steps {
        { QStringLiteral("Setting APN to ") + s.GPRSAPN,
            with([&](clsUnitQuerier& c, clsVerevo& v) { return c.setAPN(serial, v, s.GPRSAPN); }),
            QStringLiteral("Failed to set APN!") },
        { QStringLiteral("Setting PIN to ") + s.GPRSPIN,
            with([&](clsUnitQuerier& c, clsVerevo& v) { return c.setPIN(serial, v, s.GPRSPIN); }),
            QStringLiteral("Failed to set PIN!") },
        { QStringLiteral("Setting username to ") + s.GPRSUser,
            with([&](clsUnitQuerier& c, clsVerevo& v) { return c.setPPP1username(serial, v, s.GPRSUser); }),
            QStringLiteral("Failed to set username!") },
        { QStringLiteral("Setting password to ") + s.GPRSPassword,
            with([&](clsUnitQuerier& c, clsVerevo& v) { return c.setPPP1password(serial, v, s.GPRSPassword); }),
            QStringLiteral("Failed to set password!") },
    };
    // The KR5004's modem has no multiplexer to set up.
    if (!unit.model().contains(QLatin1String("KR5004"), Qt::CaseSensitive))
        steps.push_back({ QStringLiteral("Configuring MUX channels"),
            with([&](clsUnitQuerier& c, clsVerevo& v) { return c.confMUX(serial, v); }),
            QStringLiteral("Failed to configure MUX!") });
    steps.push_back({ QStringLiteral("Saving the configuration"),
        with([&](clsUnitQuerier& c, clsVerevo& v) { return c.SaveCfg(serial, v); }),
        QStringLiteral("Error whilst saving configuraiton!") });
    steps.push_back({ QStringLiteral("Rebooting the Calvantor"),
        with([&](clsUnitQuerier& c, clsVerevo& v) { return c.Reboot(serial, v); }),
        QStringLiteral("The Calvantor did not respond after reboot!") });
    steps.push_back({ QStringLiteral("Attempting to activate the GPRS connection"),
        with([&](clsUnitQuerier& c, clsVerevo& v) { return c.activateGPRS(serial, v); }),
        QStringLiteral("Failed to send activation command!") });

    bool failed = false;
    for (const Step& step : steps) {
        lblInfo->setText(step.info);
        const bool ok = step.run();
        if (stopped())
            return failed;
        if (!ok) {
            prompts().message(step.failure, UserPrompts::Icon::Exclamation, kWarning);
            failed = true;
            if (stopped())
                return failed;
        }
    }
    return failed;
}

void frmWiz10::waitForLink(CQarUnitInfo& unit)
{
    Clock& clock = router().clock();
    qint32 t0 = clock.tickCount();
    int minutes = 0;
    bool done = false;
    const QString statusCommand = state().Prefixes.PPPIf + QStringLiteral(" status");
    while (!done) {
        const QString reply = ask(unit, statusCommand);
        if (stopped())
            return;
        if (const std::optional<QString> address = CellularReplies::linkAddress(reply)) {
            if (CellularReplies::linkUp(*address)) {
                state().GPRSTestOK = true;
                done = true;
                lblInfo->setText(QStringLiteral("The GPRS test was successful! GPRS IP address = ") + *address);
                cmdNext->setEnabled(true);
                cmdNext->setFocus(Qt::OtherFocusReason);
                Label1->clear();
                Label2->clear();
                Label3->setText(
                    QStringLiteral("As the GPRS test was successful, you can now click '&Next' to continue."));
            } else {
                lblIP->setText(*address);
            }
        }
        if (CellularReplies::linkIdle(reply))
            lblIP->setText(QStringLiteral("Idle"));
        if (!done && CellularReplies::ticksBetween(t0, clock.tickCount()) > kMinuteMs) {
            ++minutes;
            const bool wait = prompts().askYesNo(CellularReplies::keepWaitingText(minutes),
                UserPrompts::Icon::Information, QStringLiteral("Keep waiting?"));
            if (stopped())
                return;
            if (wait) {
                t0 = clock.tickCount();
            } else {
                done = true;
                TestFailed = true;
            }
        }
        modTrmTypes::WaitMs(clock, kPauseMs);
        if (stopped())
            return;
    }
}

void frmWiz10::timerSig_Timer()
{
    runGuarded([this] { poll(); });
}

void frmWiz10::poll()
{
    if (stopped() || !m_unit)
        return;
    setBusy(true);
    timerSig->stop();
    lblSignal->setVisible(true);
    // Asked first so that the modem's settings are current; the answer
    // itself is not read.
    ask(*m_unit, QStringLiteral("modemcc 0 ?"));
    if (!stopped()) {
        const QString reply = ask(*m_unit, QStringLiteral("modemstat ?"));
        if (!stopped())
            lblSignal->setText(CellularReplies::signalText(reply, TestFailed));
    }
    // The next poll starts two seconds after this one has ended, unless the
    // page was left meanwhile.
    if (!stopped() && !Navigating)
        timerSig->start();
    setBusy(false);
}

void frmWiz10::onLeave()
{
    // A poll in flight still ends; none starts after it.
    timerSig->stop();
}

void frmWiz10::retryClicked()
{
    runStartup();
}

void frmWiz10::closeEvent(QCloseEvent* event)
{
    // Unloading stops the poll.
    timerSig->stop();
    WizardPage::closeEvent(event);
}
