#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The host prompt of the connectivity tests: asks for the remote host that
// the unit (or the PC) should try to reach. Every use makes a new window.
class frmTestHostname : public QDialog {
    Q_OBJECT
public:
    explicit frmTestHostname(QWidget* parent = nullptr);

    // Puts host in the box and shows the window modally until it closes.
    // On OK host becomes the typed text (without blanks around it) and the
    // answer is true; Cancel, Escape or closing the window gives false.
    bool GetRemote(QString& host);
    bool cancelled() const { return m_cancelled; }

    QLabel* lblPrompt;
    QLabel* Label2;
    QLineEdit* txtRemote;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    static QString defaultPrompt();
    static QString ownCaption() { return QStringLiteral("Connectivity Test"); }

private:
    bool m_cancelled = false;
};
