#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vrs::devsim {

// Cuts the host's frames out of the byte stream.  Unlike the host's own
// receiver, whose buffer ends at 16384 bytes, it takes every frame the host
// can send: Length up to 16384, that is up to 16393 bytes in all (a write of
// a 16375-byte chunk).  Junk and broken frames are skipped; the buffer never
// holds more than one largest frame's worth of undecided bytes.
class RequestReader {
public:
    using Handler = std::function<void(const uint8_t *frame, size_t size)>;

    explicit RequestReader(Handler handler) : m_handler(std::move(handler)) {}
    void Receive(const QByteArray &bytes);

private:
    Handler m_handler;
    QByteArray m_buffer;
};

} // namespace vrs::devsim
