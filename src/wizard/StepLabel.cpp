#include "wizard/StepLabel.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

StepLabel::StepLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
}

void StepLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    QStyleOption option;
    option.initFrom(this);
    int flags = int(QStyle::visualAlignment(layoutDirection(), alignment())) | Qt::TextShowMnemonic;
    if (wordWrap())
        flags |= Qt::TextWordWrap;
    // Styles that underline keys only while Alt is held do so here as well.
    if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
        flags |= Qt::TextHideMnemonic;
    const int m = margin();
    style()->drawItemText(
        &painter, contentsRect().adjusted(m, m, -m, -m), flags, palette(), isEnabled(), text(), foregroundRole());
}
