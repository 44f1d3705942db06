#pragma once

#include "link/task.h"

#include <QByteArray>

namespace vrs {

// Packet size assumed when the device reports 0, with which a transfer in
// chunks would never advance.
constexpr uint32_t kDefaultChunk = 1024;
// Largest write chunk whose request (8 bytes of address and size before the
// data) still fits the request buffer.
constexpr uint32_t kMaxWriteChunk = 16375;
// Largest read chunk whose answer (address, size, status before the data)
// still fits the receive buffer.
constexpr uint32_t kMaxReadChunk = 16365;

// The chunk a transfer task really uses for a packet size from the device.
// The task constructors and SetMaxChunk apply these, so creators may pass the
// collector's packet size as it is.
uint32_t ClampWriteChunk(uint32_t packetSize);
uint32_t ClampReadChunk(uint32_t packetSize);

// (task, minimum, position, maximum); position is the offset of the chunk
// just confirmed, before it is counted.
using ProgressHandler = std::function<void(TProgTask *task, uint32_t minimum, uint32_t position, uint32_t maximum)>;

// Commands 1 (firmware) and 7 (configuration): writes TotalSize bytes from
// Source to BaseAddress in chunks of at most MaxChunk.  Source stays owned by
// the creator and must outlive the task.
class TWriteTask : public TProgTask {
public:
    TWriteTask(uint8_t code, const uint8_t *source, uint32_t totalSize, uint32_t baseAddress,
               uint32_t maxChunk, QString caption, ProgressHandler onProgress = {});

    uint32_t BaseAddress() const { return m_baseAddress; }
    uint32_t Address() const { return m_address; }
    uint32_t ChunkSize() const { return m_chunkSize; }
    uint32_t TotalSize() const { return m_totalSize; }
    uint32_t MaxChunk() const { return m_maxChunk; }
    const uint8_t *Source() const { return m_source; }
    // Bounded by ClampWriteChunk.  Before the first request it sizes the
    // first chunk; later ones take it from the chunk after the current one.
    void SetMaxChunk(uint32_t maxChunk);
    void SetOnProgress(ProgressHandler handler) { m_onProgress = std::move(handler); }

    int WriteRequest(uint8_t *dest) override;
    TaskState ParseAnswer(const uint8_t *data, uint32_t length, QString &error) override;

private:
    uint32_t NextChunkSize() const;

    uint32_t m_baseAddress;
    uint32_t m_address;
    uint32_t m_chunkSize;
    const uint8_t *m_source;
    uint32_t m_totalSize;
    ProgressHandler m_onProgress;
    uint32_t m_maxChunk;
};

// Command 9: reads the configuration image stored at BaseAddress.  The first
// chunk asks for MaxChunk bytes; its first four bytes give the stored length
// L, and the image (u32 L, L bytes, u32 CRC-32) is TotalSize = L + 8 bytes.
class TReadTask : public TProgTask {
public:
    TReadTask(uint8_t code, uint32_t baseAddress, uint32_t maxChunk, QString caption,
              ProgressHandler onProgress = {});

    uint32_t BaseAddress() const { return m_baseAddress; }
    uint32_t Address() const { return m_address; }
    uint32_t ChunkSize() const { return m_chunkSize; }
    uint32_t TotalSize() const { return m_totalSize; }
    uint32_t MaxChunk() const { return m_maxChunk; }
    // The image read so far; complete when the task is done.  Empty until the
    // first chunk has been accepted.
    const QByteArray &Buffer() const { return m_buffer; }
    // Bounded by ClampReadChunk.  Before the first request it sizes the
    // first chunk; later ones take it from the chunk after the current one.
    void SetMaxChunk(uint32_t maxChunk);
    void SetOnProgress(ProgressHandler handler) { m_onProgress = std::move(handler); }

    int WriteRequest(uint8_t *dest) override;
    TaskState ParseAnswer(const uint8_t *data, uint32_t length, QString &error) override;

private:
    uint32_t NextChunkSize() const;

    uint32_t m_baseAddress;
    uint32_t m_address;
    uint32_t m_chunkSize;
    QByteArray m_buffer;
    uint32_t m_totalSize = 0;
    ProgressHandler m_onProgress;
    uint32_t m_maxChunk;
};

// Stored configuration lengths from this size up are taken as a damaged area.
constexpr uint32_t kMaxConfigLength = 0x300000;

} // namespace vrs
