#pragma once

#include "config/device_type.h"
#include "link/task.h"
#include "link/task_collector.h"
#include "programmer/firmware_image.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace vrs {

class LogSink;
class Prompt;

// The device work of one programmer session without any window: connection
// and set-up, and the job of its mode (read configuration, write
// configuration, firmware update).  The programmer window and the command-
// line tool are views over it: they press its buttons, show its status
// lines, progress and serial number, and enable their controls from its
// queries.  Every question goes through the Prompt, always from the job
// timer, never from inside a task callback.
class ProgrammerController : public QObject {
    Q_OBJECT
public:
    // Steps that the job timer runs after a task has ended.
    enum JobStep { jsNone = -1, jsCheckImage = 0, jsVerifyFailed = 1, jsReadFailed = 2, jsLoaderRetry = 3 };

    struct Timing {
        int connectTries = 1;      // at least one attempt
        int connectDelayMs = 0;    // pause before every attempt but the first
        int loaderRetryMs = 3000;  // pause before connecting again for the loader
        int jobDelayMs = 100;      // job timer interval
    };

    // documentJson: mode 1 only, the document's JSON text (copied).
    ProgrammerController(DeviceType type, ProgrammerMode mode, const QByteArray &documentJson,
                         Prompt *prompt, QObject *parent = nullptr);
    // Disconnects as the Disconnect button does.
    ~ProgrammerController() override;

    DeviceType Type() const { return m_type; }
    ProgrammerMode Mode() const { return m_mode; }
    TTaskCollector &Collector() { return *m_collector; }
    void SetTiming(const Timing &timing) { m_timing = timing; }
    const Timing &GetTiming() const { return m_timing; }
    // Status lines and traffic go here as well as to statusChanged; null: none.
    void SetLog(LogSink *log);

    void SetPortName(const QString &name) { m_portName = name; }
    const QString &PortName() const { return m_portName; }

    // The buttons.
    void Connect();
    void Disconnect();
    // Read and write modes: starts the transfer with a read of the device.
    void RunTransfer();
    // Firmware mode: reads and checks the file, then flashes it.  A failed
    // check returns false with the message (also shown as status), and the
    // device is not touched.
    bool LoadFirmwareFile(const QString &path, QString *error);
    bool LoadFirmware(const QByteArray &bytes, QString *error);

    // What the controls may do now.
    bool ConnectEnabled() const;
    bool DisconnectEnabled() const;
    bool CommandEnabled() const;
    bool PageEnabled() const { return !m_queueBusy; }
    bool PortListEnabled() const;

    bool IsReady() const { return m_ready; }
    bool IsSetUp() const { return m_setUp; }
    bool IsConnecting() const { return m_connecting; }
    bool QueueBusy() const { return m_queueBusy; }
    TLinkState LinkState() const { return m_collector->LinkState(); }
    const QString &SerialNumber() const { return m_serialNumber; }
    const QString &LastStatus() const { return m_lastStatus; }
    // After a read: the device's configuration set, empty when nothing was read.
    const QByteArray &Result() const { return m_work; }
    // The document text a write sends (the merged set after a merge).
    const QByteArray &DocumentBuffer() const { return m_document; }

signals:
    void statusChanged(const QString &text);
    void progressChanged(int minimum, int position, int maximum);
    void serialNumberChanged(const QString &serial);
    // Enabling rules may have changed.
    void controlsChanged();
    // The connect attempts ended without opening the port.
    void connectFailed();
    // The packet size query failed; a new connect follows after a pause.
    void loaderRetryStarted();
    // The job of the mode ended; read mode closes its window on success.
    void jobFinished(bool success);

private:
    // Connection.
    void ConnectDevice();
    void ConnectAttempt();
    void EndConnectAttempts();
    void OnLinkState(TLinkState state);
    void QueueSetUp();
    void OnSerialState(TProgTask *task, TaskState state, QString &text);
    void OnPacketSizeState(TProgTask *task, TaskState state, QString &text);
    void LoaderRetry();

    // Configuration transfer.
    void OnReadState(TProgTask *task, TaskState state, QString &text);
    void CheckImage();
    void AskAfterFailedRead();
    void WriteDocument();
    void OnWriteState(TaskState state, QString &text);
    void OnVerifyConfState(TaskState state);
    void AskAfterFailedVerify();

    // Firmware.
    void FlashBlock(size_t index);
    void OnBlockVerified(size_t index, TaskState state);

    void ShowStatus(const QString &text);
    void ResetProgress();
    void Progress(uint32_t minimum, uint32_t position, uint32_t maximum);
    void RunJobStep(JobStep step);
    void OnJobTimer();
    void StartJob();
    void Finish(bool success);
    void Refresh();

    DeviceType m_type;
    ProgrammerMode m_mode;
    Prompt *m_prompt;
    LogSink *m_log = nullptr;
    Timing m_timing;
    QString m_portName;

    std::unique_ptr<TTaskCollector> m_collector;
    QTimer m_jobTimer;
    JobStep m_jobTag = jsNone;
    QTimer m_attemptTimer;
    QTimer m_retryTimer;
    int m_attempt = 0;

    bool m_ready = false;
    bool m_own = true;
    bool m_setUp = false;
    bool m_connecting = false;
    bool m_stopRequested = false;
    bool m_queueBusy = false;
    bool m_jobFailed = false;
    bool m_jobRunning = false;   // between a job's start and its single jobFinished

    QString m_serialNumber;
    QString m_lastStatus;
    QByteArray m_document;   // write mode: what gets written
    QByteArray m_work;       // image read / text handed back / image written
    FirmwareImage m_firmware;
};

} // namespace vrs
