#include "net/API.h"

#include <QTest>

class tst_API : public QObject {
    Q_OBJECT
private slots:
    void copiesUpToTheNul()
    {
        const char text[] = "198.51.100.4\0tail";
        QCOMPARE(API::StrFromAnsiPtr(text), QStringLiteral("198.51.100.4"));
        QCOMPARE(API::StrFromAnsiPtr(""), QString());
    }

    void nullGivesEmpty() { QCOMPARE(API::StrFromAnsiPtr(nullptr), QString()); }
};

QTEST_MAIN(tst_API)
#include "tst_API.moc"
