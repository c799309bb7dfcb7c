#include "wizard/frmEnd.h"

#include "app/Twips.h"
#include "wizard/PageFonts.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>

#include <array>

namespace {
using Twips::toPx;

constexpr int kPageWidth = 8925;
constexpr int kPageHeight = 5445;

// A few hosts joined by links, in page twips, for the background; on whole
// pixels at 96 dpi (multiples of 15), as every design value of the page.
constexpr std::array<std::pair<int, int>, 7> nodes { {
    { 600, 4200 },
    { 1500, 3690 },
    { 2400, 4500 },
    { 3300, 3900 },
    { 4290, 4650 },
    { 5100, 4050 },
    { 6090, 4695 },
} };
constexpr std::array<std::pair<int, int>, 9> links { {
    { 0, 1 },
    { 1, 2 },
    { 1, 3 },
    { 2, 3 },
    { 3, 4 },
    { 3, 5 },
    { 4, 5 },
    { 5, 6 },
    { 2, 4 },
} };
} // namespace

frmEnd::frmEnd(ProgramEnder ender, QWidget* parent)
    : QDialog(parent)
    , m_ender(std::move(ender))
{
    setWindowTitle(QStringLiteral("Velmar Linkwise"));
    setFixedSize(toPx(kPageWidth), toPx(kPageHeight));

    Label1 = new QLabel(QStringLiteral("The Velmar Linkwise cannot run on this PC"), this);
    // The page's title, as every page of the wizard has one.
    Label1->setFont(PageFonts::title());
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Label1->setGeometry(Twips::rect(75, 240, 8775, 495));

    Label2
        = new QLabel(QStringLiteral("Unfortuanly the Wizard was unable to locate an Ethernet network adaptor on your "
                                    "PC with an IP address.  Please install a network adaptor or ensure that your "
                                    "network adapter is configured with an IP address (any IP address) and try "
                                    "again."),
            this);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int textWidth = toPx(6975);
    Label2->setGeometry(toPx(1080), toPx(1320), textWidth, Label2->heightForWidth(textWidth));

    OK = new QPushButton(QStringLiteral("&Exit"), this);
    // The design size, grown to what the style needs, keeping the right edge.
    const QRect design = Twips::rect(7680, 4920, 1095, 375);
    const QSize need = OK->sizeHint().expandedTo(design.size());
    OK->setGeometry(design.right() + 1 - need.width(), design.top(), need.width(), need.height());
    OK->setDefault(true);
    connect(OK, &QPushButton::clicked, this, &frmEnd::OK_Click);
}

void frmEnd::OK_Click()
{
    Form_Unload();
}

void frmEnd::Form_Unload()
{
    if (m_ending)
        return;
    m_ending = true;
    m_ender();
}

void frmEnd::done(int result)
{
    // Escape and any other way a dialog finishes count as closing the page.
    Form_Unload();
    QDialog::done(result);
}

void frmEnd::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    QDialog::closeEvent(event);
}

void frmEnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0.0, QColor(0xf7, 0xfa, 0xfd));
    sky.setColorAt(0.55, QColor(0xe3, 0xec, 0xf6));
    sky.setColorAt(1.0, QColor(0xc4, 0xd6, 0xea));
    p.fillRect(rect(), sky);

    // A soft hill along the bottom for the network to stand on.
    QPainterPath hill;
    hill.moveTo(0, height());
    hill.lineTo(0, toPx(4290));
    hill.cubicTo(toPx(2490), toPx(3495), toPx(5490), toPx(4995), width(), toPx(3900));
    hill.lineTo(width(), height());
    hill.closeSubpath();
    QLinearGradient hillShade(0, toPx(3600), 0, height());
    hillShade.setColorAt(0.0, QColor(0x9f, 0xbd, 0xdc, 120));
    hillShade.setColorAt(1.0, QColor(0x6f, 0x96, 0xc0, 150));
    p.fillPath(hill, hillShade);

    // Thin rule under the title.
    p.setPen(QPen(QColor(0x4a, 0x78, 0xa8, 140), 1.5));
    p.drawLine(toPx(1080), toPx(900), width() - toPx(1080), toPx(900));

    p.setPen(QPen(QColor(0x2f, 0x5d, 0x8c, 150), 2.0));
    std::array<QPoint, nodes.size()> at;
    for (size_t i = 0; i < nodes.size(); ++i)
        at[i] = QPoint(toPx(nodes[i].first), toPx(nodes[i].second));
    for (const auto& [a, b] : links)
        p.drawLine(at[a], at[b]);
    for (const QPoint& n : at) {
        QRadialGradient glow(n, 9);
        glow.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
        glow.setColorAt(1.0, QColor(0x3d, 0x6f, 0xa3));
        p.setBrush(glow);
        p.setPen(QPen(QColor(0x24, 0x4a, 0x72), 1.2));
        p.drawEllipse(n, 7, 7);
    }
}
