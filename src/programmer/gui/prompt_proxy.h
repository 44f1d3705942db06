#pragma once

#include "programmer/prompt.h"

namespace vrs {

// Hands questions on to a prompt that may be replaced while the asker keeps
// its pointer to this one.  With no prompt set, questions are answered no.
class PromptProxy : public Prompt {
public:
    void SetTarget(Prompt *target) { m_target = target; }
    Prompt *Target() const { return m_target; }

    bool Ask(const QString &caption, const QString &text) override
    {
        return m_target && m_target->Ask(caption, text);
    }
    void Show(Kind kind, const QString &caption, const QString &text) override
    {
        if (m_target)
            m_target->Show(kind, caption, text);
    }

private:
    Prompt *m_target = nullptr;
};

} // namespace vrs
