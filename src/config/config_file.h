#pragma once

#include "device_type.h"
#include "json_value.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace vrs {

// The scrambler key of every configuration file the system writes.
constexpr quint16 kConfigKey = 38117;

// The content of a ".vr5" file turned back into its root object; nothing when
// it does not decode and parse to a JSON object.
std::optional<JsonValue> DecodeConfigText(const QByteArray &fileBytes);
// The bytes of a ".vr5" file for a root object: the readable layout, encoded.
QByteArray EncodeConfigText(const JsonValue &root);

// Reads and decodes a whole configuration file.  On failure *root is left
// alone and *error (when given) holds a message naming the file.
bool ReadConfigFile(const QString &path, JsonValue *root, QString *error);
// Writes through a temporary file, so a failed save keeps the old file.
bool WriteConfigFile(const QString &path, const JsonValue &root, QString *error);

// The document type of a root object: the first of "asudd", "ntrv",
// "whmeter" present, looking only from the key of `start` on (NTRV starts at
// "ntrv", ZMT at "whmeter", any other type at "asudd").  dtNone when none is.
DeviceType RecognizeDeviceType(const JsonValue &root, DeviceType start = dtNone);
// "asudd", "ntrv" or "whmeter"; empty for types that have no files.
QString RootKeyOf(DeviceType type);

} // namespace vrs
