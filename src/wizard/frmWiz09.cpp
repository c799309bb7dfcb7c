#include "wizard/frmWiz09.h"

#include "wizard/PageFonts.h"
#include "wizard/ProgramFiles.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardServices.h"
#include "wizard/WizardState.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

namespace {
constexpr int kCaptionLeft = 1800;
constexpr int kCaptionWidth = 1815;
constexpr int kBoxLeft = 3720;
constexpr int kBoxWidth = 3735;
constexpr int kBoxHeight = 315;
constexpr int kStepLeft = 960;
constexpr int kStepWidth = 7545;

// A value left empty goes to the unit as "!"; anything typed goes as it is.
QString valueOf(const QLineEdit* box)
{
    return box->text().isEmpty() ? QStringLiteral("!") : box->text();
}
} // namespace

frmWiz09::frmWiz09(WizardRouter& router, QWidget* owner)
    : WizardPage(PageId::Wiz09, router, owner)
{
    setFont(PageFonts::body());

    lblTitle = addTitle(QStringLiteral("Enter your APN and PIN"), 240, 495);

    // Captions sit 60 twips below their boxes' tops, as drawn; both are
    // centred on the same line here.
    Label4 = addLabel(QStringLiteral("Enter the APN:"), kCaptionLeft, 1080, kCaptionWidth, kBoxHeight);
    Label4->setObjectName(QStringLiteral("Label4"));
    txtAPN = addBox(QStringLiteral("txtAPN"), 1080);
    Label1 = addLabel(QStringLiteral("Enter the PIN:"), kCaptionLeft, 1680, kCaptionWidth, kBoxHeight);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtPIN = addBox(QStringLiteral("txtPIN"), 1680);
    Label2 = addLabel(QStringLiteral("Enter username:"), kCaptionLeft, 2280, kCaptionWidth, kBoxHeight);
    Label2->setObjectName(QStringLiteral("Label2"));
    txtUserName = addBox(QStringLiteral("txtUserName"), 2280);
    Label3 = addLabel(QStringLiteral("Enter password:"), kCaptionLeft, 2880, kCaptionWidth, kBoxHeight);
    Label3->setObjectName(QStringLiteral("Label3"));
    txtPassword = addBox(QStringLiteral("txtPassword"), 2880);

    Label7 = addStepLine(QStringLiteral("Label7"),
        QStringLiteral("1) IMPORTANT -- Read the help page for this screen !"), kStepLeft, 3720, kStepWidth);
    Label6 = addStepLine(QStringLiteral("Label6"),
        QStringLiteral("2) Fill out the APN and optionally, PIN code, user name and password."), kStepLeft, 4080,
        kStepWidth);
    Label5 = addStepLine(QStringLiteral("Label5"), QStringLiteral("3) Click &Next."), kStepLeft, 4440, kStepWidth);

    cmdHelp = addNavButton(Nav::Help, kStepLeft);
    cmdCancel = addNavButton(Nav::Cancel, 5280);
    cmdBack = addNavButton(Nav::Back, 6480);
    cmdNext = addNavButton(Nav::Next, 7680);

    setTabOrder(txtAPN, txtPIN);
    setTabOrder(txtPIN, txtUserName);
    setTabOrder(txtUserName, txtPassword);
    setTabOrder(txtPassword, cmdNext);
    setTabOrder(cmdNext, cmdBack);
    setTabOrder(cmdBack, cmdCancel);
    setTabOrder(cmdCancel, cmdHelp);
}

QString frmWiz09::helpPage()
{
    return QStringLiteral("help/apn_and_pin.htm");
}

QLineEdit* frmWiz09::addBox(const QString& name, int top)
{
    // No length limit, no filter and no masking: the PIN and the password
    // show as typed, so the person can check them against the SIM's papers.
    auto* box = new QLineEdit(this);
    box->setObjectName(name);
    place(box, kBoxLeft, top, kBoxWidth, kBoxHeight);
    return box;
}

void frmWiz09::onShown()
{
    // The person starts with the first box, as its place in the tab order says.
    txtAPN->setFocus(Qt::OtherFocusReason);
}

void frmWiz09::keyPressEvent(QKeyEvent* event)
{
    // Return in a box (which the box itself lets through) moves down the
    // form; in the last one it is Next.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !(event->modifiers() & ~Qt::KeypadModifier)) {
        QWidget* focus = focusWidget();
        if (focus == txtAPN) {
            txtPIN->setFocus(Qt::TabFocusReason);
            return;
        }
        if (focus == txtPIN) {
            txtUserName->setFocus(Qt::TabFocusReason);
            return;
        }
        if (focus == txtUserName) {
            txtPassword->setFocus(Qt::TabFocusReason);
            return;
        }
        if (focus == txtPassword) {
            cmdNext->click();
            return;
        }
    }
    WizardPage::keyPressEvent(event);
}

void frmWiz09::nextClicked()
{
    WizardState& s = state();
    s.GPRSAPN = valueOf(txtAPN);
    s.GPRSPIN = valueOf(txtPIN);
    s.GPRSUser = valueOf(txtUserName);
    s.GPRSPassword = valueOf(txtPassword);
    leave(PageGraph::Button::Next);
}

void frmWiz09::helpClicked()
{
    // A help page that is not there shows nothing, as the desktop's own
    // handler would for a file it cannot open.
    const QString file = ProgramFiles::find(services().programFolder, helpPage());
    if (file.isEmpty() || !services().openUrl)
        return;
    services().openUrl(QUrl::fromLocalFile(file));
}
