#include "app/PppInstanceBox.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

PppInstanceBox::PppInstanceBox(QWidget* parent)
    : QAbstractSpinBox(parent)
{
    setAccelerated(false);
    setKeyboardTracking(true);
}

void PppInstanceBox::setText(const QString& text)
{
    lineEdit()->setText(text);
    update();
}

int PppInstanceBox::current() const
{
    const QString t = text().trimmed();
    qsizetype end = 0;
    while (end < t.size() && end < 9 && t[end] >= QLatin1Char('0') && t[end] <= QLatin1Char('9'))
        ++end;
    const int n = end > 0 ? t.left(end).toInt() : 0;
    return qBound(Minimum, n, Maximum);
}

void PppInstanceBox::stepBy(int steps)
{
    setText(QString::number(qBound(Minimum, current() + steps, Maximum)));
    lineEdit()->selectAll();
}

QValidator::State PppInstanceBox::validate(QString&, int&) const
{
    // Whatever is typed stays; the dialog judges it when OK is pressed.
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled PppInstanceBox::stepEnabled() const
{
    StepEnabled enabled = StepNone;
    const int n = current();
    if (n < Maximum)
        enabled |= StepUpEnabled;
    if (n > Minimum)
        enabled |= StepDownEnabled;
    return enabled;
}

QSize PppInstanceBox::sizeHint() const
{
    ensurePolished();
    // Room for a few digits and the arrows, as a spin box of its own would take.
    const QSize content(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 4, lineEdit()->sizeHint().height());
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, content, this);
}

QSize PppInstanceBox::minimumSizeHint() const
{
    return sizeHint();
}
