#include "transport/comm32.h"

#include "transport/comms_error.h"
#include "transport/port_path.h"

#include <QSerialPort>
#include <QTimer>

#include <sys/stat.h>

namespace vrs {

namespace {

QSerialPort::Parity ToQt(CommParity parity)
{
    switch (parity) {
    case CommParity::Odd: return QSerialPort::OddParity;
    case CommParity::Even: return QSerialPort::EvenParity;
    case CommParity::Mark: return QSerialPort::MarkParity;
    case CommParity::Space: return QSerialPort::SpaceParity;
    case CommParity::None: break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::FlowControl ToQt(CommFlowControl flow)
{
    switch (flow) {
    case CommFlowControl::XonXoff: return QSerialPort::SoftwareControl;
    case CommFlowControl::RtsCts: return QSerialPort::HardwareControl;
    case CommFlowControl::None: break;
    }
    return QSerialPort::NoFlowControl;
}

} // namespace

TComm32::TComm32()
    : m_serial(new QSerialPort)
{
    QObject::connect(m_serial, &QSerialPort::readyRead, m_serial, [this] { Deliver(); });
    QObject::connect(m_serial, &QSerialPort::errorOccurred, m_serial,
                     [this](QSerialPort::SerialPortError error) {
                         // Modem-line ioctls are refused by pseudo-terminals
                         // and some adapters; only a broken line matters.
                         if (error == QSerialPort::ReadError || error == QSerialPort::WriteError
                             || error == QSerialPort::ResourceError)
                             LineFailed();
                     });
}

TComm32::~TComm32()
{
    *m_alive = false;
    m_onReceive = nullptr;
    Close();
    QObject::disconnect(m_serial, nullptr, nullptr, nullptr);
    // Destroyed from inside the port's own signal: let the signal finish.
    if (m_delivering)
        m_serial->deleteLater();
    else
        delete m_serial;
}

QString TComm32::DevicePath() const
{
    return DevicePathForPortName(m_portName);
}

void TComm32::SetBaudRate(int baudRate)
{
    m_baudRate = baudRate;
    if (m_connected)
        ApplyLineSettings();
}

void TComm32::SetParity(CommParity parity)
{
    m_parity = parity;
    if (m_connected)
        ApplyLineSettings();
}

void TComm32::SetFlowControl(CommFlowControl flow)
{
    m_flow = flow;
    if (m_connected)
        ApplyLineSettings();
}

bool TComm32::ApplyLineSettings()
{
    if (!m_serial->isOpen())
        return false;
    bool ok = m_serial->setBaudRate(m_baudRate);
    ok = m_serial->setDataBits(QSerialPort::Data8) && ok;
    ok = m_serial->setParity(ToQt(m_parity)) && ok;
    ok = m_serial->setStopBits(QSerialPort::OneStop) && ok;
    ok = m_serial->setFlowControl(ToQt(m_flow)) && ok;
    return ok;
}

bool TComm32::Open()
{
    if (m_connected)
        throw ECommsError(QStringLiteral("Заданный порт уже открыт!"));

    const QString path = DevicePath();
    struct stat info {};
    if (path.isEmpty() || ::stat(path.toLocal8Bit().constData(), &info) != 0)
        throw ECommsError(QStringLiteral("Невозможно открыть порт!"));
    if (!S_ISCHR(info.st_mode))
        throw ECommsError(QStringLiteral("Задан не COM-порт"));

    // Opening applies whatever the port object last held; start from plain
    // settings so that only our own ones below can be refused.
    m_serial->setPortName(path);
    m_serial->setBaudRate(9600);
    m_serial->setDataBits(QSerialPort::Data8);
    m_serial->setParity(QSerialPort::NoParity);
    m_serial->setStopBits(QSerialPort::OneStop);
    m_serial->setFlowControl(QSerialPort::NoFlowControl);
    m_serial->clearError();
    if (!m_serial->open(QIODevice::ReadWrite)) {
        // A character device that is no terminal (/dev/null, a printer).
        if (m_serial->error() == QSerialPort::UnsupportedOperationError)
            throw ECommsError(QStringLiteral("Задан не COM-порт"));
        throw ECommsError(QStringLiteral("Невозможно открыть порт!"));
    }

    m_connected = true;
    m_failed = false;
    m_serial->clear(QSerialPort::AllDirections);
    if (!ApplyLineSettings()) {
        m_serial->close();
        m_connected = false;
        throw ECommsError(QStringLiteral("Неверно заданы параметры порта!"));
    }
    m_serial->clearError();
    return true;
}

void TComm32::Close()
{
    if (!m_connected)
        return;
    if (m_serial->isOpen()) {
        m_serial->clear(QSerialPort::AllDirections);
        m_serial->close();
    }
    m_connected = false;
    m_failed = false;
}

bool TComm32::Write(const uint8_t *data, size_t count)
{
    if (!m_connected || m_failed || !m_serial->isOpen())
        return false;
    if (count == 0)
        return true;
    return m_serial->write(reinterpret_cast<const char *>(data), qint64(count)) == qint64(count);
}

void TComm32::PurgeOutput()
{
    if (m_connected && m_serial->isOpen())
        m_serial->clear(QSerialPort::Output);
}

void TComm32::PurgeInput()
{
    if (m_connected && m_serial->isOpen())
        m_serial->clear(QSerialPort::Input);
}

bool TComm32::SetLine(CommLine line)
{
    if (!m_connected || !m_serial->isOpen())
        return false;
    bool ok = false;
    switch (line) {
    case CommLine::SetRts: ok = m_serial->setRequestToSend(true); break;
    case CommLine::ClearRts: ok = m_serial->setRequestToSend(false); break;
    case CommLine::SetDtr: ok = m_serial->setDataTerminalReady(true); break;
    case CommLine::ClearDtr: ok = m_serial->setDataTerminalReady(false); break;
    }
    // A refused line ioctl leaves no lasting error on the port.
    m_serial->clearError();
    return ok;
}

void TComm32::Deliver()
{
    // A handler that runs a nested event loop gets no nested call: the loop
    // below picks up whatever arrived meanwhile, keeping the order.
    if (m_delivering)
        return;
    m_delivering = true;
    const std::shared_ptr<bool> alive = m_alive;
    while (m_serial->isOpen()) {
        const QByteArray chunk = m_serial->read(qint64(kMaxChunk));
        if (chunk.isEmpty())
            break;
        if (m_onReceive) {
            const ReceiveHandler handler = m_onReceive;
            handler(reinterpret_cast<const uint8_t *>(chunk.constData()), size_t(chunk.size()));
            if (!*alive)
                return;
        }
    }
    m_delivering = false;
}

void TComm32::LineFailed()
{
    if (!m_connected || m_failed)
        return;
    // The device is gone (unplugged, the other end of a pseudo-terminal
    // closed): its descriptor would report the failure again at every turn
    // of the event loop.  Let go of it; the port counts as open until Close.
    m_failed = true;
    const std::shared_ptr<bool> alive = m_alive;
    QTimer::singleShot(0, m_serial, [this, alive] {
        if (*alive && m_failed && m_serial->isOpen())
            m_serial->close();
    });
}

} // namespace vrs
