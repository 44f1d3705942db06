#pragma once

#include <QString>

namespace vrs {

// Every question or error box that a flow shows goes through one of these,
// so the window shows message boxes, the command-line tool asks on the
// terminal and tests answer from a script.
class Prompt {
public:
    enum class Kind { Information, Warning, Error, Question };

    virtual ~Prompt() = default;
    // A yes/no question; returns true for yes.
    virtual bool Ask(const QString &caption, const QString &text) = 0;
    // A message with one OK button.
    virtual void Show(Kind kind, const QString &caption, const QString &text) = 0;
};

} // namespace vrs
