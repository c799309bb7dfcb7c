// The PC settings pages and the final page with the PC's adapter under a real
// NetworkManager (see PcPageRig::buildWithNetworkManager): what the pages
// change, the daemon applies, and the final page reads back from it.
#include "PcPageRig.h"
#include "wizard/frmWiz13.h"
#include "wizard/frmwiz12A.h"
#include "wizard/frmwiz12B.h"
#include "wizard/frmwiz12C.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class tst_PcSettingsNetworkManager : public QObject {
    Q_OBJECT

    // The daemon outlives the rig's client of it.
    NetworkManagerLab m_nm;
    PcPageRig m_rig;

    template<class Page> Page* open(PageId id, qint16 option, const QString& unitIp)
    {
        m_rig.state.WizardMode = 1;
        m_rig.state.ConfigOption = option;
        m_rig.state.UnitIP = unitIp;
        return qobject_cast<Page*>(m_rig.router->open(id));
    }

private slots:
    void initTestCase()
    {
        if (const QString why = NetworkManagerLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QVERIFY2(m_rig.buildWithNetworkManager(m_nm), qPrintable(m_rig.lastError() + u'\n' + m_nm.log()));
    }

    // The gateway-and-DNS page beside the lease: the unit (.11 here) becomes
    // the gateway and name server, and the final page sees both.
    void gatewayAndDnsBesideTheLease()
    {
        auto* page = open<frmwiz12C>(PageId::Wiz12C, 3, PcPageRig::kOther);
        QTest::mouseClick(page->cmdConfigure, Qt::LeftButton);
        QCOMPARE(m_rig.prompts.texts(), QStringList());
        QTest::mouseClick(page->cmdNext, Qt::LeftButton);
        QCOMPARE(m_rig.currentId(), PageId::Wiz13);
        QVERIFY(m_rig.state.UnitReachable);
        QVERIFY(m_rig.state.PCGatewayIsUnit);
        QVERIFY(m_rig.state.PCDNSIsUnit);
    }

    // The static page's defaults, then the DHCP page: the daemon gives up
    // the static address for a new lease, and the final page reads the
    // lease's router and name server, not empty ones.
    void staticThenDhcp()
    {
        auto* fixed = open<frmwiz12B>(PageId::Wiz12B, 2, QStringLiteral("192.168.0.99"));
        QTest::mouseClick(fixed->cmdConfigure, Qt::LeftButton);
        QTest::mouseClick(fixed->cmdNext, Qt::LeftButton);
        QCOMPARE(m_rig.prompts.texts(), QStringList());
        QCOMPARE(m_rig.currentId(), PageId::Wiz13);
        QTRY_COMPARE(m_rig.addresses(QStringLiteral("lwnm0")), QStringLiteral("192.168.0.1/24"));
        QVERIFY(!m_rig.state.UnitReachable);
        QVERIFY(m_rig.state.PCGatewayIsUnit);
        QVERIFY(m_rig.state.PCDNSIsUnit);

        m_rig.router->current()->close();
        auto* dhcp = open<frmwiz12A>(PageId::Wiz12A, 1, QStringLiteral("198.51.100.1"));
        QTest::mouseClick(dhcp->cmdConfigure, Qt::LeftButton);
        QCOMPARE(m_rig.prompts.texts(), QStringList());
        QVERIFY(dhcp->cmdNext->isEnabled());
        const QString leased = m_rig.addresses(QStringLiteral("lwnm0"));
        QVERIFY2(leased.startsWith(QLatin1String("198.51.100.1")) && leased.endsWith(QLatin1String("/24")),
            qPrintable(leased));
        QTest::mouseClick(dhcp->cmdNext, Qt::LeftButton);
        QCOMPARE(m_rig.currentId(), PageId::Wiz13);
        QVERIFY(m_rig.state.UnitReachable);
        QVERIFY(m_rig.state.PCGatewayIsUnit);
        QVERIFY(m_rig.state.PCDNSIsUnit);
    }
};

QTEST_MAIN(tst_PcSettingsNetworkManager)
#include "tst_PcSettingsNetworkManager.moc"
