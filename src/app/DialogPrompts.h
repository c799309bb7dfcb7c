#pragma once

#include "net/UserPrompts.h"

class QWidget;

// Message boxes and questions as real Qt dialogs, application-modal.
class DialogPrompts final : public UserPrompts {
public:
    explicit DialogPrompts(QWidget* parent = nullptr)
        : m_parent(parent)
    { }

    void message(const QString& text, Icon icon, const QString& title) override;
    bool askYesNo(const QString& text, Icon icon, const QString& title) override;

    // A box text breaks lines with a lone carriage return; Qt wants line feeds.
    static QString displayText(const QString& text);

private:
    QWidget* m_parent;
};
