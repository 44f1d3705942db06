#pragma once

#include "programmer/prompt.h"

class QEventLoop;

namespace vrs::ctl {

class Console;

// The flows' questions on the command line.  A preset answer (--yes, --no)
// answers every question; otherwise the question is asked on the terminal.
// Without a terminal nobody can answer, and no is the answer that leaves the
// device as it is.  Every question and its answer also go to standard error,
// so a log of the run shows what was decided.
class TerminalPrompt : public Prompt {
public:
    enum class Preset { None, Yes, No };

    TerminalPrompt(Preset preset, Console &console);

    bool Ask(const QString &caption, const QString &text) override;
    void Show(Kind kind, const QString &caption, const QString &text) override;

    // Whether standard input is a terminal that could answer a question.
    static bool HaveTerminal();

    // The run is being interrupted: a question waiting on the terminal and
    // every later one are answered no.
    void Cancel();

private:
    // Reads one answer from the terminal while the event loop keeps the
    // link serviced; nothing when the terminal closes.
    bool AskTerminal(const QString &question, bool *answer);

    Preset m_preset;
    Console &m_console;
    bool m_cancelled = false;
    QEventLoop *m_waiting = nullptr;
};

} // namespace vrs::ctl
