#pragma once

#include "device_options.h"
#include "device_state.h"
#include "pty_port.h"
#include "request_reader.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>

namespace vrs::devsim {

// The simulated device: a pseudo-terminal, the exchange driven by ready
// frames, the command set over DeviceState, and the faults of its options.
//
// A request is answered only when the device has sent a ready frame since
// its last answer, and a byte-identical repeat that follows the request just
// answered is ignored.  The host sends a task's first request unprompted and
// repeats it when it meets a ready frame that crossed it; a device answering
// both would confirm a chunk twice and break a multi-chunk transfer.  For the
// same reason a new ready frame waits for the host's reply to the last one:
// every ready frame sent while a request is on its way brings one more copy.
class SimDevice : public QObject {
    Q_OBJECT
public:
    explicit SimDevice(const DeviceOptions &options, QObject *parent = nullptr);
    ~SimDevice() override;

    // Opens the terminal and starts sending ready frames.
    bool Start(QString *error);
    QString PortPath() const { return m_port.SlavePath(); }

    DeviceState &State() { return m_state; }
    const DeviceState &State() const { return m_state; }
    const QList<CommandRecord> &Commands() const { return m_commands; }
    bool IsSilent() const { return m_silent; }

signals:
    // After every request the device received, whatever became of it.
    void requestHandled(const vrs::devsim::CommandRecord &record);

private:
    struct Piece {
        QByteArray bytes;
        int pauseBeforeMs = 0;
    };

    void OnReceived(const QByteArray &bytes);
    void OnFrame(const uint8_t *frame, size_t size);
    void HandleRequest(const QByteArray &request);
    void Record(CommandRecord record, const QString &outcome);
    bool IsDropped(int number) const;

    void SendFrame(uint8_t command, const QByteArray &data, int delayMs);
    void PumpOutput();
    void OnReadyTimer();
    void ArmReadyTimer();
    double NowMs() const { return double(m_clock.nsecsElapsed()) / 1e6; }

    DeviceOptions m_options;
    DeviceState m_state;
    PtyPort m_port;
    RequestReader m_reader;

    QTimer m_readyTimer;
    QTimer m_outputTimer;
    QElapsedTimer m_clock;
    std::deque<Piece> m_output;
    double m_lineFreeAtMs = 0;   // when paced output may continue
    bool m_pauseTaken = false;   // the front piece's pause has been served
    uint32_t m_junkSeed = 0x1234567u;

    bool m_readySinceAnswer = false;
    bool m_awaitingReply = false;  // a ready frame has had no reply yet
    double m_lastActivityMs = 0;   // last ready frame sent or byte received
    QByteArray m_lastAnswered;   // cleared by any other frame from the host
    int m_requestNumber = 0;
    int m_answered = 0;
    bool m_silent = false;
    QList<CommandRecord> m_commands;
};

} // namespace vrs::devsim
