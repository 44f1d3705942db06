#include "link/frame.h"

#include "link/crc.h"
#include "link/log_sink.h"

#include <algorithm>
#include <cstring>

namespace vrs {

const uint8_t kReadyFrame[10] = {0x5A, 0xA5, 0x55, 0xAA, 0x01, 0x00, 0x00, 0x00, 0x00, 0xB6};

size_t FinishFrame(uint8_t *out, uint8_t command, size_t dataCount)
{
    WriteU32(out, kFrameMagic);
    WriteU32(out + 4, uint32_t(dataCount + 1));
    out[8] = command;
    const size_t crcPos = kFrameDataOffset + dataCount;
    out[crcPos] = Crc8(out, crcPos);
    return crcPos + 1;
}

size_t WriteFrame(uint8_t *out, uint8_t command, const uint8_t *data, size_t dataCount)
{
    if (dataCount != 0)
        std::memmove(out + kFrameDataOffset, data, dataCount);
    return FinishFrame(out, command, dataCount);
}

FrameReceiver::~FrameReceiver()
{
    if (m_destroyed)
        *m_destroyed = true;
}

void FrameReceiver::setHandler(FrameHandler handler)
{
    if (handler)
        m_handler = std::make_shared<const FrameHandler>(std::move(handler));
    else
        m_handler.reset();
}

void FrameReceiver::ClearBuffer()
{
    // Zeros never form a frame, so what the scan already knew about the
    // positions stays true.
    std::memset(m_buffer, 0, sizeof m_buffer);
}

void FrameReceiver::Append(const uint8_t *data, size_t count)
{
    if (size_t(m_fillLevel) + count > kReceiveBufferSize) {
        const int kept = m_fillLevel - m_readPos;
        std::memmove(m_buffer, m_buffer + m_readPos, size_t(kept));
        m_junkEnd = std::max(0, m_junkEnd - m_readPos);
        m_fillLevel = kept;
        m_readPos = 0;
    }
    const size_t room = kReceiveBufferSize - size_t(m_fillLevel);
    const size_t stored = std::min(room, count);
    if (stored != 0) {
        std::memcpy(m_buffer + m_fillLevel, data, stored);
        m_fillLevel += int(stored);
    }
}

void FrameReceiver::Receive(const uint8_t *data, size_t count)
{
    if (!WillAccept(count))
        return;
    if (m_log)
        m_log->WriteLog(QStringLiteral("Dev: ") + BytesToHex(data, count));
    if (m_dispatching) {
        // A handler is running with a pointer into the buffer: moving bytes
        // now would pull the frame from under it.
        m_deferred.insert(m_deferred.end(), data, data + count);
        return;
    }

    bool destroyed = false;
    struct Guard {
        FrameReceiver *self;
        bool &destroyed;
        ~Guard()
        {
            if (!destroyed) {
                self->m_dispatching = false;
                self->m_destroyed = nullptr;
            }
        }
    } guard{this, destroyed};
    m_destroyed = &destroyed;
    m_dispatching = true;

    Append(data, count);
    if (!Dispatch())
        return;
    while (!m_deferred.empty()) {
        std::vector<uint8_t> chunk;
        chunk.swap(m_deferred);
        Append(chunk.data(), chunk.size());
        if (!Dispatch())
            return;
    }
}

bool FrameReceiver::Dispatch()
{
    const bool &destroyed = *m_destroyed;
    while (m_handler) {
        // Last position with room for magic, Length and one more byte.
        const int last = m_fillLevel - int(kFrameOverhead);
        int p = std::max(m_readPos, m_junkEnd);
        // While no position has waited for more bytes, everything scanned
        // is junk for good and need not be looked at again.
        bool junkOnly = true;
        int frameSize = 0;
        while (p <= last) {
            const void *hit = std::memchr(m_buffer + p, 0x5A, size_t(last - p + 1));
            if (!hit) {
                p = last + 1;
                break;
            }
            p = int(static_cast<const uint8_t *>(hit) - m_buffer);
            if (junkOnly)
                m_junkEnd = p;
            const uint8_t *at = m_buffer + p;
            if (ReadU32(at) == kFrameMagic) {
                const uint32_t length = ReadU32(at + 4);
                // Length 0 would leave no command byte: the CRC would be read
                // as the command.
                if (length != 0 && length <= kMaxFrameLength) {
                    const int size = int(length + kFrameOverhead);
                    if (p + size > m_fillLevel) {
                        junkOnly = false;
                    } else if (Crc8(at, size_t(size - 1)) == at[size - 1]) {
                        frameSize = size;
                        break;
                    }
                }
            }
            ++p;
        }
        if (junkOnly)
            m_junkEnd = std::max(m_junkEnd, p);
        if (frameSize == 0)
            return true;

        const std::shared_ptr<const FrameHandler> handler = m_handler;
        (*handler)(m_buffer + p, size_t(frameSize));
        if (destroyed)
            return false;
        m_readPos = p + frameSize;
    }
    return true;
}

} // namespace vrs
