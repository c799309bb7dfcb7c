#include "wizard/frmWiz01.h"

#include "net/UserPrompts.h"
#include "wizard/ClickLabel.h"
#include "wizard/PageFonts.h"
#include "wizard/ShiftWatch.h"
#include "wizard/WizardArt.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace {
constexpr int kOptionWidth = 375;
// Down to where the second choice starts, so the two never share a pixel.
constexpr int kOptionHeight = 720;
constexpr int kChoiceWidth = 6240;
constexpr int kChoiceHeight = 615;
} // namespace

// Off unless asked for (QT_LOGGING_RULES="linkwise.welcome.info=true").
Q_LOGGING_CATEGORY(lcWelcome, "linkwise.welcome", QtWarningMsg)

frmWiz01::frmWiz01(WizardRouter& router, QWidget* owner)
    : WizardPage(PageId::Wiz01, router, owner)
{
    setFont(PageFonts::body());

    Label1 = addLabel(QStringLiteral("Welcome to the Calvantor Linkwise"), 75, 240, 8775, 495);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(PageFonts::title());
    Label1->setAlignment(Qt::AlignCenter);

    Label2 = addLabel(QString(), 1080, 4320, 7695, 375);
    Label2->setObjectName(QStringLiteral("Label2"));

    Option1 = new QRadioButton(this);
    Option1->setObjectName(QStringLiteral("Option1"));
    place(Option1, 1680, 1320, kOptionWidth, kOptionHeight);

    Label3 = new ClickLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(Label3, 2280, 1560, kChoiceWidth, kChoiceHeight);

    Option2 = new QRadioButton(this);
    Option2->setObjectName(QStringLiteral("Option2"));
    place(Option2, 1680, 2040, kOptionWidth, kOptionHeight);
    Option2->setVisible(false);

    Label4 = new ClickLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(Label4, 2280, 2280, kChoiceWidth, kChoiceHeight);
    Label4->setVisible(false);

    cmdCancel = addNavButton(Nav::Cancel, 6480);
    cmdNext = addNavButton(Nav::Next, 7680);

    connect(Label3, &ClickLabel::clicked, Option1, [this] { Option1->setChecked(true); });
    connect(Label4, &ClickLabel::clicked, Option2, [this] { Option2->setChecked(true); });

    m_shiftWatch = std::make_unique<ShiftWatch>(*this, [this] { return this->router().shiftKeyDown(); });
    connect(m_shiftWatch.get(), &ShiftWatch::shiftHeld, this, [this] { offerBothChoices(); });
    QAbstractButton* const touched[] = { Option1, Option2, cmdNext, cmdCancel };
    for (QAbstractButton* b : touched)
        connect(b, &QAbstractButton::pressed, this, [this] { choicesTouched(); });
    connect(Label3, &ClickLabel::clicked, this, [this] { choicesTouched(); });
}

frmWiz01::~frmWiz01() = default;

void frmWiz01::onLoad()
{
    Label3->setText(QStringLiteral("Configure a Calvantor's Ethernet port so you can connect to it from your PC."));
    Label4->setText(QStringLiteral(
        "Configure a Calvantor's Ethernet port and also a connection to a GPRS / Edge / UMTS /  HSDPA network."));
    Label2->setText(QStringLiteral("This wizard will help you configure your Calvantor router by Ethernet."));

    m_shiftWatch->stop();
    const bool held = router().shiftKeyDown();
    qCInfo(lcWelcome, "Shift at load: %s (platform %s)", held ? "held" : "not held",
        qPrintable(QGuiApplication::platformName()));
    if (held) {
        offerBothChoices();
    } else {
        showSingleChoice();
        m_shiftWatch->start();
    }
    Option1->setChecked(true);
}

void frmWiz01::showSingleChoice()
{
    // The single choice moves to the middle row.
    place(Option1, 1680, 2040, kOptionWidth, kOptionHeight);
    place(Label3, 2280, 2280, kChoiceWidth, kChoiceHeight);
    Option2->setVisible(false);
    Label4->setVisible(false);
}

void frmWiz01::offerBothChoices()
{
    m_shiftWatch->stop();
    place(Option1, 1680, 1320, kOptionWidth, kOptionHeight);
    place(Label3, 2280, 1560, kChoiceWidth, kChoiceHeight);
    Option2->setVisible(true);
    Label4->setVisible(true);
    qCInfo(lcWelcome, "Ethernet-and-cellular choice offered");
}

void frmWiz01::choicesTouched()
{
    if (!m_shiftWatch->watching())
        return;
    m_shiftWatch->stop();
    qCInfo(lcWelcome, "choices touched: Shift no longer looked for");
}

void frmWiz01::nextClicked()
{
    if (Option1->isChecked()) {
        state().WizardMode = 1;
    } else if (Option2->isChecked()) {
        state().WizardMode = 0;
    } else {
        prompts().message(QStringLiteral("You must make a selection before clicking Next"),
            UserPrompts::Icon::Information, QStringLiteral("Make a selection first!"));
        return;
    }
    Navigating = true;
    leave(PageGraph::Button::Next);
}

void frmWiz01::paintEvent(QPaintEvent* event)
{
    if (m_background.size() != size() * devicePixelRatioF())
        m_background = WizardArt::welcomeBackground(size(), devicePixelRatioF());
    QPainter p(this);
    p.drawPixmap(0, 0, m_background);
    WizardPage::paintEvent(event);
}
