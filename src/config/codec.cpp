#include "codec.h"

#include <array>

namespace vrs {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Characters outside the alphabet count as 0, as the stored files expect.
constexpr std::array<uchar, 256> makeDecodeTable()
{
    std::array<uchar, 256> t{};
    for (int i = 0; i < 64; ++i)
        t[uchar(kAlphabet[i])] = uchar(i);
    return t;
}
constexpr std::array<uchar, 256> kDecode = makeDecodeTable();

inline quint16 nextKey(quint16 k, uchar scrambled)
{
    return quint16((unsigned(scrambled) + k) * 25560u + 76078u);
}

// Scrambles [0, count) of src into dst, carrying the key across calls so a
// long text can be handled in pieces.
inline void scrambleRun(const uchar *src, uchar *dst, qsizetype count, quint16 &key)
{
    quint16 k = key;
    for (qsizetype i = 0; i < count; ++i) {
        const uchar out = uchar(src[i] ^ (k >> 8));
        dst[i] = out;
        k = nextKey(k, out);
    }
    key = k;
}

inline void unscrambleRun(const uchar *src, uchar *dst, qsizetype count, quint16 &key)
{
    quint16 k = key;
    for (qsizetype i = 0; i < count; ++i) {
        const uchar in = src[i];
        dst[i] = uchar(in ^ (k >> 8));
        k = nextKey(k, in);
    }
    key = k;
}

qsizetype scrambledCount(qsizetype length)
{
    return length % 65536;
}

qsizetype encodedLength(qsizetype bytes)
{
    static constexpr qsizetype tail[3] = {0, 2, 3};
    return bytes / 3 * 4 + tail[bytes % 3];
}

qsizetype decodedLength(qsizetype chars)
{
    static constexpr qsizetype tail[4] = {0, 0, 1, 2};
    return chars / 4 * 3 + tail[chars % 4];
}

// Encodes count bytes; count must be a multiple of 3 unless it is the end.
char *encodeRun(const uchar *src, qsizetype count, char *dst)
{
    qsizetype i = 0;
    for (; i + 3 <= count; i += 3) {
        const quint32 v = quint32(src[i]) | quint32(src[i + 1]) << 8 | quint32(src[i + 2]) << 16;
        dst[0] = kAlphabet[v & 63];
        dst[1] = kAlphabet[(v >> 6) & 63];
        dst[2] = kAlphabet[(v >> 12) & 63];
        dst[3] = kAlphabet[(v >> 18) & 63];
        dst += 4;
    }
    const qsizetype rest = count - i;
    if (rest == 1) {
        const quint32 v = src[i];
        *dst++ = kAlphabet[v & 63];
        *dst++ = kAlphabet[(v >> 6) & 63];
    } else if (rest == 2) {
        const quint32 v = quint32(src[i]) | quint32(src[i + 1]) << 8;
        *dst++ = kAlphabet[v & 63];
        *dst++ = kAlphabet[(v >> 6) & 63];
        *dst++ = kAlphabet[(v >> 12) & 63];
    }
    return dst;
}

void decodeAll(const uchar *src, qsizetype count, uchar *dst)
{
    qsizetype i = 0;
    for (; i + 4 <= count; i += 4) {
        const quint32 v = quint32(kDecode[src[i]]) | quint32(kDecode[src[i + 1]]) << 6
            | quint32(kDecode[src[i + 2]]) << 12 | quint32(kDecode[src[i + 3]]) << 18;
        dst[0] = uchar(v);
        dst[1] = uchar(v >> 8);
        dst[2] = uchar(v >> 16);
        dst += 3;
    }
    const qsizetype rest = count - i;
    if (rest == 2) {
        const quint32 v = quint32(kDecode[src[i]]) | quint32(kDecode[src[i + 1]]) << 6;
        dst[0] = uchar(v);
    } else if (rest == 3) {
        const quint32 v = quint32(kDecode[src[i]]) | quint32(kDecode[src[i + 1]]) << 6
            | quint32(kDecode[src[i + 2]]) << 12;
        dst[0] = uchar(v);
        dst[1] = uchar(v >> 8);
    }
}

const uchar *bytesOf(const QByteArray &a)
{
    return reinterpret_cast<const uchar *>(a.constData());
}

} // namespace

QByteArray Scramble(const QByteArray &text, quint16 key)
{
    QByteArray out = text;
    if (out.isEmpty())
        return out;
    uchar *p = reinterpret_cast<uchar *>(out.data());
    scrambleRun(p, p, scrambledCount(out.size()), key);
    return out;
}

QByteArray Unscramble(const QByteArray &bytes, quint16 key)
{
    QByteArray out = bytes;
    if (out.isEmpty())
        return out;
    uchar *p = reinterpret_cast<uchar *>(out.data());
    unscrambleRun(p, p, scrambledCount(out.size()), key);
    return out;
}

QByteArray EncodeGroups(const QByteArray &bytes)
{
    QByteArray out(encodedLength(bytes.size()), Qt::Uninitialized);
    if (!out.isEmpty())
        encodeRun(bytesOf(bytes), bytes.size(), out.data());
    return out;
}

QByteArray DecodeGroups(const QByteArray &chars)
{
    QByteArray out(decodedLength(chars.size()), Qt::Uninitialized);
    if (!out.isEmpty())
        decodeAll(bytesOf(chars), chars.size(), reinterpret_cast<uchar *>(out.data()));
    return out;
}

QByteArray EncodeConfig(const QByteArray &text, quint16 key)
{
    const qsizetype length = text.size();
    QByteArray out(encodedLength(length), Qt::Uninitialized);
    if (out.isEmpty())
        return out;
    const uchar *src = bytesOf(text);
    char *dst = out.data();
    // Scramble through a small buffer that stays in cache instead of a full
    // copy of the text; the piece size keeps groups whole.
    constexpr qsizetype kPiece = 3 * 2048;
    uchar piece[kPiece];
    const qsizetype scrambled = scrambledCount(length);
    qsizetype pos = 0;
    while (pos < scrambled) {
        const qsizetype n = qMin(kPiece, scrambled - pos);
        scrambleRun(src + pos, piece, n, key);
        if (n % 3 == 0 || pos + n == length) {
            dst = encodeRun(piece, n, dst);
            pos += n;
            continue;
        }
        // The scrambled part ends inside a group: finish that group with the
        // plain bytes that follow.
        const qsizetype whole = n - n % 3;
        dst = encodeRun(piece, whole, dst);
        uchar group[3];
        const qsizetype fromPiece = n - whole;
        for (qsizetype i = 0; i < fromPiece; ++i)
            group[i] = piece[whole + i];
        const qsizetype fromText = qMin<qsizetype>(3 - fromPiece, length - pos - n);
        for (qsizetype i = 0; i < fromText; ++i)
            group[fromPiece + i] = src[pos + n + i];
        dst = encodeRun(group, fromPiece + fromText, dst);
        pos += n + fromText;
    }
    if (pos < length)
        dst = encodeRun(src + pos, length - pos, dst);
    Q_ASSERT(dst == out.data() + out.size());
    return out;
}

QByteArray DecodeConfig(const QByteArray &chars, quint16 key)
{
    QByteArray out = DecodeGroups(chars);
    if (out.isEmpty())
        return out;
    uchar *p = reinterpret_cast<uchar *>(out.data());
    unscrambleRun(p, p, scrambledCount(out.size()), key);
    return out;
}

} // namespace vrs
