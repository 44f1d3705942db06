#include "link/com_provider.h"

#include "link/log_sink.h"
#include "transport/comm32.h"
#include "transport/comms_error.h"

namespace vrs {

int ComBaudRate = kConnectBaudRate;

TComProvider::TComProvider(TDAO *owner)
    : TComProvider(owner, std::make_unique<TComm32>())
{
}

TComProvider::TComProvider(TDAO *owner, std::unique_ptr<CommPort> port)
    : TprDataProvider(owner)
    , m_port(std::move(port))
{
    m_port->SetFlowControl(CommFlowControl::None);
    m_port->SetEventChar(0);
}

TComProvider::~TComProvider()
{
    Disconnect();
}

std::unique_ptr<TprDataProvider> TComProvider::Create(TDAO *owner)
{
    return std::make_unique<TComProvider>(owner);
}

QString TComProvider::GetConnectionName() const
{
    return m_port->PortName();
}

QString TComProvider::GetDisplayName() const
{
    const QString name = m_port->PortName();
    return name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
}

void TComProvider::SetConnectionName(const QString &name)
{
    if (name == m_port->PortName())
        return;
    if (!name.isEmpty() && name.at(0) != QLatin1Char('/'))
        m_port->SetPortName(QStringLiteral("//./") + name);
    else
        m_port->SetPortName(name);
}

void TComProvider::SetPortName(const QString &name)
{
    SetConnectionName(QStringLiteral("//./") + name);
}

bool TComProvider::Connect(QString &reason)
{
    m_port->SetParity(CommParity::None);
    m_port->SetBaudRate(ComBaudRate);
    try {
        if (!m_port->Open()) {
            reason = QStringLiteral("Не удалось подключиться к ") + GetDisplayName();
            return false;
        }
    } catch (const ECommsError &e) {
        reason = QStringLiteral("Ошибка подключения к ") + GetDisplayName() + QStringLiteral(": ")
                 + e.Message();
        return false;
    }
    m_port->SetLine(CommLine::SetRts);
    m_port->SetLine(CommLine::ClearDtr);
    TDAO *owner = Owner();
    m_port->SetOnReceiveData([owner](const uint8_t *data, size_t count) { owner->Receive(data, count); });
    return true;
}

void TComProvider::Disconnect()
{
    m_port->SetOnReceiveData(nullptr);
    if (!m_port->Connected())
        return;
    try {
        m_port->SetLine(CommLine::ClearRts);
        m_port->SetLine(CommLine::ClearDtr);
        m_port->PurgeOutput();
        m_port->PurgeInput();
        m_port->Close();
    } catch (const ECommsError &e) {
        Owner()->Log(QStringLiteral("Ошибка отключения COM-порта: ") + e.Message());
    }
    // A port left open here could never be opened again ("already open").
    if (m_port->Connected()) {
        try {
            m_port->Close();
        } catch (const ECommsError &) {
        }
    }
}

void TComProvider::Send(const uint8_t *data, size_t count)
{
    if (!m_port->Connected())
        return;
    if (LogSink *log = Owner()->TrafficLog())
        log->WriteLog(QStringLiteral("PC:  ") + BytesToHex(data, count));
    m_port->Write(data, count);
}

} // namespace vrs
