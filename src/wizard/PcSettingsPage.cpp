#include "wizard/PcSettingsPage.h"

#include "app/Twips.h"
#include "net/AdapterConfigBackend.h"
#include "net/InterfaceEntry.h"
#include "net/UserPrompts.h"
#include "wizard/PageFonts.h"
#include "wizard/StepLabel.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardServices.h"
#include "wizard/WizardState.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kFrameLeft = 735;
constexpr int kFrameTop = 720;
constexpr int kFrameWidth = 7455;
// Down to the buttons' row: the page's own steps stay under it.
constexpr int kFrameHeight = 3975;

QLabel* frameLabel(QFrame* frame, const QString& name, const QString& text, int top, int height)
{
    auto* label = new QLabel(text, frame);
    label->setObjectName(name);
    label->setGeometry(Twips::rect(240, top, kFrameWidth - 480, height));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}
} // namespace

PcSettingsPage::PcSettingsPage(
    PageId id, WizardRouter& router, QWidget* owner, const QString& title, const QString& warning)
    : WizardPage(id, router, owner)
{
    setFont(PageFonts::body());

    // The title ends where the warning's frame starts.
    lblTitle = addLabel(title, 75, 240, 8775, 480);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(PageFonts::title());
    lblTitle->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    Label7 = new StepLabel(QString(), this);
    Label7->setObjectName(QStringLiteral("Label7"));
    // The steps end inside the warning's frame, which covers them until the
    // person chooses to change the PC.
    place(Label7, 840, 3960, 7335, 300);
    Label5 = new StepLabel(QString(), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    place(Label5, 840, 4320, 7335, 300);

    cmdHelp = addNavButton(Nav::Help, 120);
    cmdCancel = addNavButton(Nav::Cancel, 5280);
    cmdBack = addNavButton(Nav::Back, 6480);
    cmdNext = addNavButton(Nav::Next, 7680);
    for (QPushButton* b : { cmdHelp, cmdCancel, cmdBack, cmdNext })
        b->setVisible(false);

    // The warning stands over the page's own controls until Configure PC.
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Frame1->setAutoFillBackground(true);
    place(Frame1, kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight);

    Label2 = frameLabel(Frame1, QStringLiteral("Label2"), QStringLiteral("WARNING"), 240, 375);
    QFont bold = PageFonts::body();
    bold.setPointSizeF(12);
    bold.setBold(true);
    Label2->setFont(bold);
    QPalette red = Label2->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label2->setPalette(red);

    lblWARN = frameLabel(Frame1, QStringLiteral("lblWARN"),
        QStringLiteral("This page is optional as it involves making changes to the network settings on your PC. You "
                       "MUST have the permission of your system administrator before continuing."),
        720, 1095);
    QFont strong = PageFonts::body();
    strong.setBold(true);
    lblWARN->setFont(strong);
    lblwarn1 = frameLabel(Frame1, QStringLiteral("lblwarn1"), warning, 2040, 855);

    cmdSkip = new QPushButton(QStringLiteral("&Skip"), Frame1);
    cmdSkip->setObjectName(QStringLiteral("cmdSkip"));
    cmdSkip->setGeometry(Twips::rect(1800, 3240, 1455, 435));
    cmdConfigure = new QPushButton(QStringLiteral("&Configure PC"), Frame1);
    cmdConfigure->setObjectName(QStringLiteral("cmdConfigure"));
    cmdConfigure->setGeometry(Twips::rect(4200, 3240, 1455, 435));
    onClicked(cmdSkip, [this] { skipClicked(); });
    onClicked(cmdConfigure, [this] { cmdConfigure_Click(); });
}

void PcSettingsPage::onLoad()
{
    // Return on the warning changes nothing: Skip has the focus.
    cmdSkip->setFocus(Qt::OtherFocusReason);
}

QString PcSettingsPage::rebootNote()
{
    return QStringLiteral("It is neccesery to reboot your PC for the changes to take effect.");
}

void PcSettingsPage::skipClicked()
{
    leave(PageGraph::Button::Skip);
}

void PcSettingsPage::cmdConfigure_Click()
{
    for (QPushButton* b : { cmdHelp, cmdCancel, cmdBack, cmdNext })
        b->setVisible(true);
    Frame1->setVisible(false);
    configure();
}

qint32 PcSettingsPage::apply(
    const std::function<qint32(AdapterConfigBackend&, const InterfaceEntry&)>& change, const QString& failureText)
{
    AdapterConfigBackend* adapters = services().adapters;
    const InterfaceEntry* entry = state().Interfaces.selected();
    // A change may wait in the event loop (for a lease, say); Cancel's Yes
    // then ends the run once the change has returned, never half-way.
    setBusy(true);
    const qint32 r = adapters && entry ? change(*adapters, *entry) : -1;
    setBusy(false);
    if (r == 1)
        m_rebootNeeded = true;
    else if (r != 0)
        prompts().message(failureText, UserPrompts::Icon::Exclamation);
    return r;
}

void PcSettingsPage::tellRebootIfNeeded()
{
    if (m_rebootNeeded)
        prompts().message(rebootNote(), UserPrompts::Icon::Exclamation);
}
