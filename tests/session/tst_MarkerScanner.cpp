#include "session/MarkerScanner.h"

#include <QTest>

class tst_MarkerScanner : public QObject {
    Q_OBJECT
private slots:
    // Where the marker ends, piece by piece: -1 for a piece it does not end
    // in, the bytes used of the piece it ends in, 0 for every piece after.
    void feed_data()
    {
        QTest::addColumn<QString>("marker");
        QTest::addColumn<bool>("caseBlind");
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<QList<qsizetype>>("ends");
        QTest::newRow("in one piece") << "OK\r" << true << QList<QByteArray> { "xx OK\r yy" } << QList<qsizetype> { 6 };
        QTest::newRow("across three pieces")
            << "SUPER\r\n"
            << true << QList<QByteArray> { "..SU", "PER", "\r\nmore" } << QList<qsizetype> { -1, -1, 2 };
        QTest::newRow("a false start that overlaps the marker")
            << "aab" << false << QList<QByteArray> { "aa", "ab" } << QList<qsizetype> { -1, 2 };
        QTest::newRow("repeated prefix") << "abab c" << false << QList<QByteArray> { "abababab c" }
                                         << QList<qsizetype> { 10 };
        QTest::newRow("case-blind, ASCII")
            << "password:" << true << QList<QByteArray> { "PassWord:" } << QList<qsizetype> { 9 };
        QTest::newRow("case-blind, Latin-1 letters")
            << QString::fromUtf8("Ä") << true << QList<QByteArray> { QByteArray("x\xe4", 2) } << QList<qsizetype> { 2 };
        QTest::newRow("case kept") << "ERROR\r" << false << QList<QByteArray> { "error\r", "ERROR\r" }
                                   << QList<qsizetype> { -1, 6 };
        QTest::newRow("zero bytes in the stream")
            << "OK" << true << QList<QByteArray> { QByteArray("\0O\0OK", 5) } << QList<qsizetype> { 5 };
        QTest::newRow("found stays found")
            << "x" << true << QList<QByteArray> { "x", "x", "" } << QList<qsizetype> { 1, 0, 0 };
        QTest::newRow("empty marker is found at once")
            << "" << true << QList<QByteArray> { "abc" } << QList<qsizetype> { 0 };
        QTest::newRow("a character no byte can be")
            << QString::fromUtf8("€") << true << QList<QByteArray> { "\x80\xa4" } << QList<qsizetype> { -1 };
    }
    void feed()
    {
        QFETCH(QString, marker);
        QFETCH(bool, caseBlind);
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(QList<qsizetype>, ends);
        MarkerScanner scanner(marker, caseBlind ? Qt::CaseInsensitive : Qt::CaseSensitive);
        QList<qsizetype> got;
        for (const QByteArray& p : pieces)
            got << scanner.feed(p);
        QCOMPARE(got, ends);
        QCOMPARE(scanner.found(), ends.last() >= 0);
    }

    // The same verdict as QString's search over the whole text, for every
    // way of cutting the text into two pieces.
    void agreesWithQString_data()
    {
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("present") << "Ser#:" << QByteArray("Model\r\nSER#:4711 \r\n");
        QTest::newRow("absent") << "NO CARRIER" << QByteArray("NO CARRIE\r\nR");
        QTest::newRow("self-overlapping") << "ababc" << QByteArray("abababababcab");
    }
    void agreesWithQString()
    {
        QFETCH(QString, marker);
        QFETCH(QByteArray, text);
        const bool expected = QString::fromLatin1(text).contains(marker, Qt::CaseInsensitive);
        for (qsizetype cut = 0; cut <= text.size(); ++cut) {
            MarkerScanner scanner(marker, Qt::CaseInsensitive);
            scanner.feed(text.left(cut));
            scanner.feed(text.mid(cut));
            QCOMPARE(scanner.found(), expected);
        }
    }
};

QTEST_GUILESS_MAIN(tst_MarkerScanner)
#include "tst_MarkerScanner.moc"
