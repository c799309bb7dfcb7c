#include "wizard/PageAnimation.h"

#include <QPainter>

PageAnimation::PageAnimation(Clock& clock, Clip clip, QWidget* parent)
    : QWidget(parent)
    , m_clip(std::move(clip))
    , m_timer(clock)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setInterval(m_clip.frameMs);
    connect(&m_timer, &ClockTimer::timeout, this, &PageAnimation::advance);
}

void PageAnimation::advance()
{
    m_frame = (m_frame + 1) % qMax(1, m_clip.frames);
    update();
}

void PageAnimation::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_timer.start();
}

void PageAnimation::hideEvent(QHideEvent* event)
{
    // Nothing moves on a hidden control, and a stopped timer keeps the
    // simulated clock of the tests from stepping through frames for nothing.
    m_timer.stop();
    QWidget::hideEvent(event);
}

void PageAnimation::paintEvent(QPaintEvent*)
{
    if (!m_clip.paint || m_clip.design.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(width() / m_clip.design.width(), height() / m_clip.design.height());
    m_clip.paint(p, m_frame);
}
