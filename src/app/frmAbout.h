#pragma once

#include "net/UserPrompts.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSettings;

// The program's About box: title, version, description, the socket-library
// line, OK, and a button that starts the desktop's system-information
// program.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    static constexpr int Major = 1;
    static constexpr int Minor = 0;
    static constexpr int Revision = 73;

    // store: where the settings may name the system-information program.
    frmAbout(QSettings* store, UserPrompts& prompts, QWidget* parent = nullptr);

    // Starts the system-information program, or says that there is none.
    void StartSysInfo();

    // The socket library's own description; nothing in the program sets it.
    static QString WinsockDescription;

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* txtWinSockVersion;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

private:
    void Form_Load();

    QSettings* m_store;
    UserPrompts& m_prompts;
};
