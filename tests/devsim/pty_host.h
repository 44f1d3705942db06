#pragma once

// The host's side of the simulated device's terminal, for tests: opens the
// slave by its path, cuts the device's frames out with the link's receiver,
// and lets a test wait for them on the shared event loop.

#include "link/frame.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QSocketNotifier>
#include <QString>
#include <QTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <functional>
#include <memory>

namespace vrs::devsim::test {

inline QByteArray Frame(uint8_t command, const QByteArray &data = QByteArray())
{
    QByteArray out(data.size() + 10, '\0');
    WriteFrame(reinterpret_cast<uint8_t *>(out.data()), command,
               reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()));
    return out;
}

inline QByteArray U32(uint32_t value)
{
    QByteArray out(4, '\0');
    WriteU32(reinterpret_cast<uint8_t *>(out.data()), value);
    return out;
}

inline QByteArray ReadyFrame()
{
    return QByteArray(reinterpret_cast<const char *>(kReadyFrame), 10);
}

struct DeviceFrame {
    uint8_t command;
    QByteArray data;
};

class PtyHost {
public:
    explicit PtyHost(const QString &path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return;
        termios tio {};
        ::tcgetattr(m_fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_fd, TCSANOW, &tio);
        m_receiver.setHandler([this](const uint8_t *frame, size_t size) {
            DeviceFrame f{FrameCommand(frame),
                          QByteArray(reinterpret_cast<const char *>(FrameData(frame)),
                                     qsizetype(size) - qsizetype(kFrameDataOffset) - 1)};
            if (f.command == 0) {
                ++readyCount;
                if (onReady)
                    onReady();
            } else {
                answers.append(f);
                if (onAnswer)
                    onAnswer(f);
            }
        });
        m_notifier = std::make_unique<QSocketNotifier>(qintptr(m_fd), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { Drain(); });
    }
    ~PtyHost()
    {
        m_notifier.reset();
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool IsOpen() const { return m_fd >= 0; }

    void Send(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else
                QTest::qWait(1);
        }
    }

    // Waits for the next ready frame from the device.
    bool WaitForReady(int timeoutMs = 2000)
    {
        const int seen = readyCount;
        return QTest::qWaitFor([&] { return readyCount > seen; }, timeoutMs);
    }
    bool WaitForAnswers(int count, int timeoutMs = 2000)
    {
        return QTest::qWaitFor([&] { return answers.size() >= count; }, timeoutMs);
    }

    std::function<void()> onReady;
    std::function<void(const DeviceFrame &)> onAnswer;
    int readyCount = 0;
    int chunksRead = 0;
    QByteArray raw;
    QList<DeviceFrame> answers;

private:
    void Drain()
    {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            ++chunksRead;
            raw.append(buffer, n);
            m_receiver.Receive(reinterpret_cast<const uint8_t *>(buffer), size_t(n));
        }
    }

    int m_fd = -1;
    FrameReceiver m_receiver;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace vrs::devsim::test
