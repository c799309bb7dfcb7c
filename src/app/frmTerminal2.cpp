#include "app/frmTerminal2.h"

#include "app/TerminalKeys.h"
#include "session/frmComms.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <utility>

frmTerminal2::frmTerminal2(std::unique_ptr<clsTrm> session, UserPrompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_prompts(prompts)
    , m_clsrx(std::move(session))
{
    setWindowTitle(QStringLiteral("Remote Unit"));

    Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::StyledPanel);
    lblStatus = new QLabel(Frame1);
    lblStatus->setTextFormat(Qt::PlainText);
    txtmsgs = new QPlainTextEdit(Frame1);
    m_screen = std::make_unique<TerminalScreen>(*txtmsgs->document());
    txtmsgs->setObjectName(QStringLiteral("txtmsgs"));
    txtmsgs->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtmsgs->setUndoRedoEnabled(false);
    // Only keys reach the unit; text pasted, dropped or composed by an input
    // method would land on the screen without the unit ever seeing it.
    txtmsgs->setContextMenuPolicy(Qt::NoContextMenu);
    txtmsgs->setAcceptDrops(false);
    txtmsgs->setAttribute(Qt::WA_InputMethodEnabled, false);
    txtmsgs->installEventFilter(this);
    txtmsgs->viewport()->installEventFilter(this);

    CommandButton1 = new QPushButton(QStringLiteral("Get Serial Number"), this);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* b : { CommandButton1, cmdClose }) {
        b->setAutoDefault(false);
        // Return and Space belong to the unit's command line, not to a button.
        b->setFocusPolicy(Qt::ClickFocus);
    }

    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(lblStatus);
    frameLayout->addWidget(txtmsgs, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CommandButton1);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1, 1);
    layout->addLayout(buttons);

    // The original's 11910 x 9900 twips, and no smaller than its layout allows.
    resize(794, 660);
    setMinimumSize(240, 220);
    // At a large scale the design size outgrows a small screen.
    if (const QScreen* s = QWidget::screen())
        resize(size().boundedTo(s->availableGeometry().size() * 0.9));

    connect(CommandButton1, &QPushButton::clicked, this, &frmTerminal2::CommandButton1_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmTerminal2::unload);

    if (m_clsrx) {
        m_clsrx->Setup();
        connect(m_clsrx.get(), &clsTrm::DataArrival, this, &frmTerminal2::clsrx_DataArrival);
        connect(m_clsrx.get(), &clsTrm::StatusMessage, lblStatus, &QLabel::setText);
        // The unit hung up: the window goes, its session closed first. The
        // notice comes from inside the session's socket, and closing lets
        // events run: the close waits until the notice has returned.
        connect(m_clsrx.get(), &clsTrm::Closed, this, &frmTerminal2::unload, Qt::QueuedConnection);
    }
}

frmTerminal2::~frmTerminal2()
{
    closeSession();
}

qint32 frmTerminal2::connectNow(
    qint32 method, const QString& user, const QString& password, const QString& host, const QString& expectedSerial)
{
    const CallLifetime::Call call(m_life);
    show();
    raise();
    activateWindow();
    if (!m_clsrx) {
        m_prompts.message(QStringLiteral("Terminal has no interface"), UserPrompts::Icon::Exclamation);
        return -1;
    }
    if (method != 0) {
        m_prompts.message(QStringLiteral("Unsupported Connect Now Method"));
        unload();
        return -2;
    }
    // The person may close the window, or the unit hang up, while the
    // connection is made: the session is ended then, and its call comes back
    // at once with a failure.
    m_connecting = true;
    const qint32 result = m_clsrx->ConnectNowTelnet(user, password, host, expectedSerial);
    m_connecting = false;
    if (result != 0 || !m_clsrx) {
        m_serialAsked = false;
        unload();
        return result;
    }
    forwardWaiting();
    if (std::exchange(m_serialAsked, false))
        QMetaObject::invokeMethod(this, &frmTerminal2::CommandButton1_Click, Qt::QueuedConnection);
    return result;
}

void frmTerminal2::forwardWaiting()
{
    // What arrived while the session was logging in or in an exchange stays
    // in its socket until more arrives; a telnet server that opens with its
    // questions sends no more until they are answered.
    frmComms* comms = m_clsrx ? m_clsrx->window() : nullptr;
    if (comms && comms->Online && !comms->Busy && comms->socket().bytesAvailable() > 0)
        clsrx_DataArrival(QString::fromLatin1(comms->socket().readAll()));
}

void frmTerminal2::clsrx_DataArrival(const QString& text)
{
    const TelnetNegotiation::Output out = m_telnet.feed(text.toLatin1());
    if (!out.reply.isEmpty() && m_clsrx)
        m_clsrx->Send(out.reply);
    if (!out.data.isEmpty())
        messagePrint(QString::fromLatin1(out.data));
}

void frmTerminal2::CommandButton1_Click()
{
    const CallLifetime::Call call(m_life);
    if (!m_clsrx)
        return;
    if (!m_clsrx->Online()) {
        // The request would land in the login dialogue: it waits until the
        // session is online, and goes with the session if that never comes.
        if (m_connecting) {
            m_serialAsked = true;
            CommandButton1->setEnabled(false);
        }
        return;
    }
    // The unit's answer is awaited with events running; a second click would
    // start a second exchange inside the first.
    CommandButton1->setEnabled(false);
    const QString serial = m_clsrx->readSerialNumber();
    // Closed meanwhile: nothing is written on a screen nobody sees.
    if (!m_clsrx)
        return;
    CommandButton1->setEnabled(true);
    messagePrint(QStringLiteral("Serial#:") + serial + QStringLiteral("\r\n"));
    forwardWaiting();
    txtmsgs->setFocus(Qt::OtherFocusReason);
}

void frmTerminal2::sendTyped(const QString& text)
{
    if (m_clsrx)
        m_clsrx->Send(m_telnet.escape(text.toLatin1()));
}

bool frmTerminal2::txtmsgs_KeyPress(QKeyEvent* key)
{
    const bool online = m_clsrx && m_clsrx->Online();
    const TerminalKeys::Action action = TerminalKeys::handle(key->key(), key->modifiers(), key->text(), online);
    if (!action.send.isEmpty())
        sendTyped(action.send);
    return !action.toBox;
}

bool frmTerminal2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtmsgs && event->type() == QEvent::KeyPress)
        return txtmsgs_KeyPress(static_cast<QKeyEvent*>(event));
    // Keys the unit should get must not be taken as shortcuts first.
    if (watched == txtmsgs && event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    // The X11 selection pasted with the middle button.
    if (watched == txtmsgs->viewport()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)
        && static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton)
        return true;
    return QWidget::eventFilter(watched, event);
}

bool frmTerminal2::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        txtmsgs->setFocus(Qt::ActiveWindowFocusReason);
    return QWidget::event(event);
}

void frmTerminal2::closeSession()
{
    std::unique_ptr<clsTrm> session = std::move(m_clsrx);
    if (!session)
        return;
    session->disconnect(this);
    session->CloseComm();
    // One of its waits may be what is running: it returns at once, and the
    // session goes after it.
    CallLifetime::release(std::move(session));
}

void frmTerminal2::unload()
{
    closeSession();
    if (isVisible())
        close();
}

void frmTerminal2::closeEvent(QCloseEvent* event)
{
    closeSession();
    event->accept();
}
