#pragma once

#include "config/device_type.h"
#include "console.h"
#include "device_args.h"
#include "terminal_prompt.h"

#include "programmer/programmer_controller.h"

#include <QByteArray>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <functional>

namespace vrs::ctl {

// One run of the programmer against a device, as the programmer window
// would do it: connect and set up, run the job, wait for its end,
// disconnect.  Status lines and progress go to the console.
class DeviceSession : public QObject {
    Q_OBJECT
public:
    // port: already resolved (see resolvePort).
    DeviceSession(const DeviceArgs &args, const QString &port, DeviceType type, ProgrammerMode mode,
                  const QByteArray &document = QByteArray());
    ~DeviceSession() override;

    ProgrammerController &Controller() { return *m_ctl; }
    Console &Out() { return m_console; }

    // The job starts once the device is set up; it returns false when it
    // failed at once (it has said why), or calls Finish later through the
    // controller's jobFinished.  An empty job ends the run as soon as the
    // device is set up.  Returns whether the job succeeded.
    bool Run(const std::function<bool()> &job);

    // Ends the run; a non-empty reason is printed as the last line.
    void Finish(bool success, const QString &reason = QString());

private:
    enum class Phase { Connecting, Job, Done };

    void OnControls();
    void StartJob();
    void Interrupted();

    Console m_console;
    TerminalPrompt m_prompt;
    std::unique_ptr<ProgrammerController> m_ctl;
    QString m_port;
    int m_tries = 1;
    std::function<bool()> m_job;

    QEventLoop m_loop;
    QTimer m_silence;     // a port that opens but never speaks
    Phase m_phase = Phase::Connecting;
    int m_loaderRetries = 0;
    bool m_success = false;
    QString m_reason;
};

// A port name from the port list (any port, as with "Показывать все") or a
// device path.  Prints why when the name is not listed.
bool resolvePort(const QString &given, QString *port);

// Connection attempts and pause from the configurator's settings file,
// overridden by the command line for this run.
void connectionSettings(const DeviceArgs &args, int *tries, int *delayMs);

} // namespace vrs::ctl
