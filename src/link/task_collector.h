#pragma once

#include "link/dao.h"
#include "link/frame.h"
#include "link/task.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace vrs {

class LogSink;

// Runs programmer tasks one after another over a link.  The device drives
// the exchange: every ready frame it sends is answered with the running
// task's request, or echoed when there is nothing to do; only a task's first
// request goes out on its own, SendDelay after the task starts.
//
// Everything runs on the GUI thread.  Callbacks (the owner's and the tasks')
// may add tasks, disconnect or reset the link; a task is never destroyed
// while one of its own callbacks runs.
class TTaskCollector : public QObject {
    Q_OBJECT
public:
    using LogHandler = std::function<void(QObject *sender, const QString &text)>;
    using QueueHandler = std::function<void(QObject *sender)>;
    using LinkStateHandler = std::function<void(QObject *sender, TLinkState state)>;
    using PortNameSource = std::function<QString()>;

    static constexpr int kSendDelay = 50;
    static constexpr int kLinkTimeout = 1000000;
    // Largest packet size kept; transfer tasks bound their chunks further.
    static constexpr uint32_t kMaxPacketSizeLimit = uint32_t(kRequestBufferSize);

    // A link over the serial provider.
    explicit TTaskCollector(QObject *parent = nullptr);
    // A link over another provider.
    explicit TTaskCollector(TDAO::ProviderFactory createProvider, QObject *parent = nullptr);
    // Disconnects first; queued tasks are destroyed without callbacks.
    ~TTaskCollector() override;

    // The owner's callbacks.  Log lines come from the collector and from the
    // link (sender is then the link object); empty lines are not passed on.
    void SetOnLog(LogHandler handler) { m_onLog = std::move(handler); }
    void SetOnQueueStart(QueueHandler handler) { m_onQueueStart = std::move(handler); }
    void SetOnQueueFinish(QueueHandler handler) { m_onQueueFinish = std::move(handler); }
    void SetOnLinkStateChange(LinkStateHandler handler) { m_onLinkStateChange = std::move(handler); }
    // Asked for the selected port name at the moment of connecting.
    void SetPortNameSource(PortNameSource source) { m_portName = std::move(source); }
    // Traffic log of this link and of every later one; null for none.
    void SetTrafficLog(LogSink *sink);

    // The queue owns the task from now on.  A given callback becomes the
    // task's state callback.  Returns the task.
    TProgTask *AddTask(std::unique_ptr<TProgTask> task,
                       TProgTask::StateChangeHandler onStateChange = {});
    // Starts the first waiting task unless one is running; raises the queue
    // callbacks.
    void Pump();

    // Opens the link to the selected port, only when disconnected.
    void Connect();
    // Only when connecting or connected: drops every task without callbacks,
    // sets ComBaudRate (and the open port) to the idle rate, closes the link.
    void Disconnect();
    // Drops every task and puts a fresh link in place of the current one.
    void ResetLink();

    // Stores min(size, 16393); transfer tasks bound their chunks from it.
    void SetMaxPacketSize(uint32_t size);
    uint32_t MaxPacketSize() const { return m_maxPacketSize; }
    TLinkState LinkState() const { return m_link->State(); }
    TDAO *Link() const { return m_link.get(); }
    TProgTask *CurrentTask() const { return m_current; }
    // Tasks held by the queue, finished ones not yet removed included.
    int QueueCount() const { return int(m_queue.size()); }

    // Intervals, shortened by tests; the defaults are the protocol's.
    void SetSendDelay(int ms);
    int SendDelay() const { return m_sendTimer.interval(); }
    // Answer time-outs run for the task's AnswerTimeout times this factor.
    void SetAnswerTimeoutScale(double scale) { m_answerScale = scale; }
    double AnswerTimeoutScale() const { return m_answerScale; }
    void SetLinkTimeout(int ms) { m_linkTimeout = ms; }
    int LinkTimeout() const { return m_linkTimeout; }

private:
    class CallScope;

    void MakeLink();
    void StartTask(TProgTask *task);
    void SendTask(TProgTask *task);
    void HandleFrame(const uint8_t *frame, size_t size);
    void FinishTask(TProgTask *task, TaskState state, const QString &text);
    void FailTask(TProgTask *task, const QString &reason);
    void ClearQueue();
    void RemoveTask(TProgTask *task);
    void Log(const QString &text);
    void OnSendTimer();
    void OnAnswerTimer();
    void OnLinkTimer();

    TDAO::ProviderFactory m_createProvider;
    std::unique_ptr<TDAO> m_link;
    QTimer m_linkTimer;
    QTimer m_answerTimer;
    QTimer m_sendTimer;
    std::vector<std::unique_ptr<TProgTask>> m_queue;
    // Tasks dropped while a call into the collector was under way; destroyed
    // once the outermost call returns.
    std::vector<std::unique_ptr<TProgTask>> m_dropped;
    int m_callDepth = 0;
    TProgTask *m_current = nullptr;
    uint8_t m_sendBuffer[kRequestBufferSize] = {};
    uint32_t m_maxPacketSize = 1024;
    bool m_busy = false;

    // The task's AnswerTimeout the answer timer was set for.
    uint32_t m_answerTimeout = 0;
    double m_answerScale = 1.0;
    int m_linkTimeout = kLinkTimeout;

    LogHandler m_onLog;
    QueueHandler m_onQueueStart;
    QueueHandler m_onQueueFinish;
    LinkStateHandler m_onLinkStateChange;
    PortNameSource m_portName;
    LogSink *m_traffic = nullptr;
};

} // namespace vrs
