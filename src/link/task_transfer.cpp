#include "link/task_transfer.h"

#include "link/frame.h"

#include <algorithm>
#include <cstring>

namespace vrs {

namespace {

constexpr uint32_t kBlockAnswerSize = 9; // address, size, status
constexpr uint32_t kStoredLengthSize = 4;
constexpr uint32_t kNoConfiguration = 0xFFFFFFFFu; // erased flash

int Signed(uint32_t value) { return int(int32_t(value)); }
int Status(uint8_t status) { return int(int8_t(status)); }

// Sums in 64 bits: an area at the top of the address space must not wrap
// round and look finished, or unfinished, too early.
uint32_t Remaining(uint32_t base, uint32_t total, uint32_t address)
{
    const uint64_t end = uint64_t(base) + total;
    return address >= end ? 0 : uint32_t(end - address);
}

bool Reaches(uint32_t address, uint32_t chunk, uint32_t base, uint32_t total)
{
    return uint64_t(address) + chunk >= uint64_t(base) + total;
}

// Texts shared by the write and the read task: the device reports both
// commands the same way.
QString StatusError(uint8_t status, uint32_t chunk, uint32_t address)
{
    return QString::asprintf("ошибка записи (%d): запись %d байт в адрес %d", Status(status),
                             Signed(chunk), Signed(address));
}
QString AddressError(uint32_t got, uint32_t expected)
{
    return QString::asprintf("на команду записи вернулся другой адрес: %d вместо %d", Signed(got),
                             Signed(expected));
}
QString SizeError(uint32_t got, uint32_t expected)
{
    return QString::asprintf("на команду записи вернулся другой размер: %d вместо %d", Signed(got),
                             Signed(expected));
}

// Status, address and size, checked in the device's order of importance.
bool CheckBlockAnswer(const uint8_t *data, uint32_t address, uint32_t chunk, QString &error)
{
    const uint32_t a = ReadU32(data);
    const uint32_t s = ReadU32(data + 4);
    const uint8_t st = data[8];
    if (st != 0)
        error = StatusError(st, chunk, address);
    else if (a != address)
        error = AddressError(a, address);
    else if (s != chunk)
        error = SizeError(s, chunk);
    else
        return true;
    return false;
}

} // namespace

uint32_t ClampWriteChunk(uint32_t packetSize)
{
    return packetSize == 0 ? kDefaultChunk : std::min(packetSize, kMaxWriteChunk);
}

uint32_t ClampReadChunk(uint32_t packetSize)
{
    return packetSize == 0 ? kDefaultChunk : std::min(packetSize, kMaxReadChunk);
}

TWriteTask::TWriteTask(uint8_t code, const uint8_t *source, uint32_t totalSize, uint32_t baseAddress,
                       uint32_t maxChunk, QString caption, ProgressHandler onProgress)
    : TProgTask(code, std::move(caption)),
      m_baseAddress(baseAddress),
      m_address(baseAddress),
      m_source(source),
      m_totalSize(totalSize),
      m_onProgress(std::move(onProgress)),
      m_maxChunk(ClampWriteChunk(maxChunk))
{
    m_chunkSize = NextChunkSize();
}

uint32_t TWriteTask::NextChunkSize() const
{
    return std::min(m_maxChunk, Remaining(m_baseAddress, m_totalSize, m_address));
}

void TWriteTask::SetMaxChunk(uint32_t maxChunk)
{
    m_maxChunk = ClampWriteChunk(maxChunk);
    if (!Sent())
        m_chunkSize = NextChunkSize();
}

int TWriteTask::WriteRequest(uint8_t *dest)
{
    WriteU32(dest, m_address);
    WriteU32(dest + 4, m_chunkSize);
    if (m_chunkSize != 0)
        std::memcpy(dest + 8, m_source + (m_address - m_baseAddress), m_chunkSize);
    return int(m_chunkSize + 8);
}

TaskState TWriteTask::ParseAnswer(const uint8_t *data, uint32_t length, QString &error)
{
    if (length < kBlockAnswerSize) {
        error = QString::asprintf("короткий ответ на команду записи: %d байт вместо %d", Signed(length),
                                  Signed(kBlockAnswerSize));
        return tsFailed;
    }
    if (!CheckBlockAnswer(data, m_address, m_chunkSize, error))
        return tsFailed;
    if (m_onProgress)
        m_onProgress(this, 0, m_address - m_baseAddress, m_totalSize);
    if (Reaches(m_address, m_chunkSize, m_baseAddress, m_totalSize))
        return tsDone;
    ResetAttempts();
    m_address += m_chunkSize;
    m_chunkSize = NextChunkSize();
    return State();
}

TReadTask::TReadTask(uint8_t code, uint32_t baseAddress, uint32_t maxChunk, QString caption,
                     ProgressHandler onProgress)
    : TProgTask(code, std::move(caption)),
      m_baseAddress(baseAddress),
      m_address(baseAddress),
      m_onProgress(std::move(onProgress)),
      m_maxChunk(ClampReadChunk(maxChunk))
{
    m_chunkSize = m_maxChunk;
}

uint32_t TReadTask::NextChunkSize() const
{
    return std::min(m_maxChunk, Remaining(m_baseAddress, m_totalSize, m_address));
}

void TReadTask::SetMaxChunk(uint32_t maxChunk)
{
    m_maxChunk = ClampReadChunk(maxChunk);
    if (!Sent())
        m_chunkSize = m_address == m_baseAddress ? m_maxChunk : NextChunkSize();
}

int TReadTask::WriteRequest(uint8_t *dest)
{
    WriteU32(dest, m_address);
    WriteU32(dest + 4, m_chunkSize);
    return 8;
}

TaskState TReadTask::ParseAnswer(const uint8_t *data, uint32_t length, QString &error)
{
    const auto shortAnswer = [&](uint32_t needed) {
        error = QString::asprintf("короткий ответ на команду чтения: %d байт вместо %d", Signed(length),
                                  Signed(needed));
        return tsFailed;
    };
    if (length < kBlockAnswerSize)
        return shortAnswer(kBlockAnswerSize);
    if (!CheckBlockAnswer(data, m_address, m_chunkSize, error))
        return tsFailed;
    const uint8_t *bytes = data + kBlockAnswerSize;

    // The image starts with its own length; only the first chunk says how
    // much there is to read.
    if (m_address == m_baseAddress) {
        if (length < kBlockAnswerSize + kStoredLengthSize)
            return shortAnswer(kBlockAnswerSize + kStoredLengthSize);
        const uint32_t stored = ReadU32(bytes);
        if (stored == kNoConfiguration) {
            error = QStringLiteral("Отсутствует файл конфигурации в устройстве");
            return tsFailed;
        }
        if (stored >= kMaxConfigLength) {
            error = QStringLiteral("Некорректный размер файла конфигурации");
            return tsFailed;
        }
        m_totalSize = stored + 8;
        m_buffer = QByteArray(qsizetype(m_totalSize), '\0');
    }

    const uint32_t offset = m_address - m_baseAddress;
    const uint32_t count = std::min(m_chunkSize, Remaining(m_baseAddress, m_totalSize, m_address));
    if (uint64_t(length) < uint64_t(kBlockAnswerSize) + count)
        return shortAnswer(kBlockAnswerSize + count);
    if (count != 0)
        std::memcpy(m_buffer.data() + offset, bytes, count);

    if (m_onProgress)
        m_onProgress(this, 0, offset, m_totalSize);
    if (Reaches(m_address, m_chunkSize, m_baseAddress, m_totalSize))
        return tsDone;
    ResetAttempts();
    m_address += m_chunkSize;
    m_chunkSize = NextChunkSize();
    return State();
}

} // namespace vrs
