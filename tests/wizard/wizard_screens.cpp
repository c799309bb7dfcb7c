// Renders the wizard's first pages into PNG files, with and without Shift,
// and the no-adaptor page, for a look at layout and text fit.
// Usage: wizard_screens <output dir>
#include "RecordingPrompts.h"
#include "SimulatedClock.h"
#include "wizard/WizardPage.h"
#include "wizard/WizardPages.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"
#include "wizard/frmEnd.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    for (bool shift : { false, true }) {
        UsableInterfaces interfaces;
        interfaces.LanAdapterCount = 1;
        WizardState state { interfaces };
        RecordingPrompts prompts;
        SimulatedClock clock;
        WizardRouter router(
            state, prompts, clock, [shift] { return shift; }, [] {});
        WizardPages::registerAll(router);
        for (PageId id : { PageId::Wiz01, PageId::Wiz03, PageId::Wiz04, PageId::Wiz05, PageId::Wiz06 }) {
            WizardPage* page = router.open(id);
            app.processEvents();
            page->grab().save(QStringLiteral("%1/%2%3.png").arg(out, pageName(id), shift ? "-shift" : ""));
        }
    }
    frmEnd end([] {});
    end.show();
    app.processEvents();
    end.grab().save(out + QStringLiteral("/frmEnd.png"));
    return 0;
}
