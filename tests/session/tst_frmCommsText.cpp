#include "session/FlashListing.h"
#include "session/frmComms.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
const QString banner = QStringLiteral("Velmar Systems. Velmar XY100 Router\r\nSoftware Build 4113.27 14-Jun-2005\r\n"
                                      "Bios Ver 1.07 (c)\r\nSer#:4711 Rev 1.0\r\nOK\r\n");
} // namespace

class tst_frmCommsText : public QObject {
    Q_OBJECT
private slots:
    void parsers_data()
    {
        QTest::addColumn<QString>("parser");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("model from the banner") << "model" << banner << "XY100";
        QTest::newRow("model at the end of its line") << "model"
                                                      << "Velmar Systems. Velmar XY100\r\nSer#:1 x"
                                                      << "XY100";
        QTest::newRow("model at the end of the text") << "model"
                                                      << "Velmar Systems. Velmar XY100"
                                                      << "XY100";
        QTest::newRow("model banner in capitals") << "model"
                                                  << "VELMAR SYSTEMS. VELMAR KR5 Box"
                                                  << "KR5";
        QTest::newRow("no model banner") << "model"
                                         << "Calvantor XY100 Router\r\n"
                                         << "";
        QTest::newRow("build up to its first dot") << "build" << banner << "4113";
        QTest::newRow("build: the dot after the line end does not count") << "build"
                                                                          << "Software Build 4113\r\nBios Ver 1.07\r\n"
                                                                          << "";
        QTest::newRow("build without a line end") << "build"
                                                  << "Software Build 12.5"
                                                  << "12";
        QTest::newRow("no build line") << "build"
                                       << "Bios Ver 1.07\r\n"
                                       << "";
        QTest::newRow("build tail: last word of the line") << "tail" << banner << "14-Jun-2005";
        QTest::newRow("build tail with blanks before the line end") << "tail"
                                                                    << "Software Build 4113.27 r5  \r\nx"
                                                                    << "r5";
        QTest::newRow("build tail of a bare label") << "tail"
                                                    << "Software Build \r\n"
                                                    << "Build";
        QTest::newRow("no build line, no tail") << "tail"
                                                << "Bios Ver 1.07\r\n"
                                                << "";
        QTest::newRow("bios version") << "bios" << banner << "1.07";
        QTest::newRow("bios version at the line end") << "bios"
                                                      << "Bios Ver 2.00\r\n"
                                                      << "2.00";
        QTest::newRow("no bios line") << "bios"
                                      << "Software Build 1.2\r\n"
                                      << "";
    }
    void parsers()
    {
        QFETCH(QString, parser);
        QFETCH(QString, text);
        QFETCH(QString, result);
        QString got;
        if (parser == u"model")
            got = frmComms::ParseModelName(text);
        else if (parser == u"build")
            got = frmComms::ParseSoftwareBuild(text);
        else if (parser == u"tail")
            got = frmComms::ParseSoftwareBuildTail(text);
        else
            got = frmComms::ParseBiosVersion(text);
        QCOMPARE(got, result);
    }

    void getParam_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("skip");
        QTest::addColumn<QString>("result");
        QTest::newRow("field after a label") << "Model\r\nSer#:4711 Rev\r\nOK" << 8 << 5 << "4711 Rev";
        QTest::newRow("last line without CR") << "a\rSer#:99" << 3 << 5 << "99";
        QTest::newRow("position 1") << "abc\rdef" << 1 << 0 << "abc";
        QTest::newRow("label not found (start 0)") << "abc" << 0 << 0 << "";
        QTest::newRow("past the end") << "abc" << 3 << 1 << "";
        QTest::newRow("right on a CR") << "ab\rc" << 3 << 0 << "";
    }
    void getParam()
    {
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, skip);
        QFETCH(QString, result);
        QCOMPARE(frmComms::getParam(text, start, skip), result);
    }

    void textRoutines_data()
    {
        QTest::addColumn<QString>("routine");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("strip nulls") << "strip" << QString::fromLatin1("a\0b\0", 4) << "ab";
        QTest::newRow("strip nulls, none there") << "strip"
                                                 << "abc"
                                                 << "abc";
        QTest::newRow("escape quotes") << "quotes"
                                       << "it's 'x'"
                                       << "it''s ''x''";
        QTest::newRow("escape for a query") << "query" << QString::fromLatin1("a'b|c\0", 6) << "a''b' & chr(124) & 'c";
        QTest::newRow("escape for a query, nothing to do") << "query"
                                                           << "plain text 1.0"
                                                           << "plain text 1.0";
        QTest::newRow("remove spaces") << "spaces"
                                       << "  a b  c "
                                       << "abc";
        QTest::newRow("remove spaces keeps tabs") << "spaces"
                                                  << "a\tb"
                                                  << "a\tb";
    }
    void textRoutines()
    {
        QFETCH(QString, routine);
        QFETCH(QString, text);
        QFETCH(QString, result);
        QString got;
        if (routine == u"strip")
            got = frmComms::StripNulls(text);
        else if (routine == u"quotes")
            got = frmComms::EscapeQuotes(text);
        else if (routine == u"query")
            got = frmComms::EscapeForQuery(text);
        else
            got = frmComms::RemoveSpaces(text);
        QCOMPARE(got, result);
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<bool>("caseBlind");
        QTest::addColumn<QString>("result");
        QTest::newRow("every occurrence") << "a-b-c"
                                          << "-" << false << "a+b+c";
        QTest::newRow("letter case kept") << "Ab ab"
                                          << "ab" << false << "Ab +";
        QTest::newRow("letter case ignored") << "Ab ab"
                                             << "ab" << true << "+ +";
        QTest::newRow("empty search changes nothing") << "abc"
                                                      << "" << false << "abc";
        QTest::newRow("null stays null") << QString() << "a" << false << QString();
        QTest::newRow("empty stays empty, not null") << QString("") << "a" << false << QString("");
    }
    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(bool, caseBlind);
        QFETCH(QString, result);
        const QString got = frmComms::ReplaceAll(
            text, find, QStringLiteral("+"), caseBlind ? Qt::CaseInsensitive : Qt::CaseSensitive);
        QCOMPARE(got, result);
        QCOMPARE(got.isNull(), result.isNull());
    }

    void isProtectedFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("protectedFile");
        for (const char* n : { "image", "filter.bin", "sregs.dat", "x3prof", "nobios.bin", "image4.c2", "image5.c2",
                 "logcodes.txt", "config.da0", "config.da1" })
            QTest::newRow(n) << QString::fromLatin1(n) << true;
        QTest::newRow("listed name in capitals") << "CONFIG.DA0" << true;
        QTest::newRow(".web anywhere") << "a.webx" << true;
        QTest::newRow(".WEB in capitals") << "INDEX.WEB" << true;
        QTest::newRow("new image waiting") << "image1" << false;
        QTest::newRow("factory configuration") << "config.fac" << false;
        QTest::newRow("web without the dot") << "myweb" << false;
        QTest::newRow("a listed name inside another") << "image.bak" << false;
    }
    void isProtectedFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, protectedFile);
        QCOMPARE(frmComms::IsProtectedFile(name), protectedFile);
    }

    // The cut of a "dir" listing: names from the 12 columns after each
    // CR LF, "ro" from column 22, short lines dropped.
    void flashListing_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<bool>>("readOnly");
        QTest::newRow("a listing as units print it")
            << "\r\nconfig.da0       280  ro\r\nimage        1048576  rw\r\nlogcodes.txt    8192  ro\r\nOK\r\n"
            << QStringList { "config.da0", "image", "logcodes.txt" } << QList<bool> { true, false, true };
        QTest::newRow("attribute in capitals is not read-only") << "\r\nimage        1048576  RO\r\nOK\r\n"
                                                                << QStringList { "image" } << QList<bool> { false };
        QTest::newRow("a short line is no entry") << "\r\nDirectory\r\nx3prof          2048  ro\r\n"
                                                  << QStringList { "x3prof" } << QList<bool> { true };
        QTest::newRow("text before the first CR LF is no entry")
            << "image        1048576  ro\r\nsbios          65536  rw\r\nOK\r\n"
            << QStringList { "sbios" } << QList<bool> { false };
        QTest::newRow("nothing") << "" << QStringList() << QList<bool>();
    }
    void flashListing()
    {
        QFETCH(QString, reply);
        QFETCH(QStringList, names);
        QFETCH(QList<bool>, readOnly);
        const FlashListing l = FlashListing::fromDirReply(reply);
        QCOMPARE(l.names, names);
        QCOMPARE(l.readOnly, readOnly);
        QCOMPARE(l.secondFlag, QList<bool>(names.size(), false));
        QCOMPARE(l.last(), qint32(names.size()) - 1);
    }

    void deleteFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trace.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(frmComms::DeleteFile(path));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!frmComms::DeleteFile(path));
    }
};

QTEST_GUILESS_MAIN(tst_frmCommsText)
#include "tst_frmCommsText.moc"
