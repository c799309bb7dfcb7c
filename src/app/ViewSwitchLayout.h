#pragma once

class QDialog;
class QGroupBox;
class QPushButton;

// The layout of an options dialog with a basic and an advanced view: its
// frame on the left; OK (the default button), Cancel and the view button
// stacked on the right.
namespace ViewSwitchLayout {

struct Buttons {
    QPushButton* ok;
    QPushButton* cancel;
    QPushButton* view;
};

// Lays frame and the three buttons out in dialog. Call it while every
// control of the advanced view is still shown: the frame keeps that width in
// both views, so the buttons stay put, and the window's height follows the
// view.
Buttons build(QDialog* dialog, QGroupBox* frame);

// Brings the window to the size of the view now shown at once, so it never
// shows one view in the other's size.
void settle(QDialog* dialog, QGroupBox* frame);

} // namespace ViewSwitchLayout
