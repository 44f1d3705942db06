#include "sim_device.h"

#include "link/frame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vrs::devsim {

namespace {

// Quiet time after which a ready frame is taken as lost and another one sent.
constexpr double kReplyTimeoutMs = 250;

QByteArray BuildFrame(uint8_t command, const QByteArray &data)
{
    QByteArray frame(data.size() + qsizetype(kFrameOverhead) + 1, '\0');
    const size_t size = WriteFrame(reinterpret_cast<uint8_t *>(frame.data()), command,
                                   reinterpret_cast<const uint8_t *>(data.constData()),
                                   size_t(data.size()));
    frame.truncate(qsizetype(size));
    return frame;
}

} // namespace

SimDevice::SimDevice(const DeviceOptions &options, QObject *parent)
    : QObject(parent), m_options(options),
      m_reader([this](const uint8_t *frame, size_t size) { OnFrame(frame, size); })
{
    m_state.SetSerial(options.serial);
    m_state.SetPacketSize(options.packetSize);
    if (options.configText)
        m_state.StoreConfigText(*options.configText, !options.configBadCrc);

    connect(&m_port, &PtyPort::received, this, &SimDevice::OnReceived);

    m_readyTimer.setSingleShot(true);
    m_readyTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_readyTimer, &QTimer::timeout, this, &SimDevice::OnReadyTimer);
    m_outputTimer.setSingleShot(true);
    m_outputTimer.setTimerType(Qt::PreciseTimer);
    m_outputTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_outputTimer, &QTimer::timeout, this, &SimDevice::PumpOutput);
    m_clock.start();
}

SimDevice::~SimDevice() = default;

bool SimDevice::Start(QString *error)
{
    if (!m_port.Open(error))
        return false;
    ArmReadyTimer();
    return true;
}

void SimDevice::OnReceived(const QByteArray &bytes)
{
    // Ready frames go out only after a quiet line, so a request still
    // arriving is never crossed by one.
    m_lastActivityMs = NowMs();
    ArmReadyTimer();
    m_reader.Receive(bytes);
}

void SimDevice::OnFrame(const uint8_t *frame, size_t size)
{
    m_awaitingReply = false;
    // A frame of Length 0 carries no command byte: nothing to do with it.
    if (FrameLength(frame) == 0 || FrameCommand(frame) == kCmdReady) {
        m_lastAnswered.clear();
        return;
    }
    HandleRequest(QByteArray(reinterpret_cast<const char *>(frame), qsizetype(size)));
}

void SimDevice::HandleRequest(const QByteArray &request)
{
    const auto *bytes = reinterpret_cast<const uint8_t *>(request.constData());
    const uint8_t command = FrameCommand(bytes);
    const uint8_t *data = FrameData(bytes);
    const size_t count = size_t(request.size()) - kFrameDataOffset - 1;

    if (m_silent) {
        Record(DeviceState::Describe(command, data, count), QStringLiteral("silent"));
        return;
    }
    if (!m_options.answerRepeats) {
        const bool repeat = request == m_lastAnswered;
        m_lastAnswered.clear();
        if (repeat) {
            Record(DeviceState::Describe(command, data, count), QStringLiteral("ignored-repeat"));
            return;
        }
        if (!m_readySinceAnswer) {
            Record(DeviceState::Describe(command, data, count), QStringLiteral("ignored-no-ready"));
            return;
        }
    }
    const int number = ++m_requestNumber;
    if (IsDropped(number)) {
        Record(DeviceState::Describe(command, data, count), QStringLiteral("dropped"));
        return;
    }

    CommandRecord record;
    const std::optional<QByteArray> answer = m_state.Execute(command, data, count, &record);
    if (!answer) {
        Record(record, QStringLiteral("unanswered"));
        return;
    }
    SendFrame(command, *answer, m_options.answerDelayMs);
    m_readySinceAnswer = false;
    m_lastAnswered = request;
    ++m_answered;
    Record(record, QStringLiteral("answered"));
    if (m_options.silentAfter > 0 && m_answered >= m_options.silentAfter) {
        m_silent = true;
        m_readyTimer.stop();
    }
}

bool SimDevice::IsDropped(int number) const
{
    if (m_options.dropList.contains(number))
        return true;
    return m_options.dropEvery > 0 && number % m_options.dropEvery == 0;
}

void SimDevice::Record(CommandRecord record, const QString &outcome)
{
    record.outcome = outcome;
    m_commands.append(record);
    if (m_options.verbose) {
        QString line = QStringLiteral("devsim: %1 (%2)")
                           .arg(DeviceState::CommandName(record.code))
                           .arg(record.code);
        if (record.address)
            line += QStringLiteral(" address %1").arg(*record.address);
        if (record.size)
            line += QStringLiteral(" size %1").arg(*record.size);
        if (record.status)
            line += QStringLiteral(" status %1").arg(*record.status);
        line += QStringLiteral(": ") + outcome;
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    }
    emit requestHandled(record);
}

void SimDevice::SendFrame(uint8_t command, const QByteArray &data, int delayMs)
{
    QByteArray bytes;
    for (int i = 0; i < m_options.junkBytes; ++i) {
        // xorshift; 0x5A is left out so junk never starts a frame marker.
        m_junkSeed ^= m_junkSeed << 13;
        m_junkSeed ^= m_junkSeed >> 17;
        m_junkSeed ^= m_junkSeed << 5;
        const char junk = char(m_junkSeed & 0xFF);
        bytes.append(junk == 0x5A ? char(0x00) : junk);
    }
    bytes.append(BuildFrame(command, data));

    const qsizetype piece = m_options.splitSize > 0 ? m_options.splitSize : bytes.size();
    for (qsizetype offset = 0; offset < bytes.size(); offset += piece) {
        const int pause = offset == 0 ? delayMs : m_options.splitPauseMs;
        m_output.push_back(Piece{bytes.mid(offset, piece), pause});
    }
    m_readyTimer.stop();
    PumpOutput();
}

void SimDevice::PumpOutput()
{
    m_outputTimer.stop();
    // At the set baud rate a byte takes 10 bit times; bytes go out in small
    // groups so the host sees them trickle in as from a real line.
    const qsizetype paceGroup = m_options.baud > 0 ? std::max(1, m_options.baud / 2000) : 0;
    while (!m_output.empty()) {
        Piece &piece = m_output.front();
        const double now = NowMs();
        if (!m_pauseTaken) {
            if (piece.pauseBeforeMs > 0)
                m_lineFreeAtMs = std::max(m_lineFreeAtMs, now) + piece.pauseBeforeMs;
            m_pauseTaken = true;
        }
        if (now < m_lineFreeAtMs) {
            m_outputTimer.start(int(std::ceil(m_lineFreeAtMs - now)));
            return;
        }
        const qsizetype count = paceGroup > 0 ? std::min(paceGroup, piece.bytes.size())
                                              : piece.bytes.size();
        const qsizetype written = m_port.Write(piece.bytes.constData(), count);
        if (written < 0) {
            m_output.clear();
            m_pauseTaken = false;
            break;
        }
        if (written == 0) {
            // The terminal is full: no host reads.  Try again shortly.
            m_outputTimer.start(5);
            return;
        }
        if (m_options.baud > 0) {
            // A timer that fires a little late must not slow the line down:
            // while bytes follow each other, the next ones start where the
            // last ones ended.
            const double start = now - m_lineFreeAtMs < 3.0 ? m_lineFreeAtMs : now;
            m_lineFreeAtMs = start + double(written) * 10000.0 / m_options.baud;
        }
        piece.bytes.remove(0, written);
        if (piece.bytes.isEmpty()) {
            m_output.pop_front();
            m_pauseTaken = false;
        }
    }
    ArmReadyTimer();
}

void SimDevice::ArmReadyTimer()
{
    if (m_silent || !m_port.IsOpen()) {
        m_readyTimer.stop();
        return;
    }
    if (m_output.empty())
        m_readyTimer.start(m_options.readyIntervalMs);
}

void SimDevice::OnReadyTimer()
{
    if (m_silent || !m_output.empty())
        return;
    // While the last frame lies unread no host is listening; piling up
    // ready frames would only flood the next one to open the port.
    if (m_port.UnreadByHost() > 0) {
        ArmReadyTimer();
        return;
    }
    const double quiet = NowMs() - m_lastActivityMs;
    if (m_awaitingReply && quiet < kReplyTimeoutMs) {
        m_readyTimer.start(int(std::ceil(kReplyTimeoutMs - quiet)));
        return;
    }
    m_awaitingReply = true;
    m_lastActivityMs = NowMs();
    m_readySinceAnswer = true;
    SendFrame(kCmdReady, QByteArray(), 0);
}

} // namespace vrs::devsim
