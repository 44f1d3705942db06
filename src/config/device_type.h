#pragma once

#include <cstdint>

namespace vrs {

// Device type codes shared by files, documents, actions and the programmer.
enum DeviceType : uint8_t { dtNone = 0, dtVRS = 1, dtPLM = 2, dtNTRV = 3, dtZMT = 4 };

// Programmer modes.
enum ProgrammerMode : uint8_t { pmReadConfig = 0, pmWriteConfig = 1, pmFirmware = 2 };

} // namespace vrs
