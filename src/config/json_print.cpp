#include "json.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace vrs {

namespace {

// Appends into a QByteArray kept at its capacity; the real length is `used`.
// Writing through data() avoids a size check and detach test per byte.
class Output {
public:
    Output() { m_buf.resize(4096); }

    char *reserve(qsizetype n)
    {
        if (m_buf.size() - m_used < n)
            m_buf.resize(qMax(m_buf.size() * 2, m_used + n));
        return m_buf.data() + m_used;
    }
    void commit(char *end) { m_used = end - m_buf.data(); }

    void put(char c) { *reserve(1) = c; ++m_used; }
    void put(const char *s, qsizetype n)
    {
        std::memcpy(reserve(n), s, size_t(n));
        m_used += n;
    }
    void indent(int level)
    {
        if (level <= 0)
            return;
        std::memset(reserve(level), '\t', size_t(level));
        m_used += level;
    }

    QByteArray take()
    {
        m_buf.truncate(m_used);
        return std::move(m_buf);
    }

private:
    QByteArray m_buf;
    qsizetype m_used = 0;
};

// How each ASCII byte is written inside a string: 0 unchanged, 'u' as \u00XX,
// otherwise a backslash and that letter.
constexpr char kEscape[128] = {
    'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'b', 't', 'n', 'u', 'f', 'r', 'u', 'u',
    'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u', 'u',
    0,   0,   '"', 0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   '\\', 0,  0,   0,
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
};

void printString(Output &out, const QString &s)
{
    const ushort *u = s.utf16();
    const qsizetype n = s.size();
    // Worst cases: a control character takes 6 bytes, a UTF-16 unit 3.
    char *d = out.reserve(n * 6 + 2);
    *d++ = '"';
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = u[i];
        if (c < 0x80) {
            const char e = kEscape[c];
            if (!e) {
                *d++ = char(c);
            } else if (e != 'u') {
                *d++ = '\\';
                *d++ = e;
            } else {
                static constexpr char hex[] = "0123456789ABCDEF";
                std::memcpy(d, "\\u00", 4);
                d[4] = hex[c >> 4];
                d[5] = hex[c & 15];
                d += 6;
            }
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && i + 1 < n && u[i + 1] >= 0xDC00 && u[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (u[i + 1] - 0xDC00);
                ++i;
            } else {
                c = 0xFFFD; // a lone surrogate has no UTF-8 form
            }
        }
        if (c < 0x800) {
            *d++ = char(0xC0 | (c >> 6));
            *d++ = char(0x80 | (c & 63));
        } else if (c < 0x10000) {
            *d++ = char(0xE0 | (c >> 12));
            *d++ = char(0x80 | ((c >> 6) & 63));
            *d++ = char(0x80 | (c & 63));
        } else {
            *d++ = char(0xF0 | (c >> 18));
            *d++ = char(0x80 | ((c >> 12) & 63));
            *d++ = char(0x80 | ((c >> 6) & 63));
            *d++ = char(0x80 | (c & 63));
        }
    }
    *d++ = '"';
    out.commit(d);
}

// General format with 15 significant digits, as the stored files have it:
// plain decimals while the decimal exponent is in [-5, 14], otherwise an
// upper-case "E" exponent with no "+" and no leading zeros ("1E20", "1.5E-7").
// Always "." whatever the locale.  Values that have no JSON form (NaN,
// infinities) print as null so that the text stays readable.
qsizetype PrintNumber(double v, char *buf)
{
    if (!std::isfinite(v)) {
        std::memcpy(buf, "null", 4);
        return 4;
    }
    if (v == 0) {
        buf[0] = '0';
        return 1;
    }
    if (v == std::trunc(v) && std::fabs(v) < 1e15) {
        const auto r = std::to_chars(buf, buf + 32, static_cast<long long>(v));
        return r.ptr - buf;
    }
    char tmp[40];
    const auto r = std::to_chars(tmp, tmp + sizeof tmp, v, std::chars_format::general, 15);
    char *d = buf;
    for (const char *s = tmp; s < r.ptr; ++s) {
        if (*s != 'e') {
            *d++ = *s;
            continue;
        }
        *d++ = 'E';
        ++s;
        if (*s == '-')
            *d++ = '-';
        ++s; // the sign
        while (s + 1 < r.ptr && *s == '0')
            ++s;
        while (s < r.ptr)
            *d++ = *s++;
        break;
    }
    return d - buf;
}

void printScalar(Output &out, const JsonValue &v)
{
    switch (v.type()) {
    case JsonValue::Type::Null: out.put("null", 4); break;
    case JsonValue::Type::Bool:
        if (v.boolValue())
            out.put("true", 4);
        else
            out.put("false", 5);
        break;
    case JsonValue::Type::Number: {
        char *d = out.reserve(40);
        out.commit(d + PrintNumber(v.number(), d));
        break;
    }
    case JsonValue::Type::String: printString(out, v.string()); break;
    default: break;
    }
}

void printCompact(Output &out, const JsonValue &v)
{
    if (v.isArray()) {
        out.put('[');
        const auto &items = v.items();
        for (size_t i = 0; i < items.size(); ++i) {
            if (i)
                out.put(',');
            printCompact(out, items[i]);
        }
        out.put(']');
    } else if (v.isObject()) {
        out.put('{');
        const auto &items = v.items();
        const auto &keys = v.keys();
        for (size_t i = 0; i < items.size(); ++i) {
            if (i)
                out.put(',');
            printString(out, keys[i]);
            out.put(':');
            printCompact(out, items[i]);
        }
        out.put('}');
    } else {
        printScalar(out, v);
    }
}

// `level` is the nesting level of v itself: 1 for the root.
void printReadable(Output &out, const JsonValue &v, int level)
{
    const bool object = v.isObject();
    if (!object && !v.isArray()) {
        printScalar(out, v);
        return;
    }
    const auto &items = v.items();
    if (items.empty()) {
        out.put(object ? "{}" : "[]", 2);
        return;
    }
    out.put(object ? "{\r\n" : "[\r\n", 3);
    for (size_t i = 0; i < items.size(); ++i) {
        if (i)
            out.put(",\r\n", 3);
        out.indent(level);
        if (object) {
            printString(out, v.keys()[i]);
            out.put(": ", 2);
        }
        printReadable(out, items[i], level + 1);
    }
    out.put("\r\n", 2);
    out.indent(level - 1);
    out.put(object ? '}' : ']');
}

} // namespace

QByteArray PrintReadable(const JsonValue &value)
{
    Output out;
    printReadable(out, value, 1);
    return out.take();
}

QByteArray PrintCompact(const JsonValue &value)
{
    Output out;
    printCompact(out, value);
    return out.take();
}

} // namespace vrs
