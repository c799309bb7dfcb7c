#pragma once

#include "net/UserPrompts.h"

#include <functional>

class QWidget;

// Message boxes and questions as real Qt dialogs, application-modal. Each box
// is centred over the window that asks: the anchor names it at the moment the
// box opens, since the asking code (a unit command, say) knows no window.
class DialogPrompts final : public UserPrompts {
public:
    using Anchor = std::function<QWidget*()>;

    // Without an anchor, or when it names none, a box stands centred on the screen.
    explicit DialogPrompts(Anchor anchor = {})
        : m_anchor(std::move(anchor))
    { }
    // Every box stands over this one window (while it exists).
    explicit DialogPrompts(QWidget* over);

    void message(const QString& text, Icon icon, const QString& title) override;
    bool askYesNo(const QString& text, Icon icon, const QString& title) override;

    // A box text breaks lines with a lone carriage return; Qt wants line feeds.
    static QString displayText(const QString& text);

private:
    QWidget* anchor() const;

    Anchor m_anchor;
};
