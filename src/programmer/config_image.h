#pragma once

#include "config/device_type.h"

#include <QByteArray>
#include <QString>

namespace vrs {

// The configuration image a device stores: length (4 bytes), the JSON text
// of its configuration set, CRC-32 of the text (4 bytes).
QByteArray BuildConfigImage(const QByteArray &text);
// Whether the image is whole (length field matches) and its CRC matches.
bool ConfigImageCrcOk(const QByteArray &image);
// The text between the length field and the CRC; empty for a short image.
QByteArray ConfigImageText(const QByteArray &image);

// Puts the document's member of that type (named by its root key) into the stored set, replacing an
// earlier one and keeping every other member.  When the stored text is not a
// JSON object or the document lacks the member, the document's own text is
// what gets written, as before.
QByteArray MergeConfiguration(const QByteArray &storedText, const QByteArray &documentJson,
                              DeviceType type);

} // namespace vrs
