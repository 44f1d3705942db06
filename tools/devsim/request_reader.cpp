#include "request_reader.h"

#include "link/crc.h"
#include "link/frame.h"

#include <cstring>

namespace vrs::devsim {

namespace {
constexpr qsizetype kLargestFrame = qsizetype(kMaxFrameLength + kFrameOverhead);
}

void RequestReader::Receive(const QByteArray &bytes)
{
    m_buffer.append(bytes);
    const auto *data = reinterpret_cast<const uint8_t *>(m_buffer.constData());
    const qsizetype size = m_buffer.size();
    qsizetype consumed = 0;
    qsizetype p = 0;
    while (p + qsizetype(kFrameOverhead) <= size) {
        const void *hit = std::memchr(data + p, 0x5A, size_t(size - p));
        if (!hit)
            break;
        p = static_cast<const uint8_t *>(hit) - data;
        if (p + qsizetype(kFrameOverhead) > size)
            break;
        if (ReadU32(data + p) != kFrameMagic) {
            ++p;
            continue;
        }
        const uint32_t length = FrameLength(data + p);
        const qsizetype frameSize = qsizetype(length) + qsizetype(kFrameOverhead);
        if (length > kMaxFrameLength || p + frameSize > size
            || Crc8(data + p, size_t(frameSize - 1)) != data[p + frameSize - 1]) {
            ++p;
            continue;
        }
        m_handler(data + p, size_t(frameSize));
        p += frameSize;
        consumed = p;
    }
    // A start that already has a largest frame's room behind it and was not
    // dispatched never will be.
    const qsizetype settled = size - kLargestFrame + 1;
    m_buffer.remove(0, std::max(consumed, settled));
}

} // namespace vrs::devsim
