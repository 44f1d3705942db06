#include "link/task_collector.h"

#include "link/com_provider.h"
#include "transport/comm_port.h"

#include <algorithm>
#include <cmath>

namespace vrs {

// Marks a call into the collector that may call out.  Tasks dropped during
// it stay alive until the outermost one ends, so no task disappears under a
// callback of its own and no pointer held on the stack dangles.
class TTaskCollector::CallScope {
public:
    explicit CallScope(TTaskCollector *c) : m_c(c) { ++m_c->m_callDepth; }
    ~CallScope()
    {
        if (--m_c->m_callDepth == 0 && !m_c->m_dropped.empty()) {
            std::vector<std::unique_ptr<TProgTask>> dropped;
            dropped.swap(m_c->m_dropped);
        }
    }
    CallScope(const CallScope &) = delete;
    CallScope &operator=(const CallScope &) = delete;

private:
    TTaskCollector *m_c;
};

TTaskCollector::TTaskCollector(QObject *parent)
    : TTaskCollector(&TComProvider::Create, parent)
{
}

TTaskCollector::TTaskCollector(TDAO::ProviderFactory createProvider, QObject *parent)
    : QObject(parent)
    , m_createProvider(std::move(createProvider))
{
    m_sendTimer.setSingleShot(true);
    m_sendTimer.setInterval(kSendDelay);
    m_answerTimer.setSingleShot(true);
    m_linkTimer.setInterval(m_linkTimeout);
    connect(&m_sendTimer, &QTimer::timeout, this, &TTaskCollector::OnSendTimer);
    connect(&m_answerTimer, &QTimer::timeout, this, &TTaskCollector::OnAnswerTimer);
    connect(&m_linkTimer, &QTimer::timeout, this, &TTaskCollector::OnLinkTimer);
    MakeLink();
}

TTaskCollector::~TTaskCollector()
{
    Disconnect();
    m_sendTimer.stop();
    m_answerTimer.stop();
    m_linkTimer.stop();
    m_current = nullptr;
    m_queue.clear();
    m_dropped.clear();
    m_link.reset();
}

void TTaskCollector::SetTrafficLog(LogSink *sink)
{
    m_traffic = sink;
    m_link->SetTrafficLog(sink);
}

void TTaskCollector::SetSendDelay(int ms)
{
    m_sendTimer.setInterval(ms);
}

void TTaskCollector::MakeLink()
{
    auto link = std::make_unique<TDAO>(m_createProvider);
    link->SetTrafficLog(m_traffic);
    link->SetOnFrame([this](const uint8_t *frame, size_t size) { HandleFrame(frame, size); });
    link->SetOnLog([this](QObject *sender, const QString &text) {
        if (m_onLog && !text.isEmpty()) {
            const LogHandler handler = m_onLog;
            handler(sender, text);
        }
    });
    link->SetOnStateChange([this](TDAO *, TLinkState state) {
        if (m_onLinkStateChange) {
            const LinkStateHandler handler = m_onLinkStateChange;
            handler(this, state);
        }
    });
    // The new link exists before the old one goes, so the two never share
    // an address: a caller deep in the old link's frame can tell.
    std::unique_ptr<TDAO> old = std::move(m_link);
    m_link = std::move(link);
    old.reset();
}

TProgTask *TTaskCollector::AddTask(std::unique_ptr<TProgTask> task,
                                   TProgTask::StateChangeHandler onStateChange)
{
    CallScope scope(this);
    TProgTask *raw = task.get();
    if (onStateChange)
        raw->SetOnStateChange(std::move(onStateChange));
    m_queue.push_back(std::move(task));
    Pump();
    return raw;
}

void TTaskCollector::Pump()
{
    if (m_busy)
        return;
    CallScope scope(this);
    struct BusyGuard {
        bool &busy;
        explicit BusyGuard(bool &b) : busy(b) { busy = true; }
        ~BusyGuard() { busy = false; }
    } busy(m_busy);

    const bool hadCurrent = m_current != nullptr;
    if (m_current && m_current->State() == tsRunning)
        return;

    m_current = nullptr;
    for (const auto &task : m_queue) {
        if (task->State() == tsWaiting || task->State() == tsRunning) {
            m_current = task.get();
            break;
        }
    }

    if (m_current && m_current->State() == tsWaiting) {
        if (!hadCurrent && m_onQueueStart) {
            const QueueHandler handler = m_onQueueStart;
            handler(this);
        }
        // The callback may have emptied the queue.
        if (m_current)
            StartTask(m_current);
    }
    if (hadCurrent && !m_current && m_onQueueFinish) {
        const QueueHandler handler = m_onQueueFinish;
        handler(this);
    }
}

void TTaskCollector::StartTask(TProgTask *task)
{
    CallScope scope(this);
    QString text;
    task->SetState(tsRunning, QStringLiteral("Запуск: ") + task->Caption() + QStringLiteral("..."), text);
    Log(text);
    if (task != m_current)
        return;

    m_answerTimer.stop();
    m_answerTimeout = task->AnswerTimeout();
    m_answerTimer.setInterval(std::max(1, int(std::lround(double(m_answerTimeout) * m_answerScale))));
    m_answerTimer.start();
    m_sendTimer.start();
}

void TTaskCollector::OnSendTimer()
{
    CallScope scope(this);
    if (m_current && m_current->State() == tsRunning && !m_current->Sent()
        && LinkState() == lsConnected)
        SendTask(m_current);
}

void TTaskCollector::SendTask(TProgTask *task)
{
    const int n = task->BuildFrame(m_sendBuffer);
    if (n > 0)
        m_link->Send(m_sendBuffer, size_t(n));
}

void TTaskCollector::HandleFrame(const uint8_t *frame, size_t)
{
    TDAO *link = m_link.get();
    if (link->State() != lsConnected)
        return;
    CallScope scope(this);

    Pump();
    // A callback may have closed or replaced the link: the frame is then
    // stale (or gone with its receive buffer).
    if (m_link.get() != link || link->State() != lsConnected)
        return;
    m_linkTimer.stop();
    m_linkTimer.start();

    if (FrameCommand(frame) == 0) {
        if (m_current)
            SendTask(m_current);
        else
            link->Send(kReadyFrame, sizeof kReadyFrame);
        return;
    }
    TProgTask *task = m_current;
    if (!task)
        return;

    QString text;
    const TaskState state = task->MatchAnswer(frame, text);
    if (m_current != task)
        return;
    switch (state) {
    case tsFailed:
        FailTask(task, text);
        break;
    case tsDone:
        FinishTask(task, tsDone, QStringLiteral("Готово: ") + task->Caption() + QStringLiteral("."));
        break;
    default:
        if (task->Attempts() != 0 && task->Attempts() > task->MaxAttempts()) {
            FailTask(task, QStringLiteral("истекло количество попыток выполнить команду"));
        } else if (task->Attempts() == 0) {
            // A confirmed chunk: the next one gets the full time again.
            m_answerTimer.stop();
            m_answerTimer.start();
        }
        break;
    }
}

void TTaskCollector::OnAnswerTimer()
{
    CallScope scope(this);
    if (LinkState() == lsConnected && m_current && m_current->AnswerTimeout() <= m_answerTimeout)
        FailTask(m_current, QStringLiteral("истекло время ожидания ответа на команду"));
}

void TTaskCollector::FinishTask(TProgTask *task, TaskState state, const QString &text)
{
    CallScope scope(this);
    const bool wasBusy = m_busy;
    m_busy = true;
    QString result;
    task->SetState(state, text, result);
    Log(result);
    m_busy = wasBusy;
    Pump();
    RemoveTask(task);
}

void TTaskCollector::FailTask(TProgTask *task, const QString &reason)
{
    FinishTask(task, tsFailed, QStringLiteral("Ошибка: %1 (%2).").arg(reason, task->Caption()));
}

void TTaskCollector::RemoveTask(TProgTask *task)
{
    const auto it = std::find_if(m_queue.begin(), m_queue.end(),
                                 [task](const std::unique_ptr<TProgTask> &t) { return t.get() == task; });
    if (it == m_queue.end())
        return;
    std::unique_ptr<TProgTask> removed = std::move(*it);
    m_queue.erase(it);
    if (m_current == task)
        m_current = nullptr;
    if (m_callDepth > 0)
        m_dropped.push_back(std::move(removed));
}

void TTaskCollector::ClearQueue()
{
    m_answerTimer.stop();
    m_current = nullptr;
    std::vector<std::unique_ptr<TProgTask>> tasks;
    tasks.swap(m_queue);
    if (m_callDepth > 0) {
        for (auto &task : tasks)
            m_dropped.push_back(std::move(task));
    }
}

void TTaskCollector::Log(const QString &text)
{
    if (text.isEmpty() || !m_onLog)
        return;
    const LogHandler handler = m_onLog;
    handler(this, text);
}

void TTaskCollector::Connect()
{
    if (LinkState() != lsDisconnected)
        return;
    const QString port = m_portName ? m_portName() : QString();
    // A device path is a full address already.
    m_link->SetConnectionName(port.startsWith(QLatin1Char('/')) ? port : QStringLiteral("//./") + port);
    if (m_link->Connect()) {
        m_linkTimer.setInterval(m_linkTimeout);
        m_linkTimer.start();
    }
}

void TTaskCollector::OnLinkTimer()
{
    CallScope scope(this);
    const TLinkState state = LinkState();
    if (state == lsConnecting || state == lsConnected) {
        Log(QStringLiteral("Timeout - нет связи либо поток данных неопознан"));
        Disconnect();
    }
}

void TTaskCollector::Disconnect()
{
    const TLinkState state = LinkState();
    if (state != lsConnecting && state != lsConnected)
        return;
    m_linkTimer.stop();
    ClearQueue();
    ComBaudRate = kIdleBaudRate;
    // The device expects the line at the idle rate before it closes.
    if (auto *com = dynamic_cast<TComProvider *>(m_link->Provider())) {
        CommPort *port = com->Port();
        if (port->Connected() && port->BaudRate() != ComBaudRate)
            port->SetBaudRate(ComBaudRate);
    }
    m_link->Disconnect();
}

void TTaskCollector::ResetLink()
{
    ClearQueue();
    MakeLink();
}

void TTaskCollector::SetMaxPacketSize(uint32_t size)
{
    if (size != m_maxPacketSize)
        m_maxPacketSize = std::min(size, kMaxPacketSizeLimit);
}

} // namespace vrs
