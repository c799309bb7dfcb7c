#pragma once

// Every wizard page a journey shows, photographed as the person saw it and
// checked for cut texts and overlapping controls. A page is taken once it
// has settled (enabled, not being left, no poll in flight) and again
// whenever what it shows changes; a page left before it
// ever settled is taken as it was when it went. The pictures go under the
// build tree, journey-shots/<test program>/<test function>[/<row>]/
// <nn>-<page>.png, where CI keeps them; the faults fail the test at its end.

#include "PageLayoutCheck.h"
#include "wizard/WizardPage.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <vector>

class PagePhotos : public QObject {
public:
    PagePhotos()
    {
        const QString build = qEnvironmentVariable("LINKWISE_BUILD_DIR");
        if (!build.isEmpty() && QTest::currentTestFunction()) {
            // A run at another scale keeps its own pictures.
            QString program = QCoreApplication::applicationName();
            if (const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR"); !scale.isEmpty() && scale != u'1')
                program += u'@' + scale + u'x';
            m_folder = QStringLiteral("%1/journey-shots/%2/%3")
                           .arg(build, program, QString::fromLatin1(QTest::currentTestFunction()));
            if (const char* row = QTest::currentDataTag(); row && *row)
                m_folder += u'/' + fileSafe(QString::fromUtf8(row));
            QDir(m_folder).removeRecursively();
            QDir().mkpath(m_folder);
        }
        qApp->installEventFilter(this);
        connect(&m_poll, &QTimer::timeout, this, &PagePhotos::look);
        m_poll.start(50);
    }
    ~PagePhotos() override { stop(); }

    // No more pictures; what was found stays.
    void stop()
    {
        m_poll.stop();
        if (qApp)
            qApp->removeEventFilter(this);
    }

    // Looks at the pages on screen now, as the next poll would: for a test
    // that acts on a page the moment it settles.
    void lookNow() { look(); }

    // One line per fault seen on any page so far: the page, its control and
    // the text.
    QStringList faults() const { return m_faults; }
    // The pictures taken so far, in order; paths when they were saved.
    QStringList shots() const { return m_shots; }
    QString folder() const { return m_folder; }

    // Fails the running test when any page showed a fault; to be called at
    // the end of the test that walked the pages.
    void report()
    {
        stop();
        if (m_faults.isEmpty())
            return;
        const QString text
            = QStringLiteral("pages with cut or overlapping controls:\n  ") + m_faults.join(QStringLiteral("\n  "));
        if (QTest::currentTestFunction() && !QTest::currentTestFailed())
            QTest::qFail(qPrintable(text), __FILE__, __LINE__);
        else
            qWarning("%s", qPrintable(text));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show && event->type() != QEvent::Hide)
            return false;
        auto* page = qobject_cast<WizardPage*>(watched);
        if (!page)
            return false;
        // The page leading on still shows while the next one opens, so
        // several may be on screen at once.
        auto visit = std::find_if(m_visits.begin(), m_visits.end(), [page](const Visit& v) { return v.page == page; });
        if (event->type() == QEvent::Show) {
            if (visit == m_visits.end())
                m_visits.push_back(Visit { page, {}, 0 });
        } else if (visit != m_visits.end()) {
            if (visit->taken == 0)
                take(*visit);
            m_visits.erase(visit);
        }
        return false;
    }

private:
    static QString fileSafe(QString name)
    {
        for (QChar& c : name) {
            if (!c.isLetterOrNumber() && c != u'-' && c != u'_')
                c = u'-';
        }
        return name;
    }

    // What a person would notice changing on the page: which controls show,
    // where, what they say and whether they take input.
    static QString signature(const QWidget& page)
    {
        QString out;
        for (const QWidget* w : page.findChildren<QWidget*>()) {
            if (!w->isVisibleTo(&page))
                continue;
            QString text;
            if (const auto* label = qobject_cast<const QLabel*>(w))
                text = label->text();
            else if (const auto* button = qobject_cast<const QAbstractButton*>(w))
                text = button->text() + (button->isChecked() ? u'*' : u' ');
            else if (const auto* edit = qobject_cast<const QLineEdit*>(w))
                text = edit->text();
            const QRect g = w->geometry();
            out += QStringLiteral("%1|%2,%3,%4,%5|%6|%7\n")
                       .arg(w->objectName())
                       .arg(g.x())
                       .arg(g.y())
                       .arg(g.width())
                       .arg(g.height())
                       .arg(w->isEnabled())
                       .arg(text);
        }
        return out;
    }

    void look()
    {
        std::erase_if(m_visits, [](const Visit& v) { return v.page.isNull(); });
        for (Visit& visit : m_visits) {
            const WizardPage& page = *visit.page;
            if (!page.isVisible() || !page.isEnabled() || page.navigating() || page.isBusy() || page.unloaded())
                continue;
            if (signature(page) != visit.lastShot)
                take(visit);
        }
    }

    struct Visit {
        QPointer<WizardPage> page;
        QString lastShot;
        int taken = 0;
    };

    void take(Visit& visit)
    {
        WizardPage& page = *visit.page;
        visit.lastShot = signature(page);
        ++visit.taken;
        const QString name = QStringLiteral("%1-%2").arg(++m_count, 2, 10, QLatin1Char('0')).arg(pageName(page.id()));
        for (const QString& fault : PageLayoutCheck::faults(page)) {
            const QString line = QStringLiteral("%1: %2").arg(pageName(page.id()), fault);
            if (!m_faults.contains(line)) {
                m_faults << line;
                qWarning("%s (picture %s)", qPrintable(line), qPrintable(name));
            }
        }
        // A page whose words keep changing (a count, a progress line) is
        // still checked each time, but pictured only so often.
        if (m_folder.isEmpty() || visit.taken > kPicturesPerVisit) {
            m_shots << name;
            return;
        }
        const QString path = QStringLiteral("%1/%2.png").arg(m_folder, name);
        page.grab().save(path);
        m_shots << path;
    }

    static constexpr int kPicturesPerVisit = 8;

    QString m_folder;
    QTimer m_poll;
    std::vector<Visit> m_visits;
    int m_count = 0;
    QStringList m_faults;
    QStringList m_shots;
};
