#pragma once

#include "app/frmProgress.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <functional>

// Watches for the run's progress window and notes every stage it shows.
class ProgressWatch : public QObject {
public:
    QStringList stages;
    // Called with the stage label as each stage is shown.
    std::function<void(frmProgress&, const QString&)> onStage;
    int windows = 0;

    ProgressWatch() { qApp->installEventFilter(this); }

    // The person presses Cancel as the stage with this label is shown;
    // cancelled tells whether it ever was.
    void cancelAt(const QString& label)
    {
        onStage = [this, label](frmProgress& progress, const QString& shown) {
            if (shown == label && !cancelled) {
                cancelled = true;
                QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
            }
        };
    }
    bool cancelled = false;
    ~ProgressWatch() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* progress = qobject_cast<frmProgress*>(watched);
        if (progress && event->type() == QEvent::Show && !m_seen.contains(progress)) {
            m_seen << progress;
            ++windows;
            QObject::connect(progress->ProgressBar1(), &QProgressBar::valueChanged, this, [this, progress](int value) {
                const QString label = progress->Label2()->text();
                stages << label + QStringLiteral(" ") + QString::number(value);
                if (onStage)
                    onStage(*progress, label);
            });
        }
        return false;
    }

private:
    QList<QPointer<frmProgress>> m_seen;
};
