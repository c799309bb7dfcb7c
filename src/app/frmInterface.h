#pragma once

#include "net/CInterfaces.h"
#include "net/InterfaceEntry.h"

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// Which of the PC's usable interfaces the program works through. The list
// shows each with its number, description and MAC address, and the address
// and mask of the one picked. OK makes the pick the selected interface and
// then tells the program, which moves the discovery traffic onto it; Cancel
// and the close box change nothing.
class frmInterface : public QDialog {
    Q_OBJECT
public:
    // readInterfaces: one fresh read of the PC's interface table, for the
    // descriptions (nullptr when it cannot be read). chosen: runs after OK
    // has changed the selected interface.
    frmInterface(UsableInterfaces& interfaces, std::function<std::shared_ptr<CInterfaces>()> readInterfaces,
        std::function<void()> chosen, QWidget* parent = nullptr);

    QGroupBox* Frame1;
    QLabel* lbl1;
    QComboBox* cbInterfaces;
    QLabel* lblIPCaption;
    QLabel* lblIP;
    QLabel* lblMaskCaption;
    QLabel* lblmask;
    QPushButton* OKButton;
    QPushButton* CancelButton;

private:
    void Form_Load(const CInterfaces* table);
    void cbInterfaces_Change(int position);
    void OKButton_Click();

    UsableInterfaces& m_interfaces;
    std::function<void()> m_chosen;
};
