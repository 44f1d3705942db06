#pragma once

#include "transport/comm_port.h"

#include <memory>

class QSerialPort;

namespace vrs {

// The serial port of the link: 8 data bits, 1 stop bit, the stored parity
// and baud rate (any rate the driver takes, 10417 included), no flow control.
//
// Everything runs on the GUI thread: the port is watched by the event loop,
// received chunks go to the handler in arrival order, and Write only queues
// the bytes, so no call waits for the line.  A handler that spins a nested
// event loop gets no nested delivery: bytes arriving meanwhile follow once it
// returns.  The object may be destroyed from inside its own handler.
class TComm32 : public CommPort {
public:
    // Largest chunk handed to the receive handler at once.
    static constexpr size_t kMaxChunk = 32768;

    TComm32();
    ~TComm32() override;
    TComm32(const TComm32 &) = delete;
    TComm32 &operator=(const TComm32 &) = delete;

    QString PortName() const override { return m_portName; }
    void SetPortName(const QString &name) override { m_portName = name; }
    int BaudRate() const override { return m_baudRate; }
    void SetBaudRate(int baudRate) override;
    CommParity Parity() const { return m_parity; }
    void SetParity(CommParity parity) override;
    CommFlowControl FlowControl() const { return m_flow; }
    void SetFlowControl(CommFlowControl flow) override;
    // Kept for the line setting; the POSIX terminal has no event character.
    char EventChar() const { return m_eventChar; }
    void SetEventChar(char eventChar) override { m_eventChar = eventChar; }

    // ECommsError texts: "Заданный порт уже открыт!", "Невозможно открыть
    // порт!", "Задан не COM-порт", "Неверно заданы параметры порта!".
    bool Open() override;
    void Close() override;
    // True from a successful Open to Close, also after the device has gone
    // away (it then delivers and writes nothing until reopened).
    bool Connected() const override { return m_connected; }
    // The device file Open uses for PortName.
    QString DevicePath() const;

    bool Write(const uint8_t *data, size_t count) override;
    void PurgeOutput() override;
    void PurgeInput() override;
    bool SetLine(CommLine line) override;

    void SetOnReceiveData(ReceiveHandler handler) override { m_onReceive = std::move(handler); }

private:
    bool ApplyLineSettings();
    void Deliver();
    void LineFailed();

    QSerialPort *m_serial;
    QString m_portName = QStringLiteral("COM2");
    int m_baudRate = 9600;
    CommParity m_parity = CommParity::None;
    CommFlowControl m_flow = CommFlowControl::None;
    char m_eventChar = 0;

    bool m_connected = false;
    // The device failed while open: reading and writing have stopped.
    bool m_failed = false;
    bool m_delivering = false;
    ReceiveHandler m_onReceive;
    // Cleared by the destructor, for calls still on the stack.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace vrs
