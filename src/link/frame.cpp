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
    // Zeros never form a frame: the headers still waiting are gone, and
    // what was junk stays junk.
    std::memset(m_buffer, 0, sizeof m_buffer);
    m_waiting.clear();
}

void FrameReceiver::Append(const uint8_t *data, size_t count)
{
    if (size_t(m_fillLevel) + count > kReceiveBufferSize) {
        const int kept = m_fillLevel - m_readPos;
        std::memmove(m_buffer, m_buffer + m_readPos, size_t(kept));
        m_scanEnd = std::max(0, m_scanEnd - m_readPos);
        for (Waiting &w : m_waiting) {
            w.pos -= m_readPos;
            w.end -= m_readPos;
        }
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
        m_deferred.emplace_back(data, data + count);
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

    if (m_deferred.empty()) {
        Append(data, count);
        if (!Dispatch())
            return;
    } else {
        // Left over from a handler that threw: those bytes came first.
        m_deferred.emplace_back(data, data + count);
    }
    // Chunk by chunk, so that what finds room is what would have found room
    // had they come after the dispatch.
    while (!m_deferred.empty()) {
        const std::vector<uint8_t> chunk = std::move(m_deferred.front());
        m_deferred.pop_front();
        Append(chunk.data(), chunk.size());
        if (!Dispatch())
            return;
    }
}

bool FrameReceiver::Dispatch()
{
    const bool &destroyed = *m_destroyed;
    while (m_handler) {
        int found = -1;
        int size = 0;
        // Headers seen before lie ahead of everything not yet scanned.
        for (size_t i = 0; i < m_waiting.size();) {
            const Waiting w = m_waiting[i];
            if (w.end > m_fillLevel) {
                ++i;
                continue;
            }
            if (Crc8(m_buffer + w.pos, size_t(w.end - w.pos - 1)) == m_buffer[w.end - 1]) {
                found = w.pos;
                size = w.end - w.pos;
                break;
            }
            m_waiting.erase(m_waiting.begin() + std::ptrdiff_t(i));
        }

        if (found < 0) {
            // Last position with room for magic, Length and one more byte.
            const int last = m_fillLevel - int(kFrameOverhead);
            int p = std::max(m_readPos, m_scanEnd);
            while (p <= last) {
                const void *hit = std::memchr(m_buffer + p, 0x5A, size_t(last - p + 1));
                if (!hit) {
                    p = last + 1;
                    break;
                }
                p = int(static_cast<const uint8_t *>(hit) - m_buffer);
                const uint8_t *at = m_buffer + p;
                if (ReadU32(at) == kFrameMagic) {
                    const uint32_t length = ReadU32(at + 4);
                    // Length 0 would leave no command byte: the CRC would be
                    // read as the command.
                    if (length != 0 && length <= kMaxFrameLength) {
                        const int end = p + int(length + kFrameOverhead);
                        if (end > m_fillLevel) {
                            m_waiting.push_back({p, end});
                        } else if (Crc8(at, size_t(end - p - 1)) == at[end - p - 1]) {
                            found = p;
                            size = end - p;
                            break;
                        }
                    }
                }
                ++p;
            }
            m_scanEnd = std::max(m_scanEnd, p);
            if (found < 0)
                return true;
        }

        const std::shared_ptr<const FrameHandler> handler = m_handler;
        (*handler)(m_buffer + found, size_t(size));
        if (destroyed)
            return false;
        m_readPos = found + size;
        auto firstAhead = std::find_if(m_waiting.begin(), m_waiting.end(),
                                       [this](const Waiting &w) { return w.pos >= m_readPos; });
        m_waiting.erase(m_waiting.begin(), firstAhead);
    }
    return true;
}

} // namespace vrs
