#include "app/clsCfgOptions.h"

#include <QTest>

namespace {
using Getter = bool (clsCfgOptions::*)() const;
using Setter = void (clsCfgOptions::*)(bool);
struct Accessor {
    const char* name;
    Getter get;
    Setter set;
};
const Accessor kAccessors[] = {
    { "DisplaySummary", &clsCfgOptions::DisplaySummary, &clsCfgOptions::setDisplaySummary },
    { "CfgGPRS", &clsCfgOptions::CfgGPRS, &clsCfgOptions::setCfgGPRS },
    { "ConfirmIP", &clsCfgOptions::ConfirmIP, &clsCfgOptions::setConfirmIP },
    { "SaveConfig", &clsCfgOptions::SaveConfig, &clsCfgOptions::setSaveConfig },
    { "Reboot", &clsCfgOptions::Reboot, &clsCfgOptions::setReboot },
    { "WaitForPPP", &clsCfgOptions::WaitForPPP, &clsCfgOptions::setWaitForPPP },
    { "TestPPP", &clsCfgOptions::TestPPP, &clsCfgOptions::setTestPPP },
    { "SetGateway", &clsCfgOptions::SetGateway, &clsCfgOptions::setSetGateway },
    { "TestPCConnectivity", &clsCfgOptions::TestPCConnectivity, &clsCfgOptions::setTestPCConnectivity },
};
} // namespace

class tst_clsCfgOptions : public QObject {
    Q_OBJECT
private slots:
    void newRecordHasEverySwitchOn()
    {
        const clsCfgOptions options;
        for (const Accessor& a : kAccessors)
            QVERIFY2((options.*a.get)(), a.name);
    }

    // Each switch lives in its own field: turning one off and on again
    // touches none of the others.
    void switchesAreIndependent_data()
    {
        QTest::addColumn<int>("which");
        for (int i = 0; i < int(std::size(kAccessors)); ++i)
            QTest::newRow(kAccessors[i].name) << i;
    }
    void switchesAreIndependent()
    {
        QFETCH(int, which);
        clsCfgOptions options;
        (options.*kAccessors[which].set)(false);
        for (int i = 0; i < int(std::size(kAccessors)); ++i)
            QCOMPARE((options.*kAccessors[i].get)(), i != which);
        (options.*kAccessors[which].set)(true);
        for (const Accessor& a : kAccessors)
            QVERIFY2((options.*a.get)(), a.name);
    }
};

QTEST_GUILESS_MAIN(tst_clsCfgOptions)
#include "tst_clsCfgOptions.moc"
