#pragma once

#include <QLabel>

// An instruction line that names a button by its key, like "3) Click &Next.":
// the key shows underlined, as on the button, but the label is nobody's buddy.
// A buddy label would own the same Alt+letter as the button, and Qt answers
// a key owned twice by only moving the focus, so Alt+N would not press Next.
// Plain text only; the text keeps its '&'.
class StepLabel : public QLabel {
    Q_OBJECT
public:
    explicit StepLabel(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
