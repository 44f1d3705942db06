#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace vrs {

// The configuration-file codec.  Every function keeps whatever bytes it is
// given; none of them looks at the text as characters.

// Byte-by-byte scrambling with a 16-bit running key.  Only the first
// (length mod 65536) bytes are changed: the stored files were written with a
// 16-bit position counter, so both directions must keep that count.
QByteArray Scramble(const QByteArray &text, quint16 key);
QByteArray Unscramble(const QByteArray &bytes, quint16 key);

// 3 bytes -> 4 characters of "A-Za-z0-9+/", little-endian, no padding; a
// short last group gives 2 or 3 characters.  Decoding maps every character
// outside the alphabet to 0, and a lone last character decodes to nothing.
QByteArray EncodeGroups(const QByteArray &bytes);
QByteArray DecodeGroups(const QByteArray &chars);

// Scramble then EncodeGroups; DecodeGroups then Unscramble.
QByteArray EncodeConfig(const QByteArray &text, quint16 key);
QByteArray DecodeConfig(const QByteArray &chars, quint16 key);

} // namespace vrs
