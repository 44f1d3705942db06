#pragma once

#include "sparse_memory.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace vrs::devsim {

// Command codes of the device protocol.
enum Command : uint8_t {
    kCmdReady = 0,
    kCmdWriteFirmware = 1,
    kCmdVerifyBlock = 2,
    kCmdPacketSize = 3,
    kCmdExecutionPoint = 4,
    kCmdSerial = 6,
    kCmdWriteConfig = 7,
    kCmdVerifyConfig = 8,
    kCmdReadConfig = 9,
};

// Status bytes the simulated device answers with (signed on the wire).
enum Status : int8_t {
    kStatusOk = 0,
    kStatusMismatch = -1,      // block checksum differs
    kStatusOutOfRange = -2,    // range outside the memory it addresses
    kStatusMalformed = -3,     // request data too short for its fields
    kStatusTooLarge = -4,      // read answer would not fit one frame
};

// Status of the verify-config command: what the device finds in its area.
enum ConfigCheck : int8_t {
    kConfigGood = 0,
    kConfigErased = 1,         // length field 0xFFFFFFFF
    kConfigBadLength = 2,      // length field 0x300000 or more
    kConfigBadCrc = 3,
};

constexpr uint32_t kConfigErasedLength = 0xFFFFFFFFu;
constexpr uint32_t kConfigMaxLength = 0x300000u;   // first refused length
// Room for the largest acceptable image (L + 8) with a margin.
constexpr uint32_t kConfigAreaSize = 0x310000u;
// Largest read answer payload that still fits the host's 16384-byte receive
// buffer: 9 header bytes, command, address, size, status, CRC.
constexpr uint32_t kMaxReadChunk = 16384 - 19;

struct ConfigInfo {
    ConfigCheck check = kConfigErased;
    uint32_t length = kConfigErasedLength;
    uint32_t storedCrc = 0;
    uint32_t computedCrc = 0;
    QByteArray text;            // only for a length below the limit
    QByteArray image;           // L + 8 bytes, or the 4 length bytes
};

// What the device made of one request, for its command log.
struct CommandRecord {
    uint8_t code = 0;
    std::optional<uint32_t> address;
    std::optional<uint32_t> size;
    std::optional<int> status;
    QString outcome;            // filled by the exchange: answered, dropped, ...
};

// The memory and identity of the simulated device and its command set.
// Holds no I/O: the exchange hands it request data and sends what it returns.
class DeviceState {
public:
    // Stores a configuration image for the text with a correct CRC-32, or a
    // deliberately wrong one.
    void StoreConfigText(const QByteArray &text, bool goodCrc = true);
    void EraseConfig() { m_config.Clear(); }
    ConfigInfo InspectConfig() const;

    SparseMemory &ConfigArea() { return m_config; }
    const SparseMemory &ConfigArea() const { return m_config; }
    SparseMemory &Firmware() { return m_firmware; }
    const SparseMemory &Firmware() const { return m_firmware; }

    std::optional<uint32_t> ExecutionPoint() const { return m_entryPoint; }

    // Empty: the device has no serial number and answers 0xFF.
    void SetSerial(const QByteArray &serial) { m_serial = serial; }
    QByteArray Serial() const { return m_serial; }
    // None: the packet-size query is never answered (a device outside its
    // loader).
    void SetPacketSize(std::optional<uint32_t> size) { m_packetSize = size; }
    std::optional<uint32_t> PacketSize() const { return m_packetSize; }

    // Carries out one request; returns the answer data, or nothing when the
    // device does not answer this command.  record gets what was asked.
    std::optional<QByteArray> Execute(uint8_t command, const uint8_t *data, size_t count,
                                      CommandRecord *record);

    // The fields of a request as far as its data carries them, without
    // carrying it out (for requests the exchange does not answer).
    static CommandRecord Describe(uint8_t command, const uint8_t *data, size_t count);
    static QString CommandName(uint8_t command);

private:
    QByteArray WriteAnswer(SparseMemory &memory, uint64_t limit, const uint8_t *data,
                           size_t count, CommandRecord *record);

    SparseMemory m_config;
    SparseMemory m_firmware;
    std::optional<uint32_t> m_entryPoint;
    QByteArray m_serial;
    std::optional<uint32_t> m_packetSize = 1024;
};

} // namespace vrs::devsim
