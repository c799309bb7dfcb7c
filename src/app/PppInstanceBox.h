#pragma once

#include <QAbstractSpinBox>

// A text box with up and down arrows: the arrows (and the Up and Down keys,
// and the wheel) step the number in the box by 1 between 0 and 5, while the
// text itself stays free, so what the person typed is what is stored.
class PppInstanceBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    static constexpr int Minimum = 0;
    static constexpr int Maximum = 5;

    explicit PppInstanceBox(QWidget* parent = nullptr);

    void setText(const QString& text);
    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    // The number the arrows start from: the text's leading number, kept
    // within the arrows' range; 0 when the text holds none.
    int current() const;
};
