#include "wizard/SatAnimation.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {
const QColor kNavy(0x1d, 0x3b, 0x5c);
const QColor kBlue(0x2f, 0x6f, 0xb3);
const QColor kPanel(0x3a, 0x5f, 0x9e);
const QColor kGold(0xc9, 0xa2, 0x3c);
const QColor kGreen(0x4c, 0xb8, 0x4c);

constexpr qreal kDesignW = 64.0;
constexpr qreal kDesignH = 48.0;
const QPointF kSatellite(49, 11);
const QPointF kAerialTip(17, 23);

void drawSatellite(QPainter& p, qreal sway)
{
    p.save();
    p.translate(kSatellite);
    p.rotate(-20 + 4 * sway);
    p.setPen(QPen(kNavy, 0.8));
    p.setBrush(kPanel);
    for (const qreal x : { -15.0, 5.0 }) {
        p.drawRect(QRectF(x, -3, 10, 6));
        p.drawLine(QPointF(x + 3.3, -3), QPointF(x + 3.3, 3));
        p.drawLine(QPointF(x + 6.6, -3), QPointF(x + 6.6, 3));
    }
    p.setBrush(QColor(0xd9, 0xdd, 0xe3));
    p.drawRoundedRect(QRectF(-4.5, -4, 9, 8), 1.5, 1.5);
    p.setPen(QPen(kNavy, 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-5, 0), QPointF(-4.5, 0));
    p.drawLine(QPointF(0, 4), QPointF(0, 6.5));
    p.setBrush(kGold);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0, 7), 1.6, 1.6);
    p.restore();
}

void drawUnit(QPainter& p, int bars)
{
    p.setPen(QPen(kNavy, 1.0));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(4.5, 33.5, 28, 10), 2, 2);
    p.setPen(QPen(kNavy, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(17, 33.5), kAerialTip);
    // Signal bars on the unit's face, lit from the left as the pulse lands.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        const qreal h = 2.0 + 1.5 * i;
        p.setBrush(i < bars ? kGreen : QColor(0x9d, 0xb4, 0xcf));
        p.drawRect(QRectF(20 + 2.6 * i, 41.5 - h, 1.8, h));
    }
    p.setBrush(QColor(0x7c, 0xe0, 0x7c));
    p.drawEllipse(QPointF(9, 38.5), 1.1, 1.1);
}

// The pulse runs down the beam in the first half of the cycle; the bars fill
// in the second half.
void drawPulse(QPainter& p, qreal phase)
{
    const QPointF from = kSatellite + QPointF(-1, 8);
    QColor beam = kGold;
    beam.setAlphaF(0.35F);
    p.setPen(QPen(beam, 1.0, Qt::DashLine));
    p.drawLine(from, kAerialTip);
    if (phase >= 0.6)
        return;
    const qreal t = phase / 0.6;
    const QPointF at = from + (kAerialTip - from) * t;
    p.setPen(Qt::NoPen);
    for (int ring = 3; ring >= 1; --ring) {
        QColor c = kGold;
        c.setAlphaF(float(0.25 * (4 - ring)));
        p.setBrush(c);
        p.drawEllipse(at, 1.0 + ring, 1.0 + ring);
    }
}

void paintFrame(QPainter& p, int frame)
{
    const qreal phase = qreal(frame) / SatAnimation::kFrames;
    const int bars = phase < 0.6 ? 0 : 1 + int((phase - 0.6) / 0.4 * 4);
    drawPulse(p, phase);
    drawSatellite(p, std::sin(phase * 2 * 3.14159265358979));
    drawUnit(p, qMin(bars, 4));
}
} // namespace

PageAnimation::Clip SatAnimation::clip()
{
    return { kFrames, kFrameMs, QSizeF(kDesignW, kDesignH), &paintFrame };
}

SatAnimation::SatAnimation(Clock& clock, QWidget* parent)
    : PageAnimation(clock, clip(), parent)
{
    setObjectName(QStringLiteral("Animation1"));
}
