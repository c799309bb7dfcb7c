// The welcome page's Shift on the desktops people run: an X server (Xvfb
// with openbox), and a Wayland compositor (sway, headless) with the program
// under XWayland and natively. The key is held for real, through the X
// server's test extension (xdotool) or the compositor's virtual keyboard
// (wtype), and the real binary starts as a person starts it, on a bare LAN.
// What the page did is read from its diagnostics on stderr.
#include "NetLab.h"
#include "SwayDisplay.h"
#include "XvfbDisplay.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
constexpr int kWaitMs = 20000;

enum class Desktop { X11, XWayland, Wayland };
enum class Shift {
    // Held from before the program starts, as the person is told to.
    HeldFromTheStart,
    // Pressed once the page is up and has the keyboard.
    PressedOnThePage,
    None,
};

QString tool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// The program as a person starts it from a menu or a terminal, with the
// page's diagnostics switched on.
class Program {
public:
    explicit Program(const QProcessEnvironment& desktop)
    {
        QProcessEnvironment env = desktop;
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("linkwise.*.info=true"));
        env.remove(QStringLiteral("LINKWISE_AUTOCLOSE_MS"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(qEnvironmentVariable("LINKWISE_BUILD_DIR") + QStringLiteral("/src/linkwise"), {});
    }
    ~Program()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    // Waits until the program has said a line matching pattern; the match,
    // or an empty one when it ended or kept silent.
    QRegularExpressionMatch waitFor(const QString& pattern)
    {
        const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
        const QDeadlineTimer deadline(kWaitMs);
        for (;;) {
            m_said += QString::fromLocal8Bit(m_process.readAll());
            if (QRegularExpressionMatch m = re.match(m_said); m.hasMatch())
                return m;
            if (m_process.state() == QProcess::NotRunning || deadline.hasExpired())
                return {};
            m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        }
    }
    QString said() const { return m_said; }

private:
    QTemporaryDir m_home;
    QProcess m_process;
    QString m_said;
};

// One desktop, brought up for one test row, with a keyboard on it.
class Session {
public:
    // Empty when the desktop came up, else why not (skipped where it cannot
    // run here at all, a failure otherwise).
    QString start(Desktop desktop, bool* cannotRunHere)
    {
        m_desktop = desktop;
        *cannotRunHere = true;
        if (desktop == Desktop::X11) {
            if (QString why = XvfbDisplay::unavailableReason(true); !why.isEmpty())
                return why;
            if (tool("xdotool").isEmpty())
                return QStringLiteral("xdotool is not installed (scripts/deps.sh installs it)");
            *cannotRunHere = false;
            m_xvfb = std::make_unique<XvfbDisplay>();
            if (!m_xvfb->start(true))
                return m_xvfb->lastError();
            m_env = QProcessEnvironment::systemEnvironment();
            m_env.insert(QStringLiteral("DISPLAY"), m_xvfb->display());
            m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            m_env.remove(QStringLiteral("WAYLAND_DISPLAY"));
            m_env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("x11"));
            return QString();
        }
        if (QString why = SwayDisplay::unavailableReason(); !why.isEmpty())
            return why;
        if (tool("wtype").isEmpty())
            return QStringLiteral("wtype is not installed (scripts/deps.sh installs it)");
        if (desktop == Desktop::Wayland
            && !QFile::exists(
                QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/libqwayland-generic.so")))
            return QStringLiteral("Qt's Wayland platform is not installed (qt6-wayland; scripts/deps.sh installs it)");
        *cannotRunHere = false;
        m_sway = std::make_unique<SwayDisplay>();
        if (!m_sway->start())
            return m_sway->lastError();
        QProcessEnvironment base = QProcessEnvironment::systemEnvironment();
        base.remove(QStringLiteral("QT_QPA_PLATFORM"));
        m_env = m_sway->sessionEnvironment(base);
        // A desktop has a keyboard before any window opens; a client learns
        // of one added later only for windows that get the keyboard after.
        m_keyboard = startKeyboard({});
        if (!m_keyboard)
            return QStringLiteral("no keyboard on sway's seat");
        // Without Qt's Wayland platform installed, Qt runs under XWayland;
        // with it, Qt picks it by itself in a Wayland session.
        if (desktop == Desktop::XWayland)
            m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return QString();
    }

    QProcessEnvironment environment() const { return m_env; }
    QString expectedPlatform() const { return m_desktop == Desktop::Wayland ? "wayland" : "xcb"; }

    // Presses Shift and keeps it down until the row ends.
    bool holdShift()
    {
        if (m_desktop == Desktop::X11)
            return xdotool({ QStringLiteral("keydown"), QStringLiteral("shift") });
        // A real one sends both what wtype sends apart: the key going down
        // and the modifiers it sets.
        m_holder = startKeyboard(
            { QStringLiteral("-M"), QStringLiteral("shift"), QStringLiteral("-P"), QStringLiteral("Shift_L") });
        return m_holder != nullptr;
    }

    // A key that changes nothing on the page; what the window system knew
    // of the keyboard before it has reached the page once its event has.
    bool tapControl()
    {
        if (m_desktop == Desktop::X11)
            return xdotool({ QStringLiteral("key"), QStringLiteral("ctrl") });
        QProcess p;
        p.setProcessEnvironment(m_env);
        p.start(tool("wtype"),
            { QStringLiteral("-P"), QStringLiteral("Control_L"), QStringLiteral("-p"), QStringLiteral("Control_L") });
        return p.waitForFinished(kWaitMs) && p.exitCode() == 0;
    }

    // The window the X server's window manager has given the keyboard to.
    QString activeXWindow() const
    {
        QProcess p;
        p.setProcessEnvironment(m_env);
        p.start(tool("xprop"), { QStringLiteral("-root"), QStringLiteral("_NET_ACTIVE_WINDOW") });
        p.waitForFinished(kWaitMs);
        return QRegularExpression(QStringLiteral("(0x[0-9a-f]+)"))
            .match(QString::fromLocal8Bit(p.readAllStandardOutput()))
            .captured(1);
    }
    QString xprop(const QString& window, const QString& property) const
    {
        QProcess p;
        p.setProcessEnvironment(m_env);
        p.start(tool("xprop"), { QStringLiteral("-id"), window, property });
        p.waitForFinished(kWaitMs);
        return QString::fromLocal8Bit(p.readAllStandardOutput());
    }
    SwayDisplay* sway() const { return m_sway.get(); }

    // The compositor's screen, as the person sees it, into the build
    // folder's photos (CI keeps them); nothing where grim is missing.
    void photograph(const QString& name) const
    {
        if (!m_sway || tool("grim").isEmpty())
            return;
        const QString folder
            = qEnvironmentVariable("LINKWISE_BUILD_DIR") + QStringLiteral("/journey-shots/tst_frmWiz01Desktop");
        QDir().mkpath(folder);
        QString file = name;
        file.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("-"));
        QProcess p;
        p.setProcessEnvironment(m_env);
        p.start(tool("grim"), { folder + QLatin1Char('/') + file + QStringLiteral(".png") });
        p.waitForFinished(kWaitMs);
    }

    ~Session()
    {
        for (QProcess* p : { m_holder.get(), m_keyboard.get() }) {
            if (p) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
        if (m_xvfb)
            xdotool({ QStringLiteral("keyup"), QStringLiteral("shift") });
    }

private:
    // The number of keyboards on sway's seat.
    int keyboards() const
    {
        QString inputs;
        m_sway->swaymsg({ QStringLiteral("-t"), QStringLiteral("get_inputs") }, &inputs);
        return int(inputs.count(QStringLiteral("\"type\": \"keyboard\"")));
    }

    // A virtual keyboard that does what the wtype commands say and then
    // stays on the seat (it lives as long as the client that made it), once
    // sway lists it; its keys follow in the same stream.
    std::unique_ptr<QProcess> startKeyboard(const QStringList& commands)
    {
        const int before = keyboards();
        auto wtype = std::make_unique<QProcess>();
        wtype->setProcessEnvironment(m_env);
        wtype->start(tool("wtype"), commands + QStringList { QStringLiteral("-s"), QStringLiteral("600000") });
        const QDeadlineTimer deadline(kWaitMs);
        while (keyboards() <= before) {
            if (deadline.hasExpired() || wtype->state() == QProcess::NotRunning)
                return nullptr;
        }
        return wtype;
    }

    bool xdotool(const QStringList& args) const
    {
        QProcess p;
        p.setProcessEnvironment(m_env);
        p.start(tool("xdotool"), args);
        return p.waitForFinished(kWaitMs) && p.exitCode() == 0;
    }

    Desktop m_desktop = Desktop::X11;
    std::unique_ptr<XvfbDisplay> m_xvfb;
    std::unique_ptr<SwayDisplay> m_sway;
    std::unique_ptr<QProcess> m_keyboard;
    std::unique_ptr<QProcess> m_holder;
    QProcessEnvironment m_env;
};

// The value of a key of the desktop entry shipped in data/.
QString desktopEntryKey(const QString& key)
{
    QFile f(qEnvironmentVariable("LINKWISE_SOURCE_DIR") + QStringLiteral("/data/invalid.linkwise.Linkwise.desktop"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    }
    return QString();
}

const QString kOffered = QStringLiteral("^.*Ethernet-and-cellular choice offered");
// The page has the keyboard: it says so when it looks at the key.
const QString kFocused = QStringLiteral("^.*Shift on focus: (held|not held)");
const QString kLoaded = QStringLiteral("^.*Shift at load: (held|not held) \\(platform (\\w+)\\)");
} // namespace

Q_DECLARE_METATYPE(Desktop)
Q_DECLARE_METATYPE(Shift)

class tst_frmWiz01Desktop : public QObject {
    Q_OBJECT

    std::unique_ptr<NetLab> m_lab;
    QString m_labProblem;

private slots:
    void initTestCase()
    {
        if (QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        // A PC cabled straight to a unit: the program finds one usable
        // interface and opens its welcome page.
        m_lab = std::make_unique<NetLab>();
        const NetLab::Cable cable = m_lab->cable(QStringLiteral("198.51.100.1/24"), QStringLiteral("198.51.100.10/24"));
        QVERIFY2(!cable.pc.isEmpty() && m_lab->enter(cable.pc), qPrintable(m_lab->lastError()));
        QVERIFY(QFile::exists(qEnvironmentVariable("LINKWISE_BUILD_DIR") + QStringLiteral("/src/linkwise")));
    }

    void shiftOffersTheCellularRoad_data()
    {
        QTest::addColumn<Desktop>("desktop");
        QTest::addColumn<Shift>("shift");
        const std::pair<const char*, Desktop> desktops[] = { { "X11", Desktop::X11 },
            { "XWayland under sway", Desktop::XWayland }, { "Wayland (sway)", Desktop::Wayland } };
        for (const auto& [name, desktop] : desktops) {
            QTest::addRow("%s: Shift held from the start", name) << desktop << Shift::HeldFromTheStart;
            QTest::addRow("%s: Shift pressed once the page is up", name) << desktop << Shift::PressedOnThePage;
            QTest::addRow("%s: no Shift", name) << desktop << Shift::None;
        }
    }
    void shiftOffersTheCellularRoad()
    {
        QFETCH(Desktop, desktop);
        QFETCH(Shift, shift);
        Session session;
        bool cannotRunHere = false;
        if (const QString why = session.start(desktop, &cannotRunHere); !why.isEmpty()) {
            if (cannotRunHere)
                QSKIP(qPrintable(why));
            QFAIL(qPrintable(why));
        }
        if (shift == Shift::HeldFromTheStart)
            QVERIFY(session.holdShift());

        Program program(session.environment());
        const QRegularExpressionMatch loaded = program.waitFor(kLoaded);
        QVERIFY2(loaded.hasMatch(), qPrintable(program.said()));
        QCOMPARE(loaded.captured(2), session.expectedPlatform());
        // Shift known at load offers the road at once; else the page looks
        // again once it has the keyboard.
        if (loaded.captured(1) != QStringLiteral("held"))
            QVERIFY2(program.waitFor(kFocused).hasMatch(), qPrintable(program.said()));

        if (shift == Shift::PressedOnThePage)
            QVERIFY(session.holdShift());
        if (shift != Shift::None) {
            QVERIFY2(program.waitFor(kOffered).hasMatch(), qPrintable(program.said()));
        } else {
            QVERIFY(session.tapControl());
            QVERIFY2(
                program.waitFor(QStringLiteral("^.*Shift on a key: not held")).hasMatch(), qPrintable(program.said()));
            QVERIFY2(!program.said().contains(QStringLiteral("choice offered")), qPrintable(program.said()));
        }
        // For people to look at, not a check: the latest repaint may be a
        // frame behind.
        session.photograph(QString::fromLatin1(QTest::currentDataTag()));
    }

    // A desktop ties the program's windows to its launcher by the window
    // class the entry names (X11 and XWayland) or by the entry's own name
    // (Wayland's application id).
    void windowsBelongToTheDesktopEntry_data()
    {
        QTest::addColumn<Desktop>("desktop");
        QTest::newRow("X11") << Desktop::X11;
        QTest::newRow("Wayland (sway)") << Desktop::Wayland;
    }
    void windowsBelongToTheDesktopEntry()
    {
        QFETCH(Desktop, desktop);
        Session session;
        bool cannotRunHere = false;
        if (const QString why = session.start(desktop, &cannotRunHere); !why.isEmpty()) {
            if (cannotRunHere)
                QSKIP(qPrintable(why));
            QFAIL(qPrintable(why));
        }
        Program program(session.environment());
        QVERIFY2(program.waitFor(kFocused).hasMatch(), qPrintable(program.said()));
        if (desktop == Desktop::X11) {
            // openbox names the window it gave the keyboard to just after
            // giving it.
            const QRegularExpression wmClass(QStringLiteral("= \"([^\"]*)\", \"([^\"]*)\""));
            QRegularExpressionMatch m;
            const QDeadlineTimer deadline(kWaitMs);
            while (!m.hasMatch() && !deadline.hasExpired()) {
                const QString window = session.activeXWindow();
                if (!window.isEmpty() && window != QStringLiteral("0x0"))
                    m = wmClass.match(session.xprop(window, QStringLiteral("WM_CLASS")));
            }
            QVERIFY(m.hasMatch());
            QVERIFY(!desktopEntryKey(QStringLiteral("StartupWMClass")).isEmpty());
            QCOMPARE(m.captured(2), desktopEntryKey(QStringLiteral("StartupWMClass")));
            return;
        }
        QString tree;
        QVERIFY(session.sway()->swaymsg({ QStringLiteral("-t"), QStringLiteral("get_tree") }, &tree));
        QVERIFY2(tree.contains(QStringLiteral("\"app_id\": \"invalid.linkwise.Linkwise\"")), qPrintable(tree));
    }
};

QTEST_GUILESS_MAIN(tst_frmWiz01Desktop)
#include "tst_frmWiz01Desktop.moc"
