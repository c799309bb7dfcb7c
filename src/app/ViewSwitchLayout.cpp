#include "app/ViewSwitchLayout.h"

#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace ViewSwitchLayout {

Buttons build(QDialog* dialog, QGroupBox* frame)
{
    Buttons b { new QPushButton(QStringLiteral("OK")), new QPushButton(QStringLiteral("Cancel")), new QPushButton };
    b.ok->setDefault(true);
    auto* column = new QVBoxLayout;
    column->addWidget(b.ok);
    column->addWidget(b.cancel);
    column->addWidget(b.view);
    column->addStretch();

    auto* top = new QHBoxLayout(dialog);
    top->addWidget(frame, 1);
    top->addLayout(column);
    top->setSizeConstraint(QLayout::SetFixedSize);
    frame->setMinimumWidth(frame->sizeHint().width());
    QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return b;
}

void settle(QDialog* dialog, QGroupBox* frame)
{
    frame->layout()->activate();
    dialog->layout()->activate();
}

} // namespace ViewSwitchLayout
