#include "app/DialogPrompts.h"

#include <QMessageBox>
#include <QPointer>

namespace {
QMessageBox::Icon toQt(UserPrompts::Icon icon)
{
    switch (icon) {
    case UserPrompts::Icon::Information:
        return QMessageBox::Information;
    case UserPrompts::Icon::Exclamation:
        return QMessageBox::Warning;
    case UserPrompts::Icon::Critical:
        return QMessageBox::Critical;
    case UserPrompts::Icon::Question:
        return QMessageBox::Question;
    case UserPrompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString titleOrDefault(const QString& title)
{
    return title.isEmpty() ? QStringLiteral("Linkwise") : title;
}
} // namespace

QString DialogPrompts::displayText(const QString& text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

DialogPrompts::DialogPrompts(QWidget* over)
    : m_anchor([window = QPointer<QWidget>(over)]() -> QWidget* { return window.data(); })
{ }

QWidget* DialogPrompts::anchor() const
{
    return m_anchor ? m_anchor() : nullptr;
}

void DialogPrompts::message(const QString& text, Icon icon, const QString& title)
{
    QMessageBox box(toQt(icon), titleOrDefault(title), displayText(text), QMessageBox::Ok, anchor());
    // Modal for the whole program, not only for the window it stands over:
    // the hidden main window and the other pages must wait for the answer too.
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool DialogPrompts::askYesNo(const QString& text, Icon icon, const QString& title)
{
    QMessageBox box(toQt(icon), titleOrDefault(title), displayText(text), QMessageBox::Yes | QMessageBox::No, anchor());
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
}
