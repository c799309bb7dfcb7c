#include "wizard/WizardArt.h"

#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <functional>

namespace WizardArt {

namespace {

const QColor kBlue(0x2f, 0x6f, 0xb3);
const QColor kPanel(0x3a, 0x44, 0x4f);
const QColor kGold(0xc9, 0xa2, 0x3c);

// A transparent pixmap of size (logical pixels) whose painter works in design
// units, so every picture is drawn once and scales to the page.
QPixmap canvas(QSize size, qreal dpr, QSizeF design, const std::function<void(QPainter&)>& draw)
{
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size.width() / design.width(), size.height() / design.height());
    draw(p);
    return pm;
}

void caption(QPainter& p, const QRectF& r, const QString& text)
{
    QFont f = p.font();
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0xe8, 0xee, 0xf4));
    p.drawText(r, Qt::AlignCenter, text);
}

void drawSignal(QPainter& p, QPointF centre, qreal step, int arcs, const QColor& colour, qreal width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= arcs; ++i) {
        const qreal r = step * i;
        p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
    }
}

} // namespace

QIcon windowIcon()
{
    // The PNGs the icon theme gets at install time, rendered from the one
    // scalable icon while building; each file is named after its side.
    QIcon icon;
    const QDir folder(QStringLiteral(":/linkwise/icon"));
    for (const QFileInfo& png : folder.entryInfoList({ QStringLiteral("*.png") }, QDir::Files)) {
        const int side = png.baseName().toInt();
        icon.addFile(png.filePath(), QSize(side, side));
    }
    return icon;
}

QPixmap welcomeBackground(QSize size, qreal dpr)
{
    return canvas(size, dpr, QSizeF(size), [size](QPainter& p) {
        const qreal w = size.width();
        const qreal h = size.height();
        QLinearGradient g(0, 0, 0, h);
        g.setColorAt(0, QColor(0xff, 0xff, 0xff));
        g.setColorAt(1, QColor(0xdc, 0xe8, 0xf4));
        p.fillRect(QRectF(0, 0, w, h), g);
        // A gentle wave along the foot of the page.
        QPainterPath wave;
        wave.moveTo(0, h * 0.86);
        wave.cubicTo(w * 0.3, h * 0.80, w * 0.6, h * 0.94, w, h * 0.84);
        wave.lineTo(w, h);
        wave.lineTo(0, h);
        wave.closeSubpath();
        QColor foot = kBlue;
        foot.setAlpha(40);
        p.fillPath(wave, foot);
        // Faint waves rising from the lower right corner.
        QColor faint = kBlue;
        faint.setAlpha(28);
        drawSignal(p, QPointF(w * 0.90, h * 0.78), h * 0.09, 4, faint, h * 0.025);
        drawSignal(p, QPointF(w * 0.10, h * 0.78), h * 0.09, 3, faint, h * 0.025);
    });
}

QSize unitCanvas()
{
    return QSize(403, 180);
}

QPixmap unitPicture(QSize size, qreal dpr, bool simHint)
{
    return canvas(size, dpr, QSizeF(unitCanvas()), [simHint](QPainter& p) {
        // Housing seen from the rear.
        QLinearGradient body(0, 60, 0, 122);
        body.setColorAt(0, kPanel.lighter(140));
        body.setColorAt(1, kPanel);
        p.setPen(QPen(kPanel.darker(160), 1.5));
        p.setBrush(body);
        p.drawRoundedRect(QRectF(20, 60, 363, 62), 8, 8);

        // Cables and plugs come from below, the aerial and the SIM from above:
        // each caption stands on the side left free.
        caption(p, QRectF(35, 100, 80, 12), QStringLiteral("SIM"));
        caption(p, QRectF(136, 64, 64, 12), QStringLiteral("LAN 0"));
        caption(p, QRectF(219, 106, 60, 12), QStringLiteral("Aerial"));
        caption(p, QRectF(303, 64, 60, 12), QStringLiteral("DC"));

        // SIM slot.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x10, 0x12, 0x14));
        p.drawRoundedRect(QRectF(40, 88, 70, 7), 2, 2);
        // LAN socket with its latch notch and link light.
        p.drawRect(QRectF(152, 80, 32, 26));
        p.setBrush(kPanel.lighter(120));
        p.drawRect(QRectF(162, 100, 12, 6));
        p.setBrush(QColor(0x4c, 0xc2, 0x5a));
        p.drawEllipse(QPointF(192, 84), 2.5, 2.5);
        // Aerial socket.
        QRadialGradient gold(QPointF(247, 90), 10);
        gold.setColorAt(0, kGold.lighter(150));
        gold.setColorAt(1, kGold.darker(120));
        p.setBrush(gold);
        p.drawEllipse(QPointF(249, 93), 10, 10);
        p.setBrush(QColor(0x10, 0x12, 0x14));
        p.drawEllipse(QPointF(249, 93), 3, 3);
        // DC socket.
        p.setBrush(QColor(0x10, 0x12, 0x14));
        p.drawEllipse(QPointF(333, 93), 10, 10);
        p.setBrush(QColor(0xb0, 0xb4, 0xb8));
        p.drawEllipse(QPointF(333, 93), 2.5, 2.5);
        // Feet.
        p.setBrush(kPanel.darker(150));
        p.drawRoundedRect(QRectF(40, 122, 30, 6), 2, 2);
        p.drawRoundedRect(QRectF(333, 122, 30, 6), 2, 2);

        if (!simHint)
            return;
        // A SIM card, contacts down, notched corner first, going into the slot.
        QPainterPath card;
        card.moveTo(52, 14);
        card.lineTo(98, 14);
        card.lineTo(98, 48);
        card.lineTo(60, 48);
        card.lineTo(52, 40);
        card.closeSubpath();
        p.setPen(QPen(QColor(0x9a, 0xa3, 0xad), 1));
        p.setBrush(QColor(0xf4, 0xf6, 0xf8));
        p.drawPath(card);
        p.setPen(QPen(kBlue, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(75, 52), QPointF(75, 80));
        p.drawLine(QPointF(69, 74), QPointF(75, 80));
        p.drawLine(QPointF(81, 74), QPointF(75, 80));
    });
}

QRect cableRect()
{
    return QRect(140, 70, 56, 110);
}

QRect aerialRect()
{
    return QRect(229, 0, 40, 104);
}

QRect powerRect()
{
    return QRect(312, 80, 42, 100);
}

QPixmap cablePicture(QSize size, qreal dpr)
{
    return canvas(size, dpr, QSizeF(cableRect().size()), [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2f, 0x80, 0xd0));
        p.drawRoundedRect(QRectF(22, 40, 12, 70), 4, 4);
        p.setBrush(QColor(0xcf, 0xe4, 0xf7, 230));
        p.setPen(QPen(QColor(0x2f, 0x80, 0xd0), 1.5));
        p.drawRoundedRect(QRectF(10, 8, 36, 36), 4, 4);
        p.setPen(QPen(kGold, 1));
        for (int i = 0; i < 6; ++i)
            p.drawLine(QPointF(16 + i * 4.8, 10), QPointF(16 + i * 4.8, 18));
    });
}

QPixmap aerialPicture(QSize size, qreal dpr)
{
    return canvas(size, dpr, QSizeF(aerialRect().size()), [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x22, 0x25, 0x28));
        p.drawRoundedRect(QRectF(14, 4, 12, 82), 6, 6);
        p.setBrush(kGold);
        p.drawRect(QRectF(10, 84, 20, 14));
        p.setBrush(kGold.darker(130));
        p.drawRect(QRectF(10, 90, 20, 2));
    });
}

QPixmap powerPicture(QSize size, qreal dpr)
{
    return canvas(size, dpr, QSizeF(powerRect().size()), [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x15, 0x17, 0x19));
        p.drawRoundedRect(QRectF(16, 50, 10, 50), 3, 3);
        p.setBrush(QColor(0x2c, 0x30, 0x34));
        p.drawRoundedRect(QRectF(8, 24, 26, 30), 5, 5);
        p.setBrush(QColor(0x8a, 0x90, 0x96));
        p.drawRect(QRectF(14, 6, 14, 20));
    });
}

} // namespace WizardArt
