#pragma once

#include "link/frame.h"
#include "link/provider.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace vrs {

class LogSink;

enum TLinkState : uint8_t {
    lsConnecting = 0,    // opened, nothing received yet
    lsConnected = 1,
    lsDisconnecting = 2,
    lsDisconnected = 3,
};

// A link to a device: one transport provider, the frame receiver and the
// link state.  Lives on the GUI thread; every callback runs there.  It may be
// destroyed from inside any of its own callbacks.
class TDAO : public QObject {
    Q_OBJECT
public:
    using ProviderFactory = std::function<std::unique_ptr<TprDataProvider>(TDAO *owner)>;
    using FrameHandler = FrameReceiver::FrameHandler;
    using LogHandler = std::function<void(QObject *sender, const QString &text)>;
    using StateHandler = std::function<void(TDAO *link, TLinkState state)>;

    explicit TDAO(const ProviderFactory &createProvider, QObject *parent = nullptr);
    // Destroys the provider, which disconnects it.
    ~TDAO() override;

    TprDataProvider *Provider() const { return m_provider.get(); }
    TLinkState State() const { return m_state; }

    void SetConnectionName(const QString &name) { m_provider->SetConnectionName(name); }

    // True at once unless disconnected.  Otherwise connecting, and on a
    // refusal back to disconnected with "Не удалось подключиться к
    // устройству[: reason]" logged.  Connected follows with the first bytes.
    bool Connect();
    // Only while connecting or connected: disconnecting, then disconnected.
    void Disconnect();
    void Send(const uint8_t *data, size_t count);
    // A received chunk: the first one makes the link connected, then its
    // frames go to OnFrame in stream order.
    void Receive(const uint8_t *data, size_t count);
    // Reports a change only.
    void SetState(TLinkState state);

    // Frame pointer valid only during the call.
    void SetOnFrame(FrameHandler handler) { m_receiver.setHandler(std::move(handler)); }
    void SetOnLog(LogHandler handler) { m_onLog = std::move(handler); }
    void SetOnStateChange(StateHandler handler) { m_onStateChange = std::move(handler); }
    // Where the traffic lines ("Dev: ", "PC:  ") go; null for none.
    void SetTrafficLog(LogSink *sink);
    LogSink *TrafficLog() const { return m_traffic; }
    // A status line through OnLog with this link as sender; empty texts are
    // dropped.
    void Log(const QString &text);

    int ReadPos() const { return m_receiver.ReadPos(); }
    int FillLevel() const { return m_receiver.FillLevel(); }

private:
    FrameReceiver m_receiver;
    std::unique_ptr<TprDataProvider> m_provider;
    TLinkState m_state = lsDisconnected;
    LogHandler m_onLog;
    StateHandler m_onStateChange;
    LogSink *m_traffic = nullptr;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace vrs
