#include "unit/clsSummary.h"

#include <QTest>

#include <functional>

namespace {
struct Field {
    std::function<qint32(const clsSummary&)> get;
    std::function<void(clsSummary&, qint32)> set;
};

QList<Field> allFields()
{
    return {
        { &clsSummary::Liveliness, &clsSummary::setLiveliness },
        { &clsSummary::IPAssignment, &clsSummary::setIPAssignment },
        { &clsSummary::NewIP, &clsSummary::setNewIP },
        { &clsSummary::IPCheck, &clsSummary::setIPCheck },
        { &clsSummary::GPRS, &clsSummary::setGPRS },
        { &clsSummary::SaveCfg, &clsSummary::setSaveCfg },
        { &clsSummary::Reboot, &clsSummary::setReboot },
        { &clsSummary::WaitForPPP, &clsSummary::setWaitForPPP },
        { &clsSummary::ConnectivityTest, &clsSummary::setConnectivityTest },
        { &clsSummary::SetGateway, &clsSummary::setSetGateway },
        { &clsSummary::SetNameServer, &clsSummary::setSetNameServer },
        { &clsSummary::PCConnectivityTest, &clsSummary::setPCConnectivityTest },
    };
}
} // namespace

class tst_clsSummary : public QObject {
    Q_OBJECT
private slots:
    void newRecordReportsZeroEverywhere()
    {
        const clsSummary s;
        for (const Field& f : allFields())
            QCOMPARE(f.get(s), 0);
    }

    void eachFieldHoldsItsOwnCode()
    {
        // Distinct codes in every field at once: a setter that writes the
        // wrong field, or a getter that reads one, shows up as a mismatch.
        const QList<Field> fields = allFields();
        clsSummary s;
        for (qsizetype i = 0; i < fields.size(); ++i)
            fields[i].set(s, qint32(100 + i));
        for (qsizetype i = 0; i < fields.size(); ++i)
            QCOMPARE(fields[i].get(s), qint32(100 + i));
        s.setGPRS(12);
        QCOMPARE(s.GPRS(), 12);
        QCOMPARE(s.SaveCfg(), 105);
    }
};

QTEST_APPLESS_MAIN(tst_clsSummary)
#include "tst_clsSummary.moc"
