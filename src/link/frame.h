#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace vrs {

class LogSink;

// Frame layout: u32 magic, u32 Length (command byte + data), command, data,
// CRC-8 over everything before it.  Integers are little-endian.
constexpr uint32_t kFrameMagic = 0xAA55A55Au;      // wire: 5A A5 55 AA
constexpr uint32_t kMaxFrameLength = 16384;          // largest accepted Length
constexpr size_t kReceiveBufferSize = 16384;
constexpr size_t kRequestBufferSize = 16393;         // a frame of Length 16384
constexpr size_t kFrameOverhead = 9;                 // magic, length, crc
constexpr size_t kFrameHeaderSize = 8;               // magic, length
constexpr size_t kFrameDataOffset = 9;               // data after the command byte

// Little-endian access to wire integers at any alignment.
inline uint32_t ReadU32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void WriteU32(uint8_t *p, uint32_t value)
{
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
    p[2] = uint8_t(value >> 16);
    p[3] = uint8_t(value >> 24);
}

// The fields of a frame that the receiver has already checked.
inline uint32_t FrameLength(const uint8_t *frame) { return ReadU32(frame + 4); }
inline uint8_t FrameCommand(const uint8_t *frame) { return frame[8]; }
inline const uint8_t *FrameData(const uint8_t *frame) { return frame + kFrameDataOffset; }

// Completes a frame whose dataCount data bytes already sit at offset 9 of
// out: writes magic, Length, command and the CRC-8; returns the total size.
size_t FinishFrame(uint8_t *out, uint8_t command, size_t dataCount);

// Writes a complete frame (magic, Length = 1 + dataCount, command, data,
// CRC-8) into out, which must hold dataCount + 10 bytes; returns its size.
// data may lie inside out.
size_t WriteFrame(uint8_t *out, uint8_t command, const uint8_t *data, size_t dataCount);

// The ready frame: 5A A5 55 AA 01 00 00 00 00 B6.
extern const uint8_t kReadyFrame[10];

// Cuts frames out of a byte stream.  The link object embeds one, gives it its
// frame handler, and moves its own state from connecting to connected before
// passing on a chunk (only a chunk that WillAccept: a handler is set and the
// chunk is not empty).
//
// The frame pointer handed to the handler points into the receive buffer and
// is valid only during the call.  The handler may call back into the link:
// a chunk that arrives during the call (a nested event loop) is logged at once
// and its frames follow once the current chunk has been dispatched; a new
// handler takes over from the next frame; destroying the receiver stops the
// dispatch.
class FrameReceiver {
public:
    using FrameHandler = std::function<void(const uint8_t *frame, size_t size)>;

    FrameReceiver() = default;
    ~FrameReceiver();
    FrameReceiver(const FrameReceiver &) = delete;
    FrameReceiver &operator=(const FrameReceiver &) = delete;

    void setHandler(FrameHandler handler);
    bool hasHandler() const { return m_handler && *m_handler; }
    // Traffic log for the "Dev: " lines; null logs nothing.
    void setLogSink(LogSink *sink) { m_log = sink; }

    // Whether Receive would do anything with a chunk of count bytes.
    bool WillAccept(size_t count) const { return count != 0 && m_handler && *m_handler; }
    // Appends a chunk, logs it as "Dev: <hex>", and dispatches every complete
    // frame with a good CRC in stream order.  Bytes that find no room in the
    // buffer are dropped (but logged).
    void Receive(const uint8_t *data, size_t count);
    // Zero-fills the buffer (positions stay) so stale bytes never form a frame.
    void ClearBuffer();

    int ReadPos() const { return m_readPos; }
    int FillLevel() const { return m_fillLevel; }

private:
    void Append(const uint8_t *data, size_t count);
    // Returns false when the receiver was destroyed by a handler.
    bool Dispatch();

    uint8_t m_buffer[kReceiveBufferSize] = {};
    int m_readPos = 0;
    int m_fillLevel = 0;
    // What earlier scans learnt, so that a chunk costs a look at its own
    // bytes only: every position from ReadPos up to m_scanEnd either starts
    // no frame, ever, or is in m_waiting, a frame header whose bytes have not
    // all arrived yet (position and end, in stream order).
    struct Waiting {
        int pos;
        int end;
    };
    int m_scanEnd = 0;
    std::vector<Waiting> m_waiting;
    // Shared so that a handler replaced during its own call lives on until
    // the call returns.
    std::shared_ptr<const FrameHandler> m_handler;
    LogSink *m_log = nullptr;

    bool m_dispatching = false;
    bool *m_destroyed = nullptr;
    // Chunks that arrived while a handler ran, in order.
    std::deque<std::vector<uint8_t>> m_deferred;
};

} // namespace vrs
