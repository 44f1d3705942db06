#pragma once

#include <QString>

#include <stdexcept>

namespace vrs {

// Raised for settings that cannot be read or written.  The text is the one
// the user sees in the error box.
class ESettingsError : public std::runtime_error {
public:
    explicit ESettingsError(const QString &message)
        : std::runtime_error(message.toStdString()), FMessage(message) {}

    const QString &Message() const { return FMessage; }

private:
    QString FMessage;
};

} // namespace vrs
