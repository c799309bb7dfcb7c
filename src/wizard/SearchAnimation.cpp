#include "wizard/SearchAnimation.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {
const QColor kNavy(0x1d, 0x3b, 0x5c);
const QColor kBlue(0x2f, 0x6f, 0xb3);
const QColor kGold(0xc9, 0xa2, 0x3c);

// Design canvas of one frame; the widget scales it to its own size.
constexpr qreal kDesignW = 49.0;
constexpr qreal kDesignH = 41.0;

void drawUnit(QPainter& p)
{
    p.setPen(QPen(kNavy, 1.0));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(14.5, 22.5, 20, 9), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7c, 0xe0, 0x7c));
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(18.5 + 4 * i, 27), 1.1, 1.1);
    p.setPen(QPen(kNavy, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(31, 22.5), QPointF(33, 16));
}

// Waves leave the aerial and fade as they grow; phase runs 0 .. 1 per frame cycle.
void drawWaves(QPainter& p, qreal phase)
{
    const QPointF tip(33, 16);
    for (int i = 0; i < 3; ++i) {
        const qreal t = std::fmod(phase + i / 3.0, 1.0);
        const qreal r = 3 + 11 * t;
        QColor c = kGold;
        c.setAlphaF(float(1.0 - t));
        p.setPen(QPen(c, 1.3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(tip.x() - r, tip.y() - r, 2 * r, 2 * r), 20 * 16, 100 * 16);
    }
}

void drawGlass(QPainter& p, qreal phase)
{
    const qreal a = 2 * std::numbers::pi * phase;
    const QPointF centre(24.5 + 13 * std::cos(a), 21 + 7 * std::sin(a));
    const qreal r = 6.0;
    const QPointF handleFrom = centre + QPointF(r * 0.7, r * 0.7);
    p.setPen(QPen(kNavy, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(handleFrom, handleFrom + QPointF(5, 5));
    QColor lens(0xd8, 0xea, 0xfa);
    lens.setAlphaF(0.55F);
    p.setBrush(lens);
    p.setPen(QPen(kNavy, 1.6));
    p.drawEllipse(centre, r, r);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(centre.x() - r + 2, centre.y() - r + 2, 2 * r - 4, 2 * r - 4), 100 * 16, 60 * 16);
}

void paintFrame(QPainter& p, int frame)
{
    const qreal phase = qreal(frame) / SearchAnimation::kFrames;
    drawUnit(p);
    drawWaves(p, phase);
    drawGlass(p, phase);
}
} // namespace

PageAnimation::Clip SearchAnimation::clip()
{
    return { kFrames, kFrameMs, QSizeF(kDesignW, kDesignH), &paintFrame };
}

SearchAnimation::SearchAnimation(Clock& clock, QWidget* parent)
    : PageAnimation(clock, clip(), parent)
{
    setObjectName(QStringLiteral("Animation1"));
}
