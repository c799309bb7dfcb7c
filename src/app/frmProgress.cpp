#include "app/frmProgress.h"

#include "net/API.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

frmProgress::frmProgress(bool& cancelRequested, QWidget* parent)
    : QDialog(parent)
    , m_cancelRequested(cancelRequested)
{
    setWindowTitle(QStringLiteral("Progress"));
    // On top from the moment it is mapped: the hint goes on the window before
    // the native window exists. Setting it on an unmapped native window would
    // make Qt recreate that window at the first show.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    m_Label1 = new QLabel(QStringLiteral("Current Operation:"));
    m_Label2 = new QLabel;
    m_ProgressBar1 = new QProgressBar;
    m_ProgressBar1->setRange(0, 100);
    m_ProgressBar1->setValue(0);
    m_CancelButton = new QPushButton(QStringLiteral("Cancel"));
    // Return must not cancel a run by accident; only a click, Space or Esc does.
    m_CancelButton->setAutoDefault(false);

    auto* operation = new QHBoxLayout;
    operation->addWidget(m_Label1);
    operation->addWidget(m_Label2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_CancelButton);
    auto* top = new QVBoxLayout(this);
    top->addLayout(operation);
    top->addWidget(m_ProgressBar1);
    top->addLayout(buttons);

    // Wide enough for the longest step name beside the caption, with room.
    const QFontMetrics fm(m_Label2->font());
    m_Label2->setMinimumWidth(
        fm.horizontalAdvance(QStringLiteral("Wait for internet connection")) + 6 * fm.averageCharWidth());
    connect(m_CancelButton, &QPushButton::clicked, this, &frmProgress::CancelButton_Click);
}

void frmProgress::SetProgress(qint32& percent)
{
    percent = qBound(0, percent, 100);
    m_ProgressBar1->setValue(percent);
}

void frmProgress::SetOperation(const QString& text)
{
    m_Label2->setText(text);
}

void frmProgress::CancelButton_Click()
{
    m_cancelRequested = true;
}

void frmProgress::reject()
{
    CancelButton_Click();
}

void frmProgress::changeEvent(QEvent* event)
{
    // Once the person turns to another window (a box of the run, another
    // program), this one stops covering it.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && windowHandle()) {
        API::ClearTopMost(windowHandle());
        // The widget's own copy of the flags follows the native window's.
        overrideWindowFlags(windowHandle()->flags());
    }
    QDialog::changeEvent(event);
}

void frmProgress::closeEvent(QCloseEvent* event)
{
    // The close box, Alt+F4 and the window menu come from the window system;
    // a close made by the run's own code sets nothing.
    if (event->spontaneous())
        m_cancelRequested = true;
    event->accept();
}
