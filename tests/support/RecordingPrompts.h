#pragma once

#include "net/UserPrompts.h"

#include <QList>
#include <QStringList>

#include <functional>

// Records every box the code under test would show and answers questions from
// a queue (No once the queue is empty).
class RecordingPrompts final : public UserPrompts {
public:
    struct Box {
        QString text;
        Icon icon;
        QString title;
        bool question;
    };

    void message(const QString& text, Icon icon, const QString& title) override
    {
        boxes.append({ text, icon, title, false });
        if (onBox)
            onBox();
    }
    bool askYesNo(const QString& text, Icon icon, const QString& title) override
    {
        boxes.append({ text, icon, title, true });
        if (onBox)
            onBox();
        return answers.isEmpty() ? false : answers.takeFirst();
    }

    QStringList texts() const
    {
        QStringList out;
        for (const Box& b : boxes)
            out << b.text;
        return out;
    }

    QList<Box> boxes;
    QList<bool> answers;
    // Told of each box as it is shown, before a question is answered.
    std::function<void()> onBox;
};
