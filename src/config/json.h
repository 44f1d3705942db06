#pragma once

#include "json_value.h"

#include <QByteArray>
#include <optional>

namespace vrs {

// The readable layout of configuration files: TAB indentation, CR LF line
// breaks, ": " between key and value, no trailing line break.
QByteArray PrintReadable(const JsonValue &value);
// The compact layout exchanged with devices: no whitespace at all.
// Both layouts write text as raw UTF-8 (only '"', '\\' and bytes below 32
// escaped) and numbers with up to 15 significant digits, "." as separator
// and "E" for exponents ("1E20", "1.5E-7"); NaN and infinities, which JSON
// cannot express, print as null.
QByteArray PrintCompact(const JsonValue &value);
// Lenient reader: BOM, whitespace <= 32, optional and trailing commas, text
// after the first value ignored.  Any failure gives nothing, as does nesting
// deeper than 512 containers.  Text stays Unicode: characters that the old
// 8-bit code page could not hold are kept, not lost.
std::optional<JsonValue> Parse(const QByteArray &utf8);

} // namespace vrs
