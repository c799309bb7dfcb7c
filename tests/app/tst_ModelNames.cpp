#include "app/ModelNames.h"

#include <QTest>

class tst_ModelNames : public QObject {
    Q_OBJECT
private slots:
    void supportedModelsInOrder()
    {
        QCOMPARE(ModelNames::SupportedModels(),
            (QStringList { "KR5001", "KR5002", "KR5003", "KR5004", "KR5005", "KR5006", "KR5007", "KR5008", "KR5009",
                "KR-9", "KR5010", "KR5011" }));
    }

    void IsSupportedModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("supported");
        QTest::newRow("exact code") << QStringLiteral("KR5004") << true;
        QTest::newRow("code with suffix") << QStringLiteral("KR5001-W") << true;
        QTest::newRow("code after family word") << QStringLiteral("Calvantor KR5001") << true;
        QTest::newRow("lower case") << QStringLiteral("kr5010") << true;
        QTest::newRow("last code") << QStringLiteral("KR5011") << true;
        QTest::newRow("short code") << QStringLiteral("KR-9") << true;
        QTest::newRow("code is not inside the model") << QStringLiteral("KR50") << false;
        QTest::newRow("foreign model") << QStringLiteral("XY100") << false;
        QTest::newRow("unlisted number") << QStringLiteral("KR5012") << false;
        QTest::newRow("empty") << QString() << false;
    }
    void IsSupportedModel()
    {
        QFETCH(QString, model);
        QFETCH(bool, supported);
        QCOMPARE(ModelNames::IsSupportedModel(model), supported);
    }

    void ExtractModelName_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("model");
        QTest::newRow("maker prefix, word and more")
            << QStringLiteral("Velmar Systems. Velmar KR5001 Router") << QStringLiteral("KR5001");
        QTest::newRow("maker prefix, three-character word")
            << QStringLiteral("Velmar Systems. Velmar ABC x") << QStringLiteral("ABC");
        QTest::newRow("maker prefix, two-character word refused")
            << QStringLiteral("Velmar Systems. Velmar AB Router") << QStringLiteral("Velmar Systems. Velmar AB Router");
        QTest::newRow("maker prefix, last word")
            << QStringLiteral("Velmar Systems. Velmar KR5001") << QStringLiteral("Velmar Systems. Velmar KR5001");
        QTest::newRow("maker prefix in other case")
            << QStringLiteral("VELMAR systems. velmar KR5002 Unit") << QStringLiteral("KR5002");
        QTest::newRow("maker prefix after other text")
            << QStringLiteral("The Velmar Systems. Velmar KR5003 box") << QStringLiteral("KR5003");
        QTest::newRow("maker prefix wins over family word")
            << QStringLiteral("Calvantor Velmar Systems. Velmar KR5005 x") << QStringLiteral("KR5005");
        QTest::newRow("family word") << QStringLiteral("Calvantor KR-9 Unit") << QStringLiteral("KR-9");
        QTest::newRow("family word, last word") << QStringLiteral("Calvantor KR-9") << QStringLiteral("Calvantor KR-9");
        QTest::newRow("family word, two-character word")
            << QStringLiteral("Calvantor AB Router") << QStringLiteral("AB");
        QTest::newRow("family word, one-character word")
            << QStringLiteral("Calvantor A Router") << QStringLiteral("Calvantor A Router");
        QTest::newRow("family word, double blank")
            << QStringLiteral("Calvantor  KR5001 x") << QStringLiteral("Calvantor  KR5001 x");
        QTest::newRow("family word in lower case")
            << QStringLiteral("calvantor KR5006 Router") << QStringLiteral("KR5006");
        QTest::newRow("family word inside a text")
            << QStringLiteral("New Calvantor KR5007 Router") << QStringLiteral("KR5007");
        QTest::newRow("family word only") << QStringLiteral("Calvantor ") << QStringLiteral("Calvantor ");
        QTest::newRow("no prefix") << QStringLiteral("KR5004") << QStringLiteral("KR5004");
        QTest::newRow("empty") << QString() << QString();
    }
    void ExtractModelName()
    {
        QFETCH(QString, description);
        QFETCH(QString, model);
        QCOMPARE(ModelNames::ExtractModelName(description), model);
    }
};

QTEST_APPLESS_MAIN(tst_ModelNames)
#include "tst_ModelNames.moc"
