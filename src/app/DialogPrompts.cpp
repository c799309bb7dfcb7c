#include "app/DialogPrompts.h"

#include <QMessageBox>

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

void DialogPrompts::message(const QString& text, Icon icon, const QString& title)
{
    QMessageBox box(toQt(icon), titleOrDefault(title), displayText(text), QMessageBox::Ok, m_parent);
    box.exec();
}

bool DialogPrompts::askYesNo(const QString& text, Icon icon, const QString& title)
{
    QMessageBox box(toQt(icon), titleOrDefault(title), displayText(text), QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() == QMessageBox::Yes;
}
