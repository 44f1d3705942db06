#include "link/task_query.h"

#include "link/frame.h"

namespace vrs {

namespace {

// Address, size and status: the start of every block command's answer.
constexpr uint32_t kBlockAnswerSize = 9;

// Error texts print every number as a signed 32-bit decimal.
int Signed(uint32_t value) { return int(int32_t(value)); }
int Status(uint8_t status) { return int(int8_t(status)); }

} // namespace

TGetPackMaxSizeTask::TGetPackMaxSizeTask()
    : TSimpleProgTask(3, QStringLiteral("запрос максимального размера пакета"))
{
}

bool TGetPackMaxSizeTask::TakeAnswer(const uint8_t *data, uint32_t length, QString &error)
{
    if (length < 4) {
        error = QString::asprintf("короткий ответ на запрос размера пакета: %d байт вместо 4", Signed(length));
        return false;
    }
    m_packetSize = ReadU32(data);
    return true;
}

TGetSerialTask::TGetSerialTask()
    : TSimpleProgTask(6, QStringLiteral("чтение серийного номера устройства"))
{
}

bool TGetSerialTask::TakeAnswer(const uint8_t *data, uint32_t length, QString &)
{
    if (length == 0)
        return true;
    if (data[0] == 0xFF) {
        m_serialNumber.clear();
        return true;
    }
    uint32_t end = 0;
    while (end < length && data[end] != 0)
        ++end;
    m_serialNumber = QByteArray(reinterpret_cast<const char *>(data), qsizetype(end));
    return true;
}

TVerifyTask::TVerifyTask(uint32_t address, uint32_t size, uint32_t checksum, QString caption)
    : TProgTask(2, std::move(caption)), m_address(address), m_size(size), m_checksum(checksum)
{
}

int TVerifyTask::WriteRequest(uint8_t *dest)
{
    WriteU32(dest, m_address);
    WriteU32(dest + 4, m_size);
    WriteU32(dest + 8, m_checksum);
    return 12;
}

TaskState TVerifyTask::ParseAnswer(const uint8_t *data, uint32_t length, QString &error)
{
    if (length < kBlockAnswerSize) {
        error = QString::asprintf("короткий ответ на команду верификации: %d байт вместо %d",
                                  Signed(length), Signed(kBlockAnswerSize));
        return tsFailed;
    }
    const uint32_t a = ReadU32(data);
    const uint32_t s = ReadU32(data + 4);
    const uint8_t st = data[8];
    if (st != 0) {
        error = QString::asprintf("ошибка верификации (%d) [%d байт в адрес %d]", Status(st),
                                  Signed(m_size), Signed(m_address));
        return tsFailed;
    }
    if (a != m_address) {
        error = QString::asprintf("на команду верификации вернулся другой адрес: %d вместо %d",
                                  Signed(a), Signed(m_address));
        return tsFailed;
    }
    if (s != m_size) {
        error = QString::asprintf("на команду верификации вернулся другой размер: %d вместо %d",
                                  Signed(s), Signed(m_size));
        return tsFailed;
    }
    return tsDone;
}

TSetExecutionPointTask::TSetExecutionPointTask(uint32_t entryPoint)
    : TProgTask(4, QString::asprintf("запись точки входа в программу (%08X).", entryPoint)),
      m_entryPoint(entryPoint)
{
}

int TSetExecutionPointTask::WriteRequest(uint8_t *dest)
{
    WriteU32(dest, m_entryPoint);
    return 4;
}

TaskState TSetExecutionPointTask::ParseAnswer(const uint8_t *data, uint32_t length, QString &error)
{
    if (length < 1) {
        error = QStringLiteral("пустой ответ на команду записи точки входа в программу");
        return tsFailed;
    }
    if (data[0] != 0) {
        error = QString::asprintf("ошибка записи точки входа в программу (%d)", Status(data[0]));
        return tsFailed;
    }
    return tsDone;
}

TVerifyConfTask::TVerifyConfTask()
    : TProgTask(8, QStringLiteral("Верификация конфигурации"))
{
}

int TVerifyConfTask::WriteRequest(uint8_t *)
{
    return 0;
}

TaskState TVerifyConfTask::ParseAnswer(const uint8_t *data, uint32_t length, QString &error)
{
    if (length < 1) {
        error = QStringLiteral("Пустой ответ на команду верификации конфигурации");
        return tsFailed;
    }
    if (data[0] != 0) {
        error = QString::asprintf("Ошибка верификации %d", Status(data[0]));
        return tsFailed;
    }
    return tsDone;
}

} // namespace vrs
