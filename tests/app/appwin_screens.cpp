// Renders the batch side's windows, framed by a real window manager on a
// private X display, into PNG files for a look at layout and text fit.
// Usage: appwin_screens <output dir>   (QT_SCALE_FACTOR=2 for the 2x set)
#include "ModalDriver.h"
#include "SummaryFixture.h"
#include "WindowPhotos.h"
#include "app/ModQarShowUnitSummary.h"
#include "app/frmCfgOptions.h"
#include "app/frmDiscoveryComplete.h"
#include "app/frmProgress.h"
#include "app/frmScanOptions.h"

#include <QPushButton>
#include <QTest>

#include <cstdio>

namespace {
QString out;

void save(QWidget* w, const QString& name)
{
    WindowPhotos::save(w, out, name);
}
} // namespace

int main(int argc, char* argv[])
{
    XvfbDisplay display;
    if (!WindowPhotos::startDisplay(display))
        return 1;
    QApplication app(argc, argv);
    out = WindowPhotos::outputDir(argc, argv);

    {
        clsCfgOptions options;
        frmCfgOptions d;
        const auto script = whenModal<frmCfgOptions>([](frmCfgOptions* d) {
            save(d, QStringLiteral("frmCfgOptions-basic"));
            d->cmdOptions()->click();
            save(d, QStringLiteral("frmCfgOptions-advanced"));
            d->reject();
        });
        d.GetCfgOptions(QStringLiteral("12345"), options);
    }
    {
        bool cancel = false;
        frmProgress p(cancel);
        p.SetOperation(QStringLiteral("Wait for internet connection"));
        qint32 percent = 70;
        p.SetProgress(percent);
        p.show();
        save(&p, QStringLiteral("frmProgress"));
    }
    for (const QString& serial : { QString(), QStringLiteral("12345") }) {
        QString s = serial;
        clsScanOptions options;
        frmScanOptions d;
        const auto script = whenModal<frmScanOptions>([serial](frmScanOptions* d) {
            if (serial.isEmpty()) {
                save(d, QStringLiteral("frmScanOptions-basic"));
            } else {
                d->cmdOptions()->click();
                save(d, QStringLiteral("frmScanOptions-advanced"));
            }
            d->reject();
        });
        d.GetScanOptions(s, options);
    }
    {
        frmDiscoveryComplete d;
        const auto script = whenModal<frmDiscoveryComplete>([](frmDiscoveryComplete* d) {
            save(d, QStringLiteral("frmDiscoveryComplete"));
            d->reject();
        });
        d.GetResponse();
    }
    {
        const auto script = whenModal<frmSummary>([](frmSummary* d) {
            save(d, QStringLiteral("frmSummary-default-size"));
            d->resize(d->size() / 1.6);
            save(d, QStringLiteral("frmSummary-small"));
            d->reject();
        });
        ModQar::ShowUnitSummary(summaryUnit(), {});
    }
    return 0;
}
