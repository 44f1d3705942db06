#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vrs {

enum class CommParity { None, Odd, Even, Mark, Space };
// The link only ever uses None; the others exist for completeness of the
// line setting.
enum class CommFlowControl { None, XonXoff, RtsCts };
enum class CommLine { SetRts, ClearRts, SetDtr, ClearDtr };

// What the serial provider needs of a serial port.  TComm32 is the real one;
// tests may put a scripted port in its place.
class CommPort {
public:
    // Called on the GUI thread with each received chunk, in arrival order.
    // The bytes are valid only during the call.
    using ReceiveHandler = std::function<void(const uint8_t *data, size_t count)>;

    virtual ~CommPort() = default;

    virtual QString PortName() const = 0;
    virtual void SetPortName(const QString &name) = 0;
    virtual int BaudRate() const = 0;
    // Setters store the value and, while open, apply the whole line setting.
    virtual void SetBaudRate(int baudRate) = 0;
    virtual void SetParity(CommParity parity) = 0;
    virtual void SetFlowControl(CommFlowControl flow) = 0;
    virtual void SetEventChar(char eventChar) = 0;

    // Raises ECommsError with the user's explanation when the port cannot be
    // used; false only for a failure with nothing to tell.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool Connected() const = 0;

    // Queues a copy of the bytes without waiting for them to leave; false
    // when there is nothing to write to.
    virtual bool Write(const uint8_t *data, size_t count) = 0;
    virtual void PurgeOutput() = 0;
    virtual void PurgeInput() = 0;
    // False when the line could not be switched; nothing depends on it.
    virtual bool SetLine(CommLine line) = 0;

    virtual void SetOnReceiveData(ReceiveHandler handler) = 0;
};

} // namespace vrs
