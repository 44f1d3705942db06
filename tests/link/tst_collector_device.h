#pragma once

// A scripted device on the master end of a pseudo-terminal: it collects the
// frames the host sends and lets the test answer them.

#include "link/crc.h"
#include "link/frame.h"

#include "../transport/pty_pair.h"

#include <QByteArray>
#include <QList>
#include <QSocketNotifier>
#include <QTest>

#include <functional>

class ScriptedDevice {
public:
    explicit ScriptedDevice(PtyPair &pty)
        : m_pty(pty), m_notifier(pty.MasterFd(), QSocketNotifier::Read)
    {
        QObject::connect(&m_notifier, &QSocketNotifier::activated, &m_notifier, [this] { Poll(); });
    }

    static QByteArray Frame(uint8_t command, const QByteArray &data = QByteArray())
    {
        QByteArray frame(data.size() + 10, '\0');
        auto *out = reinterpret_cast<uint8_t *>(frame.data());
        vrs::WriteFrame(out, command, reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()));
        return frame;
    }
    static QByteArray Ready() { return Frame(0); }
    static QByteArray U32(uint32_t value)
    {
        QByteArray bytes(4, '\0');
        vrs::WriteU32(reinterpret_cast<uint8_t *>(bytes.data()), value);
        return bytes;
    }

    void Send(const QByteArray &bytes) { m_pty.Write(bytes); }
    void SendReady() { Send(Ready()); }
    void SendFrame(uint8_t command, const QByteArray &data = QByteArray()) { Send(Frame(command, data)); }

    // Called for every complete frame from the host, after it was recorded.
    std::function<void(const QByteArray &frame)> onFrame;

    const QList<QByteArray> &Frames() const { return m_frames; }
    int Count() const { return int(m_frames.size()); }
    // Frames whose command byte is command.
    int Count(uint8_t command) const
    {
        int n = 0;
        for (const QByteArray &f : m_frames)
            n += uint8_t(f.at(8)) == command;
        return n;
    }
    bool WaitForFrames(int count, int timeoutMs = 2000)
    {
        return WaitUntil([&] { return Count() >= count; }, timeoutMs);
    }
    // Bytes that formed no frame.
    const QByteArray &Junk() const { return m_junk; }

private:
    void Poll()
    {
        m_pending += m_pty.ReadAvailable();
        for (;;) {
            const qsizetype start = m_pending.indexOf(QByteArray("\x5A\xA5\x55\xAA", 4));
            if (start < 0) {
                const qsizetype keep = std::min<qsizetype>(3, m_pending.size());
                m_junk += m_pending.left(m_pending.size() - keep);
                m_pending = m_pending.right(keep);
                return;
            }
            m_junk += m_pending.left(start);
            m_pending.remove(0, start);
            if (m_pending.size() < 9)
                return;
            const auto *p = reinterpret_cast<const uint8_t *>(m_pending.constData());
            const uint32_t length = vrs::ReadU32(p + 4);
            const qsizetype size = qsizetype(length) + 9;
            if (length == 0 || length > vrs::kMaxFrameLength) {
                m_junk += m_pending.left(1);
                m_pending.remove(0, 1);
                continue;
            }
            if (m_pending.size() < size)
                return;
            if (vrs::Crc8(p, size_t(size - 1)) != p[size - 1]) {
                m_junk += m_pending.left(1);
                m_pending.remove(0, 1);
                continue;
            }
            const QByteArray frame = m_pending.left(size);
            m_pending.remove(0, size);
            m_frames.append(frame);
            if (onFrame)
                onFrame(frame);
        }
    }

    PtyPair &m_pty;
    QSocketNotifier m_notifier;
    QByteArray m_pending;
    QByteArray m_junk;
    QList<QByteArray> m_frames;
};
