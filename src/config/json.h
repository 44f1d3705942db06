#pragma once

#include "json_value.h"

#include <QByteArray>
#include <optional>

namespace vrs {

// The readable layout of configuration files: TAB indentation, CR LF line
// breaks, ": " between key and value, no trailing line break.
QByteArray PrintReadable(const JsonValue &value);
// The compact layout exchanged with devices: no whitespace at all.
QByteArray PrintCompact(const JsonValue &value);
// Lenient reader: BOM, whitespace <= 32, optional and trailing commas, text
// after the first value ignored.  Any failure gives nothing.
std::optional<JsonValue> Parse(const QByteArray &utf8);

} // namespace vrs
