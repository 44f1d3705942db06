#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace vrs {

class TDAO;

// A transport under a link object: moves bytes, knows its address.  Received
// bytes go to the owner's Receive on the GUI thread.  A concrete provider
// disconnects in its destructor.
class TprDataProvider {
public:
    explicit TprDataProvider(TDAO *owner) : m_owner(owner) {}
    virtual ~TprDataProvider() = default;
    TprDataProvider(const TprDataProvider &) = delete;
    TprDataProvider &operator=(const TprDataProvider &) = delete;

    TDAO *Owner() const { return m_owner; }

    // The full transport address.
    virtual QString GetConnectionName() const = 0;
    // A short name for messages.
    virtual QString GetDisplayName() const = 0;
    virtual void SetConnectionName(const QString &name) = 0;
    // Sets the address from a bare port name.
    virtual void SetPortName(const QString &name) = 0;
    // reason gets the user's explanation of a failure.
    virtual bool Connect(QString &reason) = 0;
    virtual void Disconnect() = 0;
    virtual void Send(const uint8_t *data, size_t count) = 0;

private:
    TDAO *m_owner;
};

} // namespace vrs
