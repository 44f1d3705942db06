#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vrs {

class LogSink;

constexpr uint32_t kFrameMagic = 0xAA55A55Au;      // wire: 5A A5 55 AA
constexpr uint32_t kMaxFrameLength = 16384;          // largest accepted Length
constexpr size_t kReceiveBufferSize = 16384;
constexpr size_t kRequestBufferSize = 16393;         // a frame of Length 16384
constexpr size_t kFrameOverhead = 9;                 // magic, length, crc

// Writes a complete frame (magic, Length = 1 + dataCount, command, data,
// CRC-8) into out, which must hold dataCount + 10 bytes; returns its size.
size_t WriteFrame(uint8_t *out, uint8_t command, const uint8_t *data, size_t dataCount);

// The ready frame: 5A A5 55 AA 01 00 00 00 00 B6.
extern const uint8_t kReadyFrame[10];

// Cuts frames out of a byte stream.  Owned by the link object; the frame
// pointer handed to the callback is valid only during the call.
class FrameReceiver {
public:
    using FrameHandler = std::function<void(const uint8_t *frame, size_t size)>;

    void setHandler(FrameHandler handler) { m_handler = std::move(handler); }
    bool hasHandler() const { return bool(m_handler); }
    void setLogSink(LogSink *sink) { m_log = sink; }

    // Appends a chunk, logs it as "Dev: <hex>", and dispatches every complete
    // frame with a good CRC in stream order.
    void Receive(const uint8_t *data, size_t count);
    // Zero-fills the buffer (positions stay) so stale bytes never form a frame.
    void ClearBuffer();

    int ReadPos() const { return m_readPos; }
    int FillLevel() const { return m_fillLevel; }

private:
    uint8_t m_buffer[kReceiveBufferSize] = {};
    int m_readPos = 0;
    int m_fillLevel = 0;
    FrameHandler m_handler;
    LogSink *m_log = nullptr;
};

} // namespace vrs
