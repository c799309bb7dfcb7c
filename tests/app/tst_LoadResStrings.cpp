#include "app/Module1.h"

#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
template<typename W> W* tagged(W* w, const QVariant& tag)
{
    w->setProperty("Tag", tag);
    return w;
}
} // namespace

class tst_LoadResStrings : public QObject {
    Q_OBJECT
private slots:
    void table_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::newRow("file menu") << 1000 << "&File";
        QTest::newRow("about keeps its blank") << 1014 << "&About ";
        QTest::newRow("scan tooltip") << 1018 << "Scan";
        QTest::newRow("description") << 1033
                                     << "Velmar Product Setup Wizard. Perform initial setup of your new Velmar router.";
        QTest::newRow("last entry") << 2001 << "&Telnet";
    }
    void table()
    {
        QFETCH(int, id);
        QFETCH(QString, text);
        QCOMPARE(Module1::ResString(id), std::optional<QString>(text));
    }

    void gapsInTheTable()
    {
        for (int id : { 0, 999, 1019, 1026, 1030, 1041, 2002, -1000 })
            QVERIFY2(!Module1::ResString(id), qPrintable(QString::number(id)));
    }

    // A label takes its text only from a Tag that is wholly one table number.
    void labelTag_data()
    {
        QTest::addColumn<QVariant>("tag");
        QTest::addColumn<QString>("text");
        QTest::newRow("version") << QVariant(QStringLiteral("1031")) << "Version";
        QTest::newRow("number as int") << QVariant(1032) << "Velmar Setup Wizard";
        QTest::newRow("blanks around") << QVariant(QStringLiteral(" 1031 ")) << "Version";
        QTest::newRow("no tag") << QVariant() << "design";
        QTest::newRow("empty tag") << QVariant(QString()) << "design";
        QTest::newRow("not a number") << QVariant(QStringLiteral("title")) << "design";
        QTest::newRow("number then text") << QVariant(QStringLiteral("1031x")) << "design";
        QTest::newRow("unknown id") << QVariant(QStringLiteral("1030")) << "design";
        QTest::newRow("beyond 16 bits") << QVariant(QStringLiteral("66567")) << "design";
    }
    void labelTag()
    {
        QFETCH(QVariant, tag);
        QFETCH(QString, text);
        QWidget window;
        auto* label = new QLabel(QStringLiteral("design"), &window);
        if (tag.isValid())
            label->setProperty("Tag", tag);
        Module1::LoadResStrings(&window);
        QCOMPARE(label->text(), text);
    }

    // Any other control reads the number its Tag starts with.
    void otherControlTag_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("button ok") << "1029"
                                   << ""
                                   << "OK"
                                   << "";
        QTest::newRow("number then words") << "1028 sysinfo"
                                           << ""
                                           << "&System Info..."
                                           << "";
        QTest::newRow("zero") << "0"
                              << ""
                              << "design"
                              << "";
        QTest::newRow("negative") << "-1029"
                                  << ""
                                  << "design"
                                  << "";
        QTest::newRow("words") << "abc"
                               << ""
                               << "design"
                               << "";
        QTest::newRow("unknown id") << "1019"
                                    << ""
                                    << "design"
                                    << "";
        QTest::newRow("beyond 16 bits") << "99999"
                                        << ""
                                        << "design"
                                        << "";
        QTest::newRow("tooltip number") << ""
                                        << "1018"
                                        << "design"
                                        << "Scan";
        QTest::newRow("tooltip words kept") << ""
                                            << "Press here"
                                            << "design"
                                            << "Press here";
        QTest::newRow("both") << "1029"
                              << "1036 (stop)"
                              << "OK"
                              << "Stop";
    }
    void otherControlTag()
    {
        QFETCH(QString, tag);
        QFETCH(QString, tip);
        QFETCH(QString, text);
        QFETCH(QString, toolTip);
        QWidget window;
        auto* button = tagged(new QPushButton(QStringLiteral("design"), &window), tag);
        button->setToolTip(tip);
        Module1::LoadResStrings(&window);
        QCOMPARE(button->text(), text);
        QCOMPARE(button->toolTip(), toolTip);
    }

    void mainWindowLike()
    {
        QMainWindow window;
        window.setProperty("Tag", QStringLiteral("1025"));
        window.setWindowTitle(QStringLiteral("design"));

        QMenu* file = window.menuBar()->addMenu(QStringLiteral("1000"));
        QAction* exitItem = file->addAction(QStringLiteral("1001"));
        file->addSeparator();
        QAction* startScan = file->addAction(QStringLiteral("Start New Scan"));
        QMenu* view = window.menuBar()->addMenu(QStringLiteral("1009"));
        QAction* toolbarItem = view->addAction(QStringLiteral("1010"));
        QAction* statusLog = view->addAction(QStringLiteral("Status &Log"));
        QMenu* tools = window.menuBar()->addMenu(QStringLiteral("&Tools"));
        QAction* telnet = tools->addAction(QStringLiteral("2001"));
        QAction* unknownItem = tools->addAction(QStringLiteral("1026"));

        QToolBar* bar = window.addToolBar(QStringLiteral("main"));
        QAction* scanButton = bar->addAction(QStringLiteral("Scan button"));
        scanButton->setToolTip(QStringLiteral("1018"));
        QAction* plainButton = bar->addAction(QStringLiteral("Plain"));
        plainButton->setToolTip(QStringLiteral("Plain tip"));

        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        auto* tree = new QTreeWidget;
        tree->setHeaderLabels({ QStringLiteral("Serial"), QStringLiteral("Model"), QStringLiteral("Address") });
        tree->headerItem()->setData(0, Qt::UserRole, QStringLiteral("1032"));
        tree->headerItem()->setData(2, Qt::UserRole, QStringLiteral("9999"));
        layout->addWidget(tree);
        auto* tabs = new QTabBar;
        tabs->addTab(QStringLiteral("first"));
        tabs->addTab(QStringLiteral("second"));
        tabs->setTabData(0, QStringLiteral("1034"));
        tabs->setTabToolTip(0, QStringLiteral("1035"));
        tabs->setTabToolTip(1, QStringLiteral("keep me"));
        layout->addWidget(tabs);
        auto* version = tagged(new QLabel(QStringLiteral("v?")), 1031);
        layout->addWidget(version);
        window.setCentralWidget(central);

        // A window owned by this one keeps its own texts.
        auto* owned = new QDialog(&window);
        auto* ownedLabel = tagged(new QLabel(QStringLiteral("own"), owned), 1031);

        Module1::LoadResStrings(&window);

        QCOMPARE(window.windowTitle(), QStringLiteral("Velmar Setup Wizard"));
        QCOMPARE(file->title(), QStringLiteral("&File"));
        QCOMPARE(exitItem->text(), QStringLiteral("E&xit"));
        QCOMPARE(startScan->text(), QStringLiteral("Start New Scan"));
        QCOMPARE(view->title(), QStringLiteral("&View"));
        QCOMPARE(toolbarItem->text(), QStringLiteral("&Toolbar"));
        QCOMPARE(statusLog->text(), QStringLiteral("Status &Log"));
        QCOMPARE(tools->title(), QStringLiteral("&Tools"));
        QCOMPARE(telnet->text(), QStringLiteral("&Telnet"));
        QCOMPARE(unknownItem->text(), QStringLiteral("1026"));
        QCOMPARE(scanButton->toolTip(), QStringLiteral("Scan"));
        QCOMPARE(scanButton->text(), QStringLiteral("Scan button"));
        QCOMPARE(plainButton->toolTip(), QStringLiteral("Plain tip"));
        QCOMPARE(tree->headerItem()->text(0), QStringLiteral("Velmar Setup Wizard"));
        QCOMPARE(tree->headerItem()->text(1), QStringLiteral("Model"));
        QCOMPARE(tree->headerItem()->text(2), QStringLiteral("Address"));
        QCOMPARE(tabs->tabText(0), QStringLiteral("Back"));
        QCOMPARE(tabs->tabToolTip(0), QStringLiteral("Forward"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("second"));
        QCOMPARE(tabs->tabToolTip(1), QStringLiteral("keep me"));
        QCOMPARE(version->text(), QStringLiteral("Version"));
        QCOMPARE(ownedLabel->text(), QStringLiteral("own"));
    }

    void windowWithoutTagKeepsCaption()
    {
        QWidget window;
        window.setWindowTitle(QStringLiteral("design"));
        Module1::LoadResStrings(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("design"));
        Module1::LoadResStrings(nullptr);
    }
};

QTEST_MAIN(tst_LoadResStrings)
#include "tst_LoadResStrings.moc"
