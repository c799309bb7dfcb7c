#include "app/Twips.h"

#include <QTest>

class tst_Twips : public QObject {
    Q_OBJECT
private slots:
    void toPx_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("one pixel at 96 dpi") << 15 << 96.0 << 1;
        QTest::newRow("page width at 96 dpi") << 8925 << 96.0 << 595;
        QTest::newRow("page height at 96 dpi") << 5445 << 96.0 << 363;
        QTest::newRow("under half a pixel drops") << 7 << 96.0 << 0;
        QTest::newRow("over half a pixel counts") << 8 << 96.0 << 1;
        QTest::newRow("left of the screen, over half") << -8 << 96.0 << -1;
        QTest::newRow("left of the screen, under half") << -7 << 96.0 << 0;
        QTest::newRow("an exact half at 120 dpi goes up") << 6 << 120.0 << 1;
        QTest::newRow("an exact half at 120 dpi, negative") << -6 << 120.0 << -1;
        QTest::newRow("list minimum at 144 dpi") << 1000 << 144.0 << 100;
        QTest::newRow("list minimum at 120 dpi") << 1000 << 120.0 << 83;
        QTest::newRow("no screen counts as 96 dpi") << 8925 << 0.0 << 595;
        QTest::newRow("a negative resolution counts as 96 dpi") << 15 << -1.0 << 1;
        QTest::newRow("a position far off every screen") << 900000 << 96.0 << 60000;
        QTest::newRow("the largest stored position") << 999999999 << 192.0 << 133333333;
    }
    void toPx()
    {
        QFETCH(int, twips);
        QFETCH(double, dpi);
        QFETCH(int, pixels);
        QCOMPARE(Twips::toPx(twips, dpi), pixels);
    }

    // A window's stored position brings it back to the same pixel.
    void positionsComeBack_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<double>("twipsPerPixel");
        QTest::newRow("96 dpi") << 96.0 << 15.0;
        QTest::newRow("120 dpi") << 120.0 << 12.0;
        QTest::newRow("144 dpi") << 144.0 << 10.0;
        QTest::newRow("192 dpi, half twips") << 192.0 << 7.5;
        QTest::newRow("a resolution that does not divide an inch") << 100.0 << 14.4;
        QTest::newRow("no screen counts as 96 dpi") << 0.0 << 15.0;
    }
    void positionsComeBack()
    {
        QFETCH(double, dpi);
        QFETCH(double, twipsPerPixel);
        QCOMPARE(Twips::twipsPerPixel(dpi), twipsPerPixel);
        QCOMPARE(Twips::pixelsPerTwip(dpi) * twipsPerPixel, 1.0);
        for (int px = -2000; px <= 4000; ++px) {
            const double twips = Twips::fromPx(px, dpi);
            QCOMPARE(twips, px * twipsPerPixel);
            QCOMPARE(Twips::toPx(qRound(twips), dpi), px);
        }
    }

    void pagesAt96Dpi()
    {
        if (Twips::screenDpi() != 96.0)
            QSKIP("screen is not at 96 dpi");
        QCOMPARE(Twips::toPx(15), 1);
        QCOMPARE(Twips::toPx(8925), 595);
        QCOMPARE(Twips::toPx(5445), 363);
        QCOMPARE(Twips::rect(1680, 2040, 375, 735), QRect(112, 136, 25, 49));
    }
};

QTEST_MAIN(tst_Twips)
#include "tst_Twips.moc"
