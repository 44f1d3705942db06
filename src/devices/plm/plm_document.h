#pragma once

#include "config/json_value.h"
#include "devices/plm/plm_values.h"
#include "devices/plm/sensors.h"

namespace vrs::plmdoc {

// The "asudd" object of these values, every key in the order devices and
// stored files know.
JsonValue Build(const TPLMValues &values, const TSensorsSettings &sensors);

// Reads an "asudd" object over `values`: what the document leaves out keeps
// its value, apart from the switches a missing channel or module turns off.
// When the document has "det", the directions and BODs are built into
// `sensors`, which must come in empty, and *sensorsRead is set; otherwise the
// current ones stay and *sensorsRead is cleared.  Throws LoadError, leaving
// `values` and `sensors` half-read: callers read into copies.
void Read(const JsonValue &asudd, TPLMValues &values, TSensorsSettings &sensors, bool *sensorsRead);

} // namespace vrs::plmdoc
