#pragma once

// A person in front of the batch side's dialogs: whatever modal window comes
// up next (the options dialog, a message box, the host prompt, a results
// window) is answered as the test says, with clicks and typing, from inside
// the nested event loop it runs in.

#include "app/frmCfgOptions.h"
#include "app/frmSummary.h"
#include "app/frmTestHostname.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <functional>

class PersonAtDialogs : public QObject {
public:
    struct Seen {
        QString kind; // "options", "box", "host", "summary"
        QString caption;
        QString text;
    };

    // Switches to tick in the options dialog, by letter: I address, S save,
    // R reboot, W PPP wait, T PPP test, G gateway, P PC test, C cellular
    // settings, D summary. Empty text: Cancel.
    QString switches = QStringLiteral("ISRWTGPCD");
    // What the host prompt is answered with, by whether it is the PC's
    // prompt; an empty host cancels it.
    QString unitHost = QStringLiteral("gprs.example");
    QString pcHost;
    // Yes or No to a question, by its text.
    std::function<bool(const QString&)> answer = [](const QString&) { return true; };
    // Called with each window and its kind before it is answered (to
    // photograph it, say).
    std::function<void(QWidget&, const QString&)> beforeAnswer;
    QList<Seen> seen;

    PersonAtDialogs()
    {
        connect(&m_poll, &QTimer::timeout, this, &PersonAtDialogs::look);
        m_poll.start(20);
    }

    QStringList kinds() const
    {
        QStringList out;
        for (const Seen& s : seen)
            out << s.kind;
        return out;
    }

    static QString kindOf(QWidget& w)
    {
        if (qobject_cast<frmCfgOptions*>(&w))
            return QStringLiteral("options");
        if (qobject_cast<QMessageBox*>(&w))
            return QStringLiteral("box");
        if (auto* prompt = qobject_cast<frmTestHostname*>(&w))
            return isPcPrompt(*prompt) ? QStringLiteral("host-pc") : QStringLiteral("host");
        if (qobject_cast<frmSummary*>(&w))
            return QStringLiteral("summary");
        return QString();
    }

private:
    static bool isPcPrompt(const frmTestHostname& prompt)
    {
        return prompt.lblPrompt->text().contains(QLatin1String("the PC should"));
    }

    void look()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == m_handled)
            return;
        m_handled = modal;
        if (beforeAnswer)
            beforeAnswer(*modal, kindOf(*modal));
        if (auto* options = qobject_cast<frmCfgOptions*>(modal))
            setOptions(*options);
        else if (auto* box = qobject_cast<QMessageBox*>(modal))
            answerBox(*box);
        else if (auto* prompt = qobject_cast<frmTestHostname*>(modal))
            typeHost(*prompt);
        else if (auto* summary = qobject_cast<frmSummary*>(modal))
            readSummary(*summary);
    }

    void setOptions(frmCfgOptions& d)
    {
        seen << Seen { QStringLiteral("options"), d.windowTitle(), QString() };
        if (switches.isEmpty()) {
            QTest::mouseClick(d.CancelButton(), Qt::LeftButton);
            return;
        }
        // The hidden switches come into view with "Advanced >>".
        QTest::mouseClick(d.cmdOptions(), Qt::LeftButton);
        const QList<QPair<int, QChar>> boxes = { { 0, u'I' }, { 1, u'S' }, { 2, u'R' }, { 3, u'W' }, { 4, u'T' },
            { 5, u'G' }, { 6, u'P' }, { 8, u'C' }, { 10, u'D' } };
        for (const auto& [index, letter] : boxes) {
            QCheckBox* box = d.Check1(index);
            if (box->isChecked() != switches.contains(letter))
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        }
        QTest::mouseClick(d.OKButton(), Qt::LeftButton);
    }

    void answerBox(QMessageBox& box)
    {
        seen << Seen { QStringLiteral("box"), box.windowTitle(), box.text() };
        QAbstractButton* yes = box.button(QMessageBox::Yes);
        QAbstractButton* no = box.button(QMessageBox::No);
        QAbstractButton* press = yes && no ? (answer(box.text()) ? yes : no) : box.button(QMessageBox::Ok);
        if (press)
            QTest::mouseClick(press, Qt::LeftButton);
        else
            box.reject();
    }

    void typeHost(frmTestHostname& prompt)
    {
        const bool pc = isPcPrompt(prompt);
        seen << Seen { QStringLiteral("host"), prompt.windowTitle(), prompt.lblPrompt->text() };
        const QString host = pc ? pcHost : unitHost;
        if (host.isEmpty()) {
            QTest::mouseClick(prompt.CancelButton, Qt::LeftButton);
            return;
        }
        prompt.txtRemote->selectAll();
        QTest::keyClicks(prompt.txtRemote, host);
        QTest::keyClick(prompt.txtRemote, Qt::Key_Return);
    }

    void readSummary(frmSummary& summary)
    {
        seen << Seen { QStringLiteral("summary"), summary.windowTitle(), summary.txtmsgs()->toPlainText() };
        QTest::mouseClick(summary.cmdClose(), Qt::LeftButton);
    }

    QTimer m_poll;
    QPointer<QWidget> m_handled;
};
