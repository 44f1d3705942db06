#pragma once

#include "devices/device_model.h"

#include <memory>

namespace vrs {

// A new default document of a type that has files (PLM, NTRV, ZMT); nothing
// for the others.
std::unique_ptr<DeviceModel> CreateDeviceModel(DeviceType type);

} // namespace vrs
