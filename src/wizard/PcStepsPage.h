#pragma once

#include "wizard/PcSettingsPage.h"

#include <QList>

class QLabel;

// A PC settings page whose Configure PC runs a fixed list of changes at once,
// telling the person on lblInfo which one is under way. Every change runs,
// whatever the ones before it answered; Back and Next wait until the last one
// has ended.
class PcStepsPage : public PcSettingsPage {
    Q_OBJECT
public:
    QLabel* lblResults;
    QLabel* lblInfo;

    static QString doneText();

protected:
    struct Step {
        // Shown while the change runs; empty keeps what lblInfo says.
        QString info;
        std::function<qint32(AdapterConfigBackend&, const InterfaceEntry&)> change;
        QString failureText;
    };

    PcStepsPage(PageId id, WizardRouter& router, QWidget* owner, const QString& warning);

    virtual QList<Step> steps() = 0;

private:
    void configure() override;
};
