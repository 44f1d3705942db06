#include "link/dao.h"

namespace vrs {

TDAO::TDAO(const ProviderFactory &createProvider, QObject *parent)
    : QObject(parent)
    , m_provider(createProvider(this))
{
}

TDAO::~TDAO()
{
    *m_alive = false;
    m_onStateChange = nullptr;
    m_onLog = nullptr;
    m_provider.reset();
}

void TDAO::SetState(TLinkState state)
{
    if (state == m_state)
        return;
    m_state = state;
    if (m_onStateChange) {
        // The handler may destroy this link.
        const StateHandler handler = m_onStateChange;
        handler(this, state);
    }
}

void TDAO::Log(const QString &text)
{
    if (text.isEmpty() || !m_onLog)
        return;
    const LogHandler handler = m_onLog;
    handler(this, text);
}

void TDAO::SetTrafficLog(LogSink *sink)
{
    m_traffic = sink;
    m_receiver.setLogSink(sink);
}

bool TDAO::Connect()
{
    if (m_state != lsDisconnected)
        return true;
    const std::shared_ptr<bool> alive = m_alive;
    SetState(lsConnecting);
    if (!*alive)
        return false;
    m_receiver.ClearBuffer();

    QString reason;
    bool connected = false;
    try {
        connected = m_provider->Connect(reason);
    } catch (...) {
        // Whatever went wrong, the link must not stay "connecting" with no
        // transport under it.
        if (*alive)
            SetState(lsDisconnected);
        throw;
    }
    if (connected)
        return true;
    SetState(lsDisconnected);
    if (!*alive)
        return false;
    QString text = QStringLiteral("Не удалось подключиться к устройству");
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    Log(text);
    return false;
}

void TDAO::Disconnect()
{
    if (m_state != lsConnecting && m_state != lsConnected)
        return;
    const std::shared_ptr<bool> alive = m_alive;
    SetState(lsDisconnecting);
    if (!*alive)
        return;
    m_provider->Disconnect();
    SetState(lsDisconnected);
}

void TDAO::Send(const uint8_t *data, size_t count)
{
    m_provider->Send(data, count);
}

void TDAO::Receive(const uint8_t *data, size_t count)
{
    if (!m_receiver.WillAccept(count))
        return;
    if (m_state == lsConnecting) {
        const std::shared_ptr<bool> alive = m_alive;
        SetState(lsConnected);
        if (!*alive)
            return;
    }
    m_receiver.Receive(data, count);
}

} // namespace vrs
