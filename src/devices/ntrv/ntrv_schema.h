#pragma once

#include "config/json_value.h"
#include "devices/ntrv/ntrv_device.h"

namespace vrs {

// The members of the "ntrv" object, always all of them, in their fixed order.
JsonValue BuildNtrvObject(const NtrvDevice &device);

// Applies the "ntrv" object to `device`, which keeps what the object leaves
// out where the schema says so.  Throws LoadFailure on a value that cannot be
// taken; `device` may then be half-filled, so callers load into a copy.
void LoadNtrvObject(const JsonValue &object, NtrvDevice &device);

} // namespace vrs
