#pragma once

#include "link/task.h"

#include <QByteArray>

namespace vrs {

// Command 3: the largest packet the device takes; answer u32 packet size.
class TGetPackMaxSizeTask : public TSimpleProgTask {
public:
    TGetPackMaxSizeTask();

    uint32_t AnswerTimeout() const override { return 100; }
    // Raw value from the device; chunk sizes derived from it are bounded by
    // ClampWriteChunk / ClampReadChunk.
    uint32_t PacketSize() const { return m_packetSize; }

protected:
    bool TakeAnswer(const uint8_t *data, uint32_t length, QString &error) override;

private:
    uint32_t m_packetSize = 0;
};

// Command 6: the device's serial number, bytes up to the first 0; a first
// byte of 0xFF means the device has none.
class TGetSerialTask : public TSimpleProgTask {
public:
    TGetSerialTask();

    const QByteArray &SerialNumber() const { return m_serialNumber; }

protected:
    bool TakeAnswer(const uint8_t *data, uint32_t length, QString &error) override;

private:
    QByteArray m_serialNumber;
};

// Command 2: the device checks Size bytes at Address against Checksum.
class TVerifyTask : public TProgTask {
public:
    TVerifyTask(uint32_t address, uint32_t size, uint32_t checksum, QString caption);

    uint32_t Address() const { return m_address; }
    uint32_t Size() const { return m_size; }
    uint32_t Checksum() const { return m_checksum; }

    int WriteRequest(uint8_t *dest) override;
    TaskState ParseAnswer(const uint8_t *data, uint32_t length, QString &error) override;

private:
    uint32_t m_address;
    uint32_t m_size;
    uint32_t m_checksum;
};

// Command 4: where the device starts the loaded program; answer status.
class TSetExecutionPointTask : public TProgTask {
public:
    explicit TSetExecutionPointTask(uint32_t entryPoint);

    uint32_t EntryPoint() const { return m_entryPoint; }

    int WriteRequest(uint8_t *dest) override;
    TaskState ParseAnswer(const uint8_t *data, uint32_t length, QString &error) override;

private:
    uint32_t m_entryPoint;
};

// Command 8: the device checks its stored configuration; answer status.
class TVerifyConfTask : public TProgTask {
public:
    TVerifyConfTask();

    int WriteRequest(uint8_t *dest) override;
    TaskState ParseAnswer(const uint8_t *data, uint32_t length, QString &error) override;
};

} // namespace vrs
