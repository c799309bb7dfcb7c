#include "net/ModWinsock.h"

#include <QTest>

#include <arpa/inet.h>

class tst_ModWinsock : public QObject {
    Q_OBJECT
private slots:
    void resolve_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::newRow("dotted loopback") << QStringLiteral("127.0.0.1") << QStringLiteral("127.0.0.1");
        QTest::newRow("dotted lab address") << QStringLiteral("203.0.113.9") << QStringLiteral("203.0.113.9");
        QTest::newRow("localhost") << QStringLiteral("localhost") << QStringLiteral("127.0.0.1");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("NUL inside") << QStringLiteral("127.0.0.1") + QChar(0) + QStringLiteral("x") << QString();
        QTest::newRow("IPv6 only text") << QStringLiteral("::1") << QString();
    }
    void resolve()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        const quint32 expected = address.isEmpty() ? 0 : inet_addr(address.toLatin1().constData());
        QCOMPARE(ModWinsock::ResolveHost(name), expected);
    }
};

QTEST_MAIN(tst_ModWinsock)
#include "tst_ModWinsock.moc"
