#pragma once

#include <QLabel>

// A label that reports a click, so the text beside an option button can
// select the option as the button itself does.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
