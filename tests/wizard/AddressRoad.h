#pragma once

// The road from the search page through the configuration option page to the
// unit address pages, as the journey tests walk it: the program started as
// main() starts it on a bare LAN, units played by unitsim, every message box
// answered as a person answers it.

#include "Journey.h"
#include "WizardFixture.h"
#include "wizard/frmWiz01.h"
#include "wizard/frmWiz08.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QRadioButton>

#include <functional>

namespace AddressRoad {

using Answer = std::function<QMessageBox::StandardButton(const Journey::Box&)>;

// Notes every message box that comes up while it lives and presses the button
// answer() names for it: what a person does, box after box.
class BoxHand : public QObject {
public:
    explicit BoxHand(Answer answer)
        : m_answer(std::move(answer))
    {
        connect(&m_poll, &QTimer::timeout, this, &BoxHand::look);
        m_poll.start(20);
    }
    // Answers in this order; Yes/No boxes beyond the list get No, others Ok.
    explicit BoxHand(QList<QMessageBox::StandardButton> answers = {})
        : BoxHand([queue = std::move(answers)](const Journey::Box&) mutable {
            return queue.isEmpty() ? QMessageBox::NoButton : queue.takeFirst();
        })
    { }

    QStringList texts() const
    {
        QStringList out;
        for (const Journey::Box& b : boxes)
            out << b.text;
        return out;
    }

    QList<Journey::Box> boxes;

private:
    void look()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        if (box == m_last) {
            // A click that reaches a box while it is still being shown can
            // be lost; a person would click again.
            if (m_pressed && m_since.elapsed() >= 250) {
                QTest::mouseClick(m_pressed, Qt::LeftButton);
                m_since.start();
            }
            return;
        }
        m_last = box;
        Journey::Box seen { box->text(), box->windowTitle(), box->frameGeometry(), box->parentWidget(), true,
            box->icon() };
        boxes << seen;
        QMessageBox::StandardButton press = m_answer(seen);
        if (press == QMessageBox::NoButton || !box->button(press))
            press = box->button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
        m_pressed = box->button(press);
        m_since.start();
        QTest::mouseClick(m_pressed, Qt::LeftButton);
    }

    Answer m_answer;
    QTimer m_poll;
    QPointer<QMessageBox> m_last;
    QPointer<QAbstractButton> m_pressed;
    QElapsedTimer m_since;
};

// The texts a label showed on screen, in order: what it held each time it
// was painted, repeats left out.
class ShownTexts : public QObject {
public:
    explicit ShownTexts(QLabel* label) { label->installEventFilter(this); }
    QStringList texts;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const QString now = static_cast<QLabel*>(watched)->text();
            if (texts.isEmpty() || texts.last() != now)
                texts << now;
        }
        return false;
    }
};

// unitsim's arguments for the one unit these tests configure: serial 10 at
// 198.51.100.10 unless extra says otherwise.
inline QStringList oneUnit(const QStringList& extra = {})
{
    return QStringList { "--serial", "10", "--count", "1" } + extra;
}

// The lines the unit of this serial number received, in order, from
// unitsim's command log.
inline QStringList commandsTo(const QString& log, const QString& serial)
{
    QFile file(log);
    QStringList out;
    if (!file.open(QIODevice::ReadOnly))
        return out;
    const QByteArray prefix = serial.toLatin1() + '\t';
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(prefix))
            out << QString::fromLatin1(line.mid(prefix.size()));
    }
    return out;
}

// A bare LAN (this process becomes the PC) with the units' side played by
// unitsim, which logs every command line it hears.
struct Bench {
    Journey::Lan lan;
    QTemporaryDir dir;
    QString log = dir.filePath(QStringLiteral("commands.log"));

    bool build() { return lan.build(Journey::Lan::Shape::Bare); }
    // sim: unitsim's arguments after the standard ones (see oneUnit).
    bool startUnits(const QStringList& sim)
    {
        return lan.startUnits(sim + QStringList { QStringLiteral("--command-log"), log });
    }
    bool start(const QStringList& sim) { return build() && startUnits(sim); }
    QString lastError() const { return lan.lastError(); }
    // What the unit of serial 10 heard so far.
    QStringList commands() const { return commandsTo(log, QStringLiteral("10")); }
};

inline bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
    return true;
}

// Starts the program and walks to the search page's outcome: the Ethernet
// road, or (cellular) the road with the four instruction pages.
inline frmWiz07* reachSearch(Journey::Run& run, bool cellular = false)
{
    run.shift = cellular;
    run.program.start();
    run.shift = false;
    auto* welcome = run.page<frmWiz01>();
    if (!welcome)
        return nullptr;
    if (cellular)
        welcome->Option2->click();
    for (int i = 0; i < 5 && !run.page<frmWiz07>(); ++i)
        QTest::mouseClick(run.router().visiblePage()->navButton(WizardPage::Nav::Next), Qt::LeftButton);
    return Journey::waitForUnits(run);
}

// On from the search page with the unit of this serial chosen, through the
// probe; the option page once it takes input, or nullptr.
inline frmWiz08* probe(Journey::Run& run, frmWiz07& search, const QString& serial = QStringLiteral("10"))
{
    Journey::choose(search, serial);
    QTest::mouseClick(search.cmdNext, Qt::LeftButton);
    frmWiz08* page = nullptr;
    waitUntil(
        [&] {
            page = run.page<frmWiz08>();
            return page && page->isEnabled();
        },
        90000);
    return page && page->isEnabled() ? page : nullptr;
}

inline frmWiz08* reachOptionPage(Journey::Run& run, bool cellular = false)
{
    frmWiz07* search = reachSearch(run, cellular);
    return search ? probe(run, *search) : nullptr;
}

// The lines after the first one that starts with from (all when none does).
inline QStringList linesFrom(const QStringList& lines, const QString& from)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(from))
            return lines.mid(i);
    }
    return lines;
}

} // namespace AddressRoad
