// The page layout check finds what a person sees wrong (a cut text, controls
// drawn over one another) and passes a page laid out with room to spare.
#include "PageLayoutCheck.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

namespace {
const QString kLine = QStringLiteral("Configure the Calvantor's Ethernet port");
const QString kParagraph = QStringLiteral("Make sure the Ethernet cable runs from the PC to the Calvantor's LAN port "
                                          "and that the Calvantor is switched on before you go on.");

// A small page with one title line, one paragraph, a choice and a button,
// every one with room for its text; a fixture bends one of them.
std::unique_ptr<QWidget> goodPage()
{
    auto page = std::make_unique<QWidget>();
    page->resize(600, 400);
    const QFontMetrics fm = page->fontMetrics();
    auto* title = new QLabel(kLine, page.get());
    title->setObjectName(QStringLiteral("Title"));
    title->setGeometry(10, 10, fm.horizontalAdvance(kLine) + 20, fm.height() + 4);
    auto* body = new QLabel(kParagraph, page.get());
    body->setObjectName(QStringLiteral("Body"));
    body->setWordWrap(true);
    body->setGeometry(10, 60, 300, body->heightForWidth(300) + 4);
    auto* frame = new QFrame(page.get());
    frame->setObjectName(QStringLiteral("Box"));
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(5, 200, 400, 120);
    auto* choice = new QRadioButton(QStringLiteral("&Use this address"), page.get());
    choice->setObjectName(QStringLiteral("Choice"));
    choice->setGeometry(20, 220, choice->sizeHint().width() + 10, choice->sizeHint().height());
    auto* next = new QPushButton(QStringLiteral("&Next >"), page.get());
    next->setObjectName(QStringLiteral("Next"));
    next->setGeometry(480, 350, 100, 30);
    return page;
}

template<class W> W* child(QWidget& page, const char* name)
{
    return page.findChild<W*>(QLatin1String(name));
}
} // namespace

using Bend = std::function<void(QWidget&)>;
Q_DECLARE_METATYPE(Bend)

class tst_PageLayoutCheck : public QObject {
    Q_OBJECT

private slots:
    void findsWhatIsWrong_data()
    {
        QTest::addColumn<Bend>("bend");
        // The one fault expected, or empty for none.
        QTest::addColumn<QString>("fault");

        QTest::newRow("page with room to spare, a frame around its choice") << Bend([](QWidget&) {}) << QString();
        QTest::newRow("hidden control over another") << Bend([](QWidget& p) {
            auto* over = new QLabel(QStringLiteral("Hidden"), &p);
            over->setGeometry(child<QLabel>(p, "Title")->geometry());
            over->hide();
        }) << QString();

        QTest::newRow("single line a few characters too narrow") << Bend([](QWidget& p) {
            auto* title = child<QLabel>(p, "Title");
            title->resize(title->fontMetrics().horizontalAdvance(kLine) - 12, title->height());
        }) << QStringLiteral("QLabel Title: text \"%1\" is cut").arg(kLine);
        QTest::newRow("wrapped paragraph loses its last line") << Bend([](QWidget& p) {
            auto* body = child<QLabel>(p, "Body");
            body->resize(body->width(), body->heightForWidth(body->width()) - body->fontMetrics().height());
        }) << QStringLiteral("QLabel Body: text \"%1\" is cut").arg(kParagraph);
        QTest::newRow("single line too short for its font") << Bend([](QWidget& p) {
            auto* title = child<QLabel>(p, "Title");
            title->resize(title->width(), title->fontMetrics().height() / 2);
        }) << QStringLiteral("QLabel Title: text \"%1\" is cut").arg(kLine);
        QTest::newRow("button caption wider than the button")
            << Bend([](QWidget& p) { child<QPushButton>(p, "Next")->resize(30, 30); })
            << QStringLiteral("QPushButton Next: text \"Next >\" is cut");
        QTest::newRow("choice caption runs past its box") << Bend([](QWidget& p) {
            auto* choice = child<QRadioButton>(p, "Choice");
            choice->resize(choice->sizeHint().width() / 2, choice->height());
        }) << QStringLiteral("QRadioButton Choice: text \"Use this address\" is cut");
        QTest::newRow("check box caption runs past its box") << Bend([](QWidget& p) {
            auto* box = new QCheckBox(QStringLiteral("Keep the PC's settings"), &p);
            box->setObjectName(QStringLiteral("Keep"));
            box->setGeometry(10, 330, box->sizeHint().width() - 20, box->sizeHint().height());
        }) << QStringLiteral("QCheckBox Keep: text \"Keep the PC's settings\" is cut");
        QTest::newRow("label under the button") << Bend([](QWidget& p) {
            auto* note = new QLabel(QStringLiteral("Note"), &p);
            note->setObjectName(QStringLiteral("Note"));
            note->setGeometry(470, 340, 60, 20);
        }) << QStringLiteral("QPushButton Next and QLabel Note overlap by 50x10 px at (480,350)");
        QTest::newRow("choice sticking out of its frame")
            << Bend([](QWidget& p) { child<QRadioButton>(p, "Choice")->move(20, 310); })
            << QStringLiteral("QFrame Box and QRadioButton Choice overlap");
        QTest::newRow("placeholder over a list with no rows") << Bend([](QWidget& p) {
            auto* list = new QTreeWidget(&p);
            list->setGeometry(320, 10, 260, 180);
            auto* searching = new QLabel(QStringLiteral("Searching"), &p);
            searching->setGeometry(400, 100, 100, 30);
        }) << QString();
        QTest::newRow("placeholder below the list's rows") << Bend([](QWidget& p) {
            auto* list = new QTreeWidget(&p);
            list->setGeometry(320, 10, 260, 180);
            new QTreeWidgetItem(list, { QStringLiteral("10") });
            auto* searching = new QLabel(QStringLiteral("Searching"), &p);
            searching->setGeometry(400, 140, 100, 30);
        }) << QString();
        QTest::newRow("placeholder over the list's rows") << Bend([](QWidget& p) {
            auto* list = new QTreeWidget(&p);
            list->setObjectName(QStringLiteral("Units"));
            list->setGeometry(320, 10, 260, 180);
            for (int i = 0; i < 8; ++i)
                new QTreeWidgetItem(list, { QString::number(i) });
            auto* searching = new QLabel(QStringLiteral("Searching"), &p);
            searching->setObjectName(QStringLiteral("Searching"));
            searching->setGeometry(400, 100, 100, 30);
        }) << QStringLiteral("QTreeWidget Units and QLabel Searching overlap by 100x30 px at (400,100)");
        QTest::newRow("empty label under a paragraph") << Bend([](QWidget& p) {
            auto* status = new QLabel(&p);
            status->setGeometry(child<QLabel>(p, "Body")->geometry().adjusted(0, 10, 0, 10));
        }) << QString();
        QTest::newRow("two controls inside a frame") << Bend([](QWidget& p) {
            auto* frame = child<QFrame>(p, "Box");
            auto* a = new QLabel(QStringLiteral("Address"), frame);
            a->setObjectName(QStringLiteral("Address"));
            a->setGeometry(10, 10, 100, 20);
            auto* b = new QPushButton(QStringLiteral("OK"), frame);
            b->setObjectName(QStringLiteral("Ok"));
            b->setGeometry(90, 15, 80, 30);
        }) << QStringLiteral("QLabel Address and QPushButton Ok overlap by 20x15 px at (90,15)");
    }
    void findsWhatIsWrong()
    {
        QFETCH(Bend, bend);
        QFETCH(QString, fault);
        const std::unique_ptr<QWidget> page = goodPage();
        bend(*page);
        // On screen, so that lists and buttons have laid out their parts.
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        const QStringList found = PageLayoutCheck::faults(*page);
        if (fault.isEmpty()) {
            QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
            return;
        }
        QVERIFY2(found.size() == 1, qPrintable(found.join(QLatin1Char('\n'))));
        QVERIFY2(found[0].startsWith(fault), qPrintable(found[0]));
    }

    // Rich text is measured as it is laid out, markup left out.
    void richTextMeasuredAsShown()
    {
        QWidget page;
        auto* label = new QLabel(QStringLiteral("<b>") + kLine + QStringLiteral("</b>"), &page);
        QFont bold = label->font();
        bold.setBold(true);
        const int width = QFontMetrics(bold).horizontalAdvance(kLine);
        label->setGeometry(0, 0, width + 4, label->fontMetrics().height() + 4);
        QVERIFY2(PageLayoutCheck::faults(page).isEmpty(), qPrintable(PageLayoutCheck::faults(page).join('\n')));
        label->resize(width * 3 / 4, label->height());
        QCOMPARE(PageLayoutCheck::faults(page).size(), 1);
    }
};

QTEST_MAIN(tst_PageLayoutCheck)
#include "tst_PageLayoutCheck.moc"
