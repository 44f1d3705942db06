#include "programmer/programmer_controller.h"

#include "link/com_provider.h"
#include "link/log_sink.h"
#include "link/tasks.h"
#include "programmer/prompt.h"

namespace vrs {

ProgrammerController::ProgrammerController(DeviceType type, ProgrammerMode mode,
                                           const QByteArray &documentJson, Prompt *prompt,
                                           QObject *parent)
    : QObject(parent)
    , m_type(type)
    , m_mode(mode)
    , m_prompt(prompt)
    , m_collector(std::make_unique<TTaskCollector>())
{
    if (m_mode == pmWriteConfig)
        m_document = documentJson;

    m_jobTimer.setSingleShot(true);
    m_attemptTimer.setSingleShot(true);
    m_retryTimer.setSingleShot(true);
    connect(&m_jobTimer, &QTimer::timeout, this, &ProgrammerController::OnJobTimer);
    connect(&m_attemptTimer, &QTimer::timeout, this, &ProgrammerController::ConnectAttempt);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] {
        ShowStatus(QStringLiteral("Enable writting"));
        ConnectDevice();
    });

    m_collector->SetPortNameSource([this] { return m_portName; });
    m_collector->SetOnLog([this](QObject *, const QString &text) { ShowStatus(text); });
    m_collector->SetOnQueueStart([this](QObject *) {
        m_queueBusy = true;
        Refresh();
    });
    m_collector->SetOnQueueFinish([this](QObject *) {
        m_queueBusy = false;
        Refresh();
    });
    m_collector->SetOnLinkStateChange([this](QObject *, TLinkState state) { OnLinkState(state); });
}

ProgrammerController::~ProgrammerController()
{
    m_attemptTimer.stop();
    m_retryTimer.stop();
    m_jobTimer.stop();
    Disconnect();
    // Nothing may call back into a half-destroyed controller.
    m_collector->SetOnLog({});
    m_collector->SetOnQueueStart({});
    m_collector->SetOnQueueFinish({});
    m_collector->SetOnLinkStateChange({});
    m_collector.reset();
}

void ProgrammerController::SetLog(LogSink *log)
{
    m_log = log;
    m_collector->SetTrafficLog(log);
}

// --- Buttons and enabling -------------------------------------------------

void ProgrammerController::Connect()
{
    m_connecting = true;
    ConnectDevice();
}

void ProgrammerController::Disconnect()
{
    m_attemptTimer.stop();
    m_retryTimer.stop();
    m_stopRequested = true;
    m_own = true;
    m_setUp = false;
    m_collector->Disconnect();
    // A connect that never opened the port leaves nothing to disconnect;
    // the button must still give the user a way out.
    if (m_collector->LinkState() == lsDisconnected)
        m_connecting = false;
    Refresh();
}

bool ProgrammerController::ConnectEnabled() const
{
    return !m_portName.isEmpty() && !m_connecting && LinkState() == lsDisconnected;
}

bool ProgrammerController::DisconnectEnabled() const
{
    // Also while a port is open but silent, so a hanging connect can be ended.
    return m_ready || (m_connecting && LinkState() != lsDisconnected && !m_attemptTimer.isActive());
}

bool ProgrammerController::CommandEnabled() const
{
    return LinkState() == lsConnected && m_ready && !m_queueBusy;
}

bool ProgrammerController::PortListEnabled() const
{
    return !(LinkState() == lsConnected && m_ready);
}

// --- Connecting -------------------------------------------------------------

void ProgrammerController::ConnectDevice()
{
    m_stopRequested = false;
    m_own = true;
    m_collector->Disconnect();
    ComBaudRate = kConnectBaudRate;
    m_attempt = 0;
    ConnectAttempt();
}

void ProgrammerController::ConnectAttempt()
{
    if (m_stopRequested || LinkState() == lsConnected) {
        EndConnectAttempts();
        return;
    }
    ++m_attempt;
    try {
        m_collector->Connect();
    } catch (...) {
        // A port that refuses is reported by the link; the next attempt may do better.
    }
    // Let bytes already waiting on the port arrive before judging the attempt.
    QTimer::singleShot(0, this, [this] {
        if (m_stopRequested || LinkState() == lsConnected
            || m_attempt >= qMax(1, m_timing.connectTries)) {
            EndConnectAttempts();
            return;
        }
        m_attemptTimer.start(qMax(0, m_timing.connectDelayMs));
    });
}

void ProgrammerController::EndConnectAttempts()
{
    m_own = false;
    if (LinkState() == lsDisconnected) {
        // Nothing opened: allow a new connect instead of locking the button.
        m_connecting = false;
        emit connectFailed();
    }
    Refresh();
}

void ProgrammerController::OnLinkState(TLinkState state)
{
    switch (state) {
    case lsConnecting:
        m_ready = false;
        m_queueBusy = false;
        ShowStatus(QStringLiteral("Подключение..."));
        break;
    case lsConnected:
        if (!m_setUp)
            QueueSetUp();
        ShowStatus(QStringLiteral("Подключено"));
        break;
    case lsDisconnecting:
        if (m_own) {
            m_ready = false;
            m_serialNumber.clear();
            emit serialNumberChanged(m_serialNumber);
            ShowStatus(QStringLiteral("Отключение..."));
        } else {
            ShowStatus(QStringLiteral("Переподключение..."));
        }
        break;
    case lsDisconnected:
        // The queue was emptied without a finish notice; a job step waiting
        // on the timer must not queue tasks for a link that is gone.
        m_queueBusy = false;
        if (m_jobRunning) {
            if (m_jobTag != jsLoaderRetry) {
                m_jobTimer.stop();
                m_jobTag = jsNone;
            }
            Finish(false);
        }
        if (m_own) {
            ShowStatus(QStringLiteral("Отключено."));
        } else {
            // The link went down on its own: the next connection must set
            // the device up again, or the job could never run.
            m_setUp = false;
            m_ready = false;
            m_collector->ResetLink();
        }
        break;
    }
    ResetProgress();
    Refresh();
}

void ProgrammerController::QueueSetUp()
{
    m_collector->AddTask(std::make_unique<TGetSerialTask>(),
                         [this](TProgTask *t, TaskState s, QString &text) { OnSerialState(t, s, text); });
    if (m_mode == pmReadConfig) {
        m_collector->SetMaxPacketSize(1024);
        m_ready = true;
        m_setUp = true;
        m_connecting = false;
        return;
    }
    m_collector->AddTask(std::make_unique<TGetPackMaxSizeTask>(),
                         [this](TProgTask *t, TaskState s, QString &text) { OnPacketSizeState(t, s, text); });
}

void ProgrammerController::OnSerialState(TProgTask *task, TaskState state, QString &text)
{
    switch (state) {
    case tsRunning:
        text.clear();
        break;
    case tsFailed:
        text = QStringLiteral("Не удалось Прочитать серийный номер устройства. ") + text;
        break;
    case tsDone:
        m_serialNumber = QString::fromUtf8(static_cast<TGetSerialTask *>(task)->SerialNumber());
        emit serialNumberChanged(m_serialNumber);
        break;
    default:
        break;
    }
    Refresh();
}

void ProgrammerController::OnPacketSizeState(TProgTask *task, TaskState state, QString &text)
{
    switch (state) {
    case tsRunning:
        text.clear();
        break;
    case tsFailed:
        text = QStringLiteral("Подключиться не удалось. Возможно устройство не в режиме загрузчика. ") + text;
        RunJobStep(jsLoaderRetry);
        break;
    case tsDone:
        m_ready = true;
        m_setUp = true;
        m_connecting = false;
        m_collector->SetMaxPacketSize(static_cast<TGetPackMaxSizeTask *>(task)->PacketSize());
        text = QStringLiteral("Подключено к \"%1\".").arg(m_portName);
        break;
    default:
        break;
    }
    Refresh();
}

void ProgrammerController::LoaderRetry()
{
    emit loaderRetryStarted();
    m_collector->Disconnect();
    m_collector->ResetLink();
    m_retryTimer.start(qMax(0, m_timing.loaderRetryMs));
}

// --- Shared ------------------------------------------------------------------

void ProgrammerController::ShowStatus(const QString &text)
{
    m_lastStatus = text;
    if (m_log)
        m_log->WriteLog(text);
    emit statusChanged(text);
}

void ProgrammerController::ResetProgress()
{
    emit progressChanged(0, 0, 0);
}

void ProgrammerController::Progress(uint32_t minimum, uint32_t position, uint32_t maximum)
{
    emit progressChanged(int(minimum), int(position), int(maximum));
}

void ProgrammerController::RunJobStep(JobStep step)
{
    m_jobTag = step;
    m_jobTimer.start(qMax(0, m_timing.jobDelayMs));
}

void ProgrammerController::OnJobTimer()
{
    const JobStep step = m_jobTag;
    m_jobTag = jsNone;
    switch (step) {
    case jsCheckImage: CheckImage(); break;
    case jsVerifyFailed: AskAfterFailedVerify(); break;
    case jsReadFailed: AskAfterFailedRead(); break;
    case jsLoaderRetry: LoaderRetry(); break;
    case jsNone: break;
    }
}

void ProgrammerController::StartJob()
{
    m_jobRunning = true;
}

void ProgrammerController::Finish(bool success)
{
    // A job ends once: a failed block write is followed by the failure of
    // its verification, and a lost link ends whatever was still running.
    if (!m_jobRunning)
        return;
    m_jobRunning = false;
    emit jobFinished(success);
}

void ProgrammerController::Refresh()
{
    emit controlsChanged();
}

} // namespace vrs
