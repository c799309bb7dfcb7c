#pragma once

// What the journey tests share: a LAN in network namespaces with simulated
// units on the far side, the program started exactly as main() starts it, and
// a person's hands (clicks, keys, answers to message boxes) driving it inside
// the application's own event loop.

#include "NetLab.h"
#include "PagePhotos.h"
#include "ScanPageRig.h"
#include "UnitSimReady.h"
#include "net/SystemClock.h"
#include "wizard/LinkwiseProgram.h"
#include "wizard/WizardPage.h"
#include "wizard/WizardRouter.h"
#include "wizard/frmWiz07.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>

namespace Journey {

inline const QString kPcAddress = QStringLiteral("198.51.100.1");
inline const QString kUnitAddress = QStringLiteral("198.51.100.10");

// The PC side of the LAN as people have it. The test process moves into the
// PC's namespace for good, so the program sees only what is built here.
class Lan {
public:
    enum class Shape {
        // One Ethernet link with an address and no default route: a PC
        // cabled straight to the unit.
        Bare,
        // As Bare, with the default route through a VPN tunnel.
        TunnelDefaultRoute,
        // A second Ethernet link to another network besides the unit's.
        TwoInterfaces,
    };

    // The units answer on the PC's link: serials 9 (no serial number to
    // configure) and 10, at 198.51.100.10 and .11.
    bool build(Shape shape)
    {
        m_pc = m_lab.addHost(QStringLiteral("pc"));
        if (m_pc.isEmpty())
            return false;
        if (shape == Shape::TwoInterfaces) {
            // Made first, so that it tends to come first in the PC's list
            // and the person has to choose the other one.
            const QString other = m_lab.addHost(QStringLiteral("office"));
            if (other.isEmpty()
                || !m_lab.link(m_pc, QStringLiteral("eth1"), QStringLiteral("203.0.113.1/24"), other,
                    QStringLiteral("eth0"), QStringLiteral("203.0.113.2/24"), QStringLiteral("02:00:5e:00:02:01")))
                return false;
        }
        m_unit = m_lab.addHost(QStringLiteral("unit"));
        if (m_unit.isEmpty()
            || !m_lab.link(m_pc, QStringLiteral("eth0"), kPcAddress + QStringLiteral("/24"), m_unit,
                QStringLiteral("eth0"), kUnitAddress + QStringLiteral("/24"), QStringLiteral("02:00:5e:00:01:01"))
            || !m_lab.sh(m_unit, QStringLiteral("ip addr add 198.51.100.11/24 dev eth0")))
            return false;
        if (shape == Shape::TunnelDefaultRoute
            && !m_lab.sh(m_pc,
                QStringLiteral("ip tuntap add dev vpn0 mode tun && ip addr add 10.66.0.2/24 dev vpn0 && "
                               "ip link set vpn0 up && ip route add default dev vpn0")))
            return false;
        return m_lab.enter(m_pc);
    }

    // Starts the simulator in the unit's namespace; extra arguments are added
    // to the standard ones.
    bool startUnits(const QStringList& extra = {})
    {
        QProcess* sim = m_lab.start(m_unit,
            QStringList { unitsimPath(), "--bind", "0.0.0.0", "--port", "7477", "--serial", "9", "--count", "2", "--ip",
                kUnitAddress, "--mac", "0050c2aa0009", "--model", "Calvantor KR5004 Router" }
                + extra);
        m_sim = sim;
        return sim && unitsimReady(*sim) == 7477;
    }

    // A shell command line on the far side of the LAN (the units' host) or
    // on the PC's own; true on exit code 0.
    bool onUnitSide(const QString& command, QString* output = nullptr) { return m_lab.sh(m_unit, command, output); }
    bool onPcSide(const QString& command, QString* output = nullptr) { return m_lab.sh(m_pc, command, output); }
    // The namespaces of the PC and of the units' side, for peers that start
    // there by themselves (a NetworkManager, a DHCP server).
    QString pcNamespace() const { return m_pc; }
    QString unitNamespace() const { return m_unit; }
    // Starts a program on the far side for the rest of the test.
    QProcess* startOnUnitSide(const QStringList& argv) { return m_lab.start(m_unit, argv); }

    // Ends the simulator that startUnits started, so that another may take
    // its ports (the units forget everything they were told).
    void stopUnits()
    {
        if (!m_sim)
            return;
        m_sim->kill();
        m_sim->waitForFinished(10000);
        m_sim = nullptr;
    }

    QString lastError() const { return m_lab.lastError(); }

private:
    NetLab m_lab;
    QString m_pc;
    QString m_unit;
    QPointer<QProcess> m_sim;
};

// The program as main() builds it, with the platform a test controls: its
// own settings files, the Shift key, and an ender that counts instead of
// leaving the process (how the run ends is all the test observes of it).
struct Run {
    Run()
        : Run([](const QUrl&) { return false; })
    { }
    // A run whose URLs open as openUrl says (by default none opens); an
    // empty one is the desktop's own handler, as in the program.
    explicit Run(std::function<bool(const QUrl&)> openUrl)
        : store(home.filePath(QStringLiteral("Linkwise.ini")), QSettings::IniFormat)
        , remote(home.filePath(QStringLiteral("VelmarQuillstone.ini")), QSettings::IniFormat)
        , program({
              .clock = clock,
              .store = store,
              .remoteManagement = remote,
              .ender = [this] { ++ends; },
              .shiftKeyDown = [this] { return shift; },
              // Every URL is noted in opened; an empty handler stays empty, so
              // the program falls back on the desktop's own.
              .openUrl = openUrl ? std::function<bool(const QUrl&)>([this, openUrl](const QUrl& url) {
                  opened << url;
                  return openUrl(url);
              })
                                 : std::function<bool(const QUrl&)>(),
              .sysClassNet = QStringLiteral("/sys/class/net"),
              .noAdaptorPageShown = {},
              // The build tree keeps the program's own files beside the executable.
              .programFolder = qEnvironmentVariable("LINKWISE_BUILD_DIR") + QStringLiteral("/src"),
          })
    { }
    // A page seen with a cut text or overlapping controls fails the test.
    ~Run() { photos.report(); }

    WizardRouter& router() { return *program.router(); }
    template<class Page> Page* page() { return qobject_cast<Page*>(program.router()->visiblePage()); }

    QTemporaryDir home;
    QSettings store;
    QSettings remote;
    SystemClock clock;
    int ends = 0;
    bool shift = false;
    // What the program handed to the desktop's URL handler.
    QList<QUrl> opened;
    LinkwiseProgram program;
    // Every page the run shows, photographed and checked; made after the
    // program so that it is gone before the pages are.
    PagePhotos photos;
};

// Runs body inside QApplication::exec(), as the program's own events run, so
// that whatever Qt does only in its main loop (quitting when a window closes)
// happens here too. QVERIFY and friends may be used in body.
inline void inEventLoop(const std::function<void()>& body)
{
    QTimer::singleShot(0, qApp, [&body] {
        body();
        QCoreApplication::exit(0);
    });
    QApplication::exec();
}

// A message box as the person saw it.
struct Box {
    QString text;
    QString title;
    QRect geometry;
    QPointer<QWidget> over;
    bool seen = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Waits (from inside whatever nested loop is running) for the next modal
// message box, notes it and presses one of its buttons, as a person does.
class BoxAnswer : public QObject {
public:
    BoxAnswer(QMessageBox::StandardButton press, Box& seen, int timeoutMs = 20000)
        : m_press(press)
        , m_seen(seen)
    {
        m_deadline.start();
        m_timeoutMs = timeoutMs;
        connect(&m_poll, &QTimer::timeout, this, &BoxAnswer::look);
        m_poll.start(20);
    }

private:
    void look()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            if (m_answered || m_deadline.elapsed() > m_timeoutMs)
                m_poll.stop();
            return;
        }
        if (m_answered) {
            // Still up after the click: a click that reaches a box while it
            // is still being shown can be lost, and a person clicks again.
            // Another box is someone else's to answer.
            if (box == m_box && m_since.elapsed() >= 250) {
                if (QAbstractButton* again = box->button(m_press))
                    QTest::mouseClick(again, Qt::LeftButton);
                m_since.start();
            } else if (box != m_box) {
                m_poll.stop();
            }
            return;
        }
        m_box = box;
        m_answered = true;
        m_since.start();
        m_seen.text = box->text();
        m_seen.title = box->windowTitle();
        m_seen.geometry = box->frameGeometry();
        m_seen.over = box->parentWidget();
        m_seen.seen = true;
        m_seen.icon = box->icon();
        QAbstractButton* button = box->button(m_press);
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            box->reject();
    }

    QMessageBox::StandardButton m_press;
    Box& m_seen;
    QTimer m_poll;
    QElapsedTimer m_deadline;
    int m_timeoutMs;
    QPointer<QMessageBox> m_box;
    bool m_answered = false;
    QElapsedTimer m_since;
};

// The search page once its search has ended with units in its list; nullptr
// when it found none or never ended.
inline frmWiz07* waitForUnits(Run& run, int timeoutMs = 25000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        frmWiz07* search = run.page<frmWiz07>();
        if (search && search->cmdNext->isEnabled())
            return search;
        if (search && search->cmdRetry->isVisible()) {
            qWarning("search ended with: %s", qPrintable(search->lblTitle->text()));
            return nullptr;
        }
        QTest::qWait(20);
    }
    return nullptr;
}

// Clicks the row of the unit with this serial number, as a person picks it.
inline void choose(frmWiz07& page, const QString& serial)
{
    const QList<QTreeWidgetItem*> hits = page.lvUnits->findItems(serial, Qt::MatchExactly, 0);
    QCOMPARE(hits.size(), 1);
    QTest::mouseClick(page.lvUnits->viewport(), Qt::LeftButton, {}, page.lvUnits->visualItemRect(hits[0]).center());
    QCOMPARE(page.lvUnits->selectedItems().value(0), hits[0]);
}

inline QStringList rowTexts(const frmWiz07& page)
{
    QStringList out;
    for (int i = 0; i < page.lvUnits->topLevelItemCount(); ++i)
        out << page.lvUnits->topLevelItem(i)->text(0);
    return out;
}

// Clicks the button and, 100 ms later, clicks again at the same spot of the
// screen, on whatever is there by then. The second click is armed first, so
// it lands inside the first one's handler if that is still busy then, as a
// person's second click does.
inline void doubleClick(QPushButton* button)
{
    const QPoint spot = button->mapToGlobal(button->rect().center());
    QTimer::singleShot(100, qApp, [spot] {
        QWidget* under = QApplication::widgetAt(spot);
        if (under)
            QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFromGlobal(spot));
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::qWait(200);
}

// True when the two rectangles share their centre within a few pixels.
inline bool centredOver(const QRect& inner, const QRect& outer)
{
    const QPoint d = inner.center() - outer.center();
    return qAbs(d.x()) <= 2 && qAbs(d.y()) <= 2;
}

} // namespace Journey
