#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

namespace vrs {

class Prompt;

// A command that cannot go on.  The text is what the user sees.
class ECommandError : public std::runtime_error {
public:
    explicit ECommandError(const QString &message)
        : std::runtime_error(message.toStdString()), FMessage(message) {}

    const QString &Message() const { return FMessage; }

private:
    QString FMessage;
};

// Caption of the error box that ends a failed command.
QString ErrorCaption();

// Runs one user command.  Whatever it raises ends the command in a single
// error box with the message; nothing escapes into the event loop, where an
// exception would end the program.  Returns whether the command finished.
bool RunGuarded(Prompt &prompt, const std::function<void()> &command);

} // namespace vrs
