#pragma once

#include "link/dao.h"
#include "link/provider.h"

#include <memory>

namespace vrs {

class CommPort;

// Baud rate at which the serial provider opens its port.  One value for the
// whole program: the connection rate before a connection, the idle rate
// after a disconnection.
extern int ComBaudRate;
constexpr int kConnectBaudRate = 10417;
constexpr int kIdleBaudRate = 115200;

// The serial provider: a link over a serial port.  Connection names have the
// form "//./COM3"; a name starting with "/" (a device path) is kept as it is.
// Which device file a name stands for is the port's business (see
// transport/port_path.h).
class TComProvider : public TprDataProvider {
public:
    // Over a TComm32.
    explicit TComProvider(TDAO *owner);
    // Over the given port (a scripted one in tests).
    TComProvider(TDAO *owner, std::unique_ptr<CommPort> port);
    ~TComProvider() override;

    // For TDAO's constructor.
    static std::unique_ptr<TprDataProvider> Create(TDAO *owner);

    CommPort *Port() const { return m_port.get(); }

    QString GetConnectionName() const override;
    // The part after the last "/": COM3 for //./COM3.
    QString GetDisplayName() const override;
    // COM3 becomes //./COM3; //./COM3 and /dev/ttyUSB0 stay as they are.
    void SetConnectionName(const QString &name) override;
    void SetPortName(const QString &name) override;
    // Opens the port at ComBaudRate, no parity, RTS up and DTR down.
    // Reasons: "Не удалось подключиться к <port>" or "Ошибка подключения к
    // <port>: <port's message>".
    bool Connect(QString &reason) override;
    // Drops the lines, discards pending bytes and closes; a port error on
    // the way is logged as "Ошибка отключения COM-порта: <message>".
    void Disconnect() override;
    // Logs "PC:  <hex>" and queues the bytes; nothing while closed.
    void Send(const uint8_t *data, size_t count) override;

private:
    std::unique_ptr<CommPort> m_port;
};

} // namespace vrs
