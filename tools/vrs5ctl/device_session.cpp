#include "device_session.h"

#include "command.h"
#include "interrupt_guard.h"

#include "appsettings/app_folders.h"
#include "appsettings/settings.h"
#include "appsettings/settings_error.h"
#include "programmer/port_discovery.h"

#include <QTimer>

namespace vrs::ctl {

namespace {

// A device in its loader sends a ready frame every few tens of
// milliseconds; this long a quiet spell while connecting means nothing
// is listening on the other end.
constexpr int kConnectSilenceMs = 10000;

} // namespace

DeviceSession::DeviceSession(const DeviceArgs &args, const QString &port, DeviceType type,
                             ProgrammerMode mode, const QByteArray &document)
    : m_prompt(args.answer, m_console)
    , m_ctl(std::make_unique<ProgrammerController>(type, mode, document, &m_prompt))
    , m_port(port)
{
    int delayMs = 0;
    connectionSettings(args, &m_tries, &delayMs);
    ProgrammerController::Timing timing;
    timing.connectTries = m_tries;
    timing.connectDelayMs = delayMs;
    m_ctl->SetTiming(timing);
    m_ctl->SetPortName(port);

    m_silence.setSingleShot(true);
    m_silence.setInterval(qMax(kConnectSilenceMs, m_tries * delayMs + kConnectSilenceMs));
    connect(&m_silence, &QTimer::timeout, this, [this] {
        Finish(false, QStringLiteral("Устройство на порту «%1» не отвечает.").arg(m_port));
    });

    connect(m_ctl.get(), &ProgrammerController::statusChanged, this, [this](const QString &text) {
        m_console.Line(text);
        if (m_phase == Phase::Connecting)
            m_silence.start();
    });
    connect(m_ctl.get(), &ProgrammerController::progressChanged, this,
            [this](int mn, int pos, int mx) { m_console.Progress(mn, pos, mx); });
    connect(m_ctl.get(), &ProgrammerController::controlsChanged, this, &DeviceSession::OnControls);
    connect(m_ctl.get(), &ProgrammerController::connectFailed, this, [this] {
        Finish(false, QStringLiteral("Не удалось подключиться к порту «%1».").arg(m_port));
    });
    connect(m_ctl.get(), &ProgrammerController::loaderRetryStarted, this, [this] {
        if (++m_loaderRetries > m_tries)
            Finish(false, QStringLiteral("Устройство не ответило на запрос размера пакета (попыток: %1): "
                                         "возможно, оно не в режиме загрузчика.")
                              .arg(m_tries));
    });
    connect(m_ctl.get(), &ProgrammerController::jobFinished, this, [this](bool success) {
        // The collector prints its line for the task after the handler that
        // ended the job has returned; the run ends after that line.
        if (m_phase == Phase::Job)
            QTimer::singleShot(0, this, [this, success] { Finish(success); });
    });
}

DeviceSession::~DeviceSession()
{
    m_ctl.reset();
    m_console.ClearProgress();
}

bool DeviceSession::Run(const std::function<bool()> &job)
{
    m_job = job;
    InterruptGuard interrupt([this] { Interrupted(); });
    QTimer::singleShot(0, this, [this] {
        m_silence.start();
        m_ctl->Connect();
    });
    if (m_phase != Phase::Done)
        m_loop.exec();
    m_console.ClearProgress();
    if (!m_reason.isEmpty())
        fail(m_reason);
    return m_success;
}

void DeviceSession::Finish(bool success, const QString &reason)
{
    if (m_phase == Phase::Done)
        return;
    m_phase = Phase::Done;
    m_silence.stop();
    m_success = success;
    m_reason = reason;
    m_ctl->Disconnect();
    m_loop.quit();
}

void DeviceSession::OnControls()
{
    if (m_phase == Phase::Connecting && m_ctl->CommandEnabled()) {
        m_phase = Phase::Job;
        m_silence.stop();
        // Not from inside the controller's signal: the job queues tasks.
        QTimer::singleShot(0, this, &DeviceSession::StartJob);
    } else if (m_phase == Phase::Job && m_ctl->LinkState() == lsDisconnected) {
        // The link went down on its own: the queue is gone with it and the
        // job would never report its end.
        Finish(false, QStringLiteral("Связь с устройством на порту «%1» потеряна.").arg(m_port));
    }
}

void DeviceSession::StartJob()
{
    if (m_phase != Phase::Job)
        return;
    if (!m_job) {
        Finish(true);
        return;
    }
    if (!m_job())
        Finish(false);
}

void DeviceSession::Interrupted()
{
    m_prompt.Cancel();
    Finish(false, QStringLiteral("Прервано."));
}

bool resolvePort(const QString &given, QString *port)
{
    if (given.startsWith(QLatin1Char('/'))) {
        *port = given;
        return true;
    }
    const PortList list = RefreshPortList(true, QString());
    const PortNaming naming = PortNaming::Native();
    const Qt::CaseSensitivity cs = naming.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (const PortRecord &record : list.ports) {
        if (record.name.compare(given, cs) == 0) {
            *port = record.name;
            return true;
        }
    }
    fail(QStringLiteral("Порт «%1» не найден (список портов: vrs5ctl ports --all).").arg(given));
    return false;
}

void connectionSettings(const DeviceArgs &args, int *tries, int *delayMs)
{
    *tries = TSettings::kDefaultComConnectTryCount;
    *delayMs = TSettings::kDefaultComIntervalDelay;
    try {
        const TSettings settings(AppSettingsFileName(AppSettingsFolder()));
        *tries = settings.ComConnectTryCount();
        *delayMs = settings.ComIntervalDelay();
    } catch (const ESettingsError &e) {
        if (!args.tries || !args.delayMs)
            note(e.Message() + QStringLiteral(" Используются значения по умолчанию."));
    }
    if (args.tries)
        *tries = *args.tries;
    if (args.delayMs)
        *delayMs = *args.delayMs;
    *tries = qMax(1, *tries);
}

} // namespace vrs::ctl
