#pragma once

#include "programmer/prompt.h"

#include <QList>
#include <QStringList>

// Answers the questions of a flow from a script and keeps what was asked.
// A question with no answer left in the script is answered no.
class ScriptedPrompt : public vrs::Prompt {
public:
    QList<bool> answers;
    QStringList questions;
    QStringList messages;

    bool Ask(const QString &, const QString &text) override
    {
        questions << text;
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    void Show(Kind, const QString &, const QString &text) override { messages << text; }
};
