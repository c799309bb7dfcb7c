#pragma once

// The person's web browser as the end-of-road journeys meet it: the desktop's
// URL handler (xdg-open) runs $BROWSER, here a script that notes the URL it
// was given; and the final page's Browse and Finish as a person uses them.

#include "Journey.h"
#include "wizard/frmWiz13.h"

#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class StandInBrowser {
public:
    // Why the desktop's URL handler can't be used here; empty when it can.
    static QString unavailableReason()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
            return QStringLiteral("no xdg-open: the desktop's URL handler (Debian's xdg-utils)");
        return {};
    }

    // Writes the script and names it in $BROWSER for the rest of the process.
    bool install()
    {
        const QString browser = m_dir.filePath(QStringLiteral("browser"));
        QFile script(browser);
        if (!script.open(QIODevice::WriteOnly))
            return false;
        script.write("#!/bin/sh\necho \"$@\" >> '" + QFile::encodeName(log()) + "'\n");
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        qputenv("BROWSER", QFile::encodeName(browser));
        return true;
    }

    // Forgets what earlier roads opened.
    void clear() { QFile::remove(log()); }
    // The URLs opened so far, one a line.
    QString opened() const { return QString::fromLocal8Bit(fileText(log())).trimmed(); }

    static QByteArray fileText(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Browse on the final page: the unit's web login (from unitsim's web
    // log), the browser opened on url, the page still usable; then Finish
    // ends the run.
    void browseAndFinish(Journey::Run& run, frmWiz13* final, const QString& url, const QString& webLog) const
    {
        QVERIFY(final);
        QVERIFY(final->cmdConfigure->isEnabled());
        QTest::mouseClick(final->cmdConfigure, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(opened(), url, 10'000);
        const QByteArray requests = fileText(webLog);
        QVERIFY2(requests.startsWith("GET /login.asp\t\t\nPOST /login.asp\tusername=username&password=zelvanok\t"),
            requests.constData());
        QVERIFY(final->cmdConfigure->isEnabled());
        QCOMPARE(run.ends, 0);
        QTest::mouseClick(final->cmdNext, Qt::LeftButton);
        QCOMPARE(run.ends, 1);
    }

private:
    QString log() const { return m_dir.filePath(QStringLiteral("browser.log")); }

    QTemporaryDir m_dir;
};
