#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace vrs {

// Failure of the serial port itself (opening, line settings).  The message
// is shown to the user as it is.
class ECommsError : public std::exception {
public:
    explicit ECommsError(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8())
    {
    }

    const QString &Message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

} // namespace vrs
