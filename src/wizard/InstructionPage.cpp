#include "wizard/InstructionPage.h"

#include "app/Twips.h"
#include "net/ClockTimer.h"
#include "wizard/PageFonts.h"
#include "wizard/StepLabel.h"
#include "wizard/WizardArt.h"
#include "wizard/WizardRouter.h"

#include <QLabel>
#include <QPushButton>

namespace {
// Where the unit picture stands, in twips, between the title and the steps.
constexpr int kImageLeft = 1440;
constexpr int kImageTop = 780;
constexpr int kImageWidth = 6045;
constexpr int kImageHeight = 2700;
constexpr int kStepWidth = 7965;
constexpr int kStepHeight = 300;
} // namespace

InstructionPage::InstructionPage(PageId id, const QString& title, WizardRouter& router, QWidget* owner)
    : WizardPage(id, router, owner)
{
    setFont(PageFonts::body());

    lblTitle = addLabel(title, 75, 240, 8775, 495);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(PageFonts::title());
    lblTitle->setAlignment(Qt::AlignCenter);

    Image1 = addLabel(QString(), kImageLeft, kImageTop, kImageWidth, kImageHeight);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(WizardArt::unitPicture(Image1->size(), devicePixelRatioF(), id == PageId::Wiz03));

    cmdCancel = addNavButton(Nav::Cancel, 5280);
    cmdBack = addNavButton(Nav::Back, 6480);
    cmdNext = addNavButton(Nav::Next, 7680);
}

void InstructionPage::onLoad()
{
    if (Timer1)
        Timer1->start();
}

QLabel* InstructionPage::addStep(const QString& name, const QString& text, int top, int left)
{
    // "Click &Next." shows the key of the button it names.
    auto* label = new StepLabel(text, this);
    place(label, left, top, kStepWidth - (left - kStepLeft), kStepHeight);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QRect InstructionPage::overlayGeometry(const QRect& designRect) const
{
    const QSize canvas = WizardArt::unitCanvas();
    const double sx = double(Image1->width()) / canvas.width();
    const double sy = double(Image1->height()) / canvas.height();
    return QRect(Image1->x() + qRound(designRect.x() * sx), Image1->y() + qRound(designRect.y() * sy),
        qRound(designRect.width() * sx), qRound(designRect.height() * sy));
}

QLabel* InstructionPage::addOverlay(const QString& name, const QRect& designRect)
{
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setGeometry(overlayGeometry(designRect));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

QLabel* InstructionPage::addCable()
{
    QLabel* label = addOverlay(QStringLiteral("imageEth"), WizardArt::cableRect());
    label->setPixmap(WizardArt::cablePicture(label->size(), devicePixelRatioF()));
    return label;
}

QLabel* InstructionPage::addAerial()
{
    QLabel* label = addOverlay(QStringLiteral("imageAnt"), WizardArt::aerialRect());
    label->setPixmap(WizardArt::aerialPicture(label->size(), devicePixelRatioF()));
    return label;
}

QLabel* InstructionPage::addPower()
{
    QLabel* label = addOverlay(QStringLiteral("imagePwr"), WizardArt::powerRect());
    label->setPixmap(WizardArt::powerPicture(label->size(), devicePixelRatioF()));
    return label;
}

void InstructionPage::setBlinking(QLabel* picture)
{
    m_blinking = picture;
    Timer1 = new ClockTimer(router().clock(), this);
    Timer1->setInterval(1000);
    connect(Timer1, &ClockTimer::timeout, this, &InstructionPage::Timer1_Timer);
}

void InstructionPage::Timer1_Timer()
{
    // The hidden flag, not visibility: a page hidden behind its successor's
    // startup still alternates.
    m_blinking->setVisible(m_blinking->isHidden());
}
