#include "json.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <cstring>
#include <string>
#include <vector>

namespace vrs {

namespace {

// Deeper documents are refused rather than risking the stack; real
// configurations nest a handful of levels.
constexpr int kMaxDepth = 512;

class Parser {
public:
    Parser(const char *begin, const char *end) : p(begin), e(end) {}

    bool value(JsonValue &out, int depth);

private:
    void skipSpace()
    {
        while (p < e && uchar(*p) <= 32)
            ++p;
    }
    bool literal(const char *word, qsizetype n)
    {
        if (e - p < n || std::memcmp(p, word, size_t(n)) != 0)
            return false;
        p += n;
        return true;
    }
    bool number(JsonValue &out);
    bool string(QString &out);
    bool unescaped(QString &out, const char *start);
    bool array(JsonValue &out, int depth);
    bool object(JsonValue &out, int depth);
    enum class Next { Element, Closed, Truncated };
    // After an element: the comma is optional, and one before the closing
    // bracket is taken too.
    Next afterElement(char close)
    {
        skipSpace();
        if (p < e && *p == ',') {
            ++p;
            skipSpace();
        }
        if (p >= e)
            return Next::Truncated;
        return *p == close ? Next::Closed : Next::Element;
    }

    // Texts of short strings seen before, so that the keys repeated all
    // over a document share one allocation.
    QString shared(const char *s, qsizetype n);

    const char *p;
    const char *e;
    std::string m_scratch;
    // Children of the open containers, so that each container's storage is
    // allocated once at its final size.
    std::vector<JsonValue> m_values;
    std::vector<QString> m_keys;
    struct CachedText {
        const char *bytes = nullptr; // into the input, which outlives the parser
        qsizetype size = -1;
        QString text;
    };
    std::array<CachedText, 256> m_cache;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string &s, char32_t c)
{
    if (c < 0x80) {
        s += char(c);
    } else if (c < 0x800) {
        s += char(0xC0 | (c >> 6));
        s += char(0x80 | (c & 63));
    } else if (c < 0x10000) {
        s += char(0xE0 | (c >> 12));
        s += char(0x80 | ((c >> 6) & 63));
        s += char(0x80 | (c & 63));
    } else {
        s += char(0xF0 | (c >> 18));
        s += char(0x80 | ((c >> 12) & 63));
        s += char(0x80 | ((c >> 6) & 63));
        s += char(0x80 | (c & 63));
    }
}

bool Parser::value(JsonValue &out, int depth)
{
    if (p >= e)
        return false;
    switch (*p) {
    case 't':
        if (!literal("true", 4))
            return false;
        out = JsonValue(true);
        return true;
    case 'f':
        if (!literal("false", 5))
            return false;
        out = JsonValue(false);
        return true;
    case 'n':
        if (!literal("null", 4))
            return false;
        out = JsonValue();
        return true;
    case '"': {
        QString s;
        if (!string(s))
            return false;
        out = JsonValue(s);
        return true;
    }
    case '[': return array(out, depth + 1);
    case '{': return object(out, depth + 1);
    default: return number(out);
    }
}

// [+-] digits [. digits] [(e|E) [+-] digits]
bool Parser::number(JsonValue &out)
{
    const char *start = p;
    const char *q = p;
    if (q < e && (*q == '+' || *q == '-'))
        ++q;
    const char *digits = q;
    while (q < e && isDigit(*q))
        ++q;
    if (q == digits)
        return false;
    if (q + 1 < e && *q == '.' && isDigit(q[1])) {
        q += 2;
        while (q < e && isDigit(*q))
            ++q;
    }
    if (q < e && (*q == 'e' || *q == 'E')) {
        const char *x = q + 1;
        if (x < e && (*x == '+' || *x == '-'))
            ++x;
        if (x < e && isDigit(*x)) {
            while (x < e && isDigit(*x))
                ++x;
            q = x;
        }
    }
    // from_chars knows no leading "+"; it reads "." whatever the locale.
    const char *from = *start == '+' ? start + 1 : start;
    double v = 0;
    auto r = std::from_chars(from, q, v);
    if (r.ec == std::errc::result_out_of_range) {
        // The largest double prints with 15 digits as 1.79769313486232E308,
        // just above itself, and must read back.  Too small values read as 0.
        long double wide = 0;
        r = std::from_chars(from, q, wide);
        if (r.ec != std::errc())
            return false;
        if (std::fabs(wide) < 1)
            v = double(wide);
        else if (std::fabs(wide) <= 1.79769313486232e308L)
            v = std::copysign(std::numeric_limits<double>::max(), double(wide));
        else
            return false; // beyond anything a double holds
    }
    if (r.ec != std::errc() || r.ptr != q)
        return false;
    p = q;
    out = JsonValue(v);
    return true;
}

bool Parser::string(QString &out)
{
    const char *start = ++p; // past the opening quote
    // Most strings hold no escapes: decode them straight from the input.
    const char *q = start;
    while (q < e && *q != '"' && *q != '\\')
        ++q;
    if (q >= e)
        return false;
    if (*q == '"') {
        out = shared(start, q - start);
        p = q + 1;
        return true;
    }
    p = q;
    return unescaped(out, start);
}

bool Parser::unescaped(QString &out, const char *start)
{
    std::string &s = m_scratch;
    s.assign(start, size_t(p - start));
    char32_t pendingHigh = 0; // a high surrogate waiting for its low half
    auto flushHigh = [&] {
        if (pendingHigh) {
            appendUtf8(s, 0xFFFD);
            pendingHigh = 0;
        }
    };
    while (p < e) {
        const char c = *p;
        if (c == '"') {
            flushHigh();
            ++p;
            out = QString::fromUtf8(s.data(), qsizetype(s.size()));
            return true;
        }
        if (c != '\\') {
            flushHigh();
            const char *q = p;
            while (q < e && *q != '"' && *q != '\\')
                ++q;
            s.append(p, size_t(q - p));
            p = q;
            continue;
        }
        if (e - p < 2)
            return false;
        const char x = p[1];
        p += 2;
        if (x == 'u') {
            if (e - p < 4)
                return false;
            char32_t cp = 0;
            for (int i = 0; i < 4; ++i) {
                const int h = hexValue(p[i]);
                if (h < 0)
                    return false;
                cp = cp << 4 | char32_t(h);
            }
            p += 4;
            if (cp >= 0xDC00 && cp <= 0xDFFF && pendingHigh) {
                appendUtf8(s, 0x10000 + ((pendingHigh - 0xD800) << 10) + (cp - 0xDC00));
                pendingHigh = 0;
                continue;
            }
            flushHigh();
            if (cp >= 0xD800 && cp <= 0xDBFF)
                pendingHigh = cp;
            else if (cp >= 0xDC00 && cp <= 0xDFFF)
                appendUtf8(s, 0xFFFD);
            else
                appendUtf8(s, cp);
            continue;
        }
        flushHigh();
        switch (x) {
        case '"': s += '"'; break;
        case '\'': s += '\''; break;
        case '/': s += '/'; break;
        case '\\': s += '\\'; break;
        case 'b': s += '\b'; break;
        case 'f': s += '\f'; break;
        case 'n': s += '\n'; break;
        case 'r': s += '\r'; break;
        case 't': s += '\t'; break;
        default:
            // An unknown escape drops the backslash and the whole character
            // after it, not only the first byte of a multi-byte character.
            if (uchar(x) >= 0xC0)
                while (p < e && (uchar(*p) & 0xC0) == 0x80)
                    ++p;
            break;
        }
    }
    return false;
}

QString Parser::shared(const char *s, qsizetype n)
{
    if (n > 32)
        return QString::fromUtf8(s, n);
    quint32 h = 2166136261u;
    for (qsizetype i = 0; i < n; ++i)
        h = (h ^ uchar(s[i])) * 16777619u;
    CachedText &c = m_cache[(h ^ (h >> 16)) & (m_cache.size() - 1)];
    if (c.size != n || (n && std::memcmp(c.bytes, s, size_t(n)) != 0)) {
        c.bytes = s;
        c.size = n;
        c.text = QString::fromUtf8(s, n);
    }
    return c.text;
}

bool Parser::array(JsonValue &out, int depth)
{
    if (depth > kMaxDepth)
        return false;
    ++p;
    skipSpace();
    const size_t base = m_values.size();
    if (p < e && *p != ']') {
        for (;;) {
            JsonValue item;
            if (!value(item, depth))
                return false;
            m_values.push_back(std::move(item));
            const Next next = afterElement(']');
            if (next == Next::Truncated)
                return false;
            if (next == Next::Closed)
                break;
        }
    }
    ++p;
    out = JsonValue::array();
    out.reserve(m_values.size() - base);
    for (size_t i = base; i < m_values.size(); ++i)
        out.append(std::move(m_values[i]));
    m_values.resize(base);
    return true;
}

bool Parser::object(JsonValue &out, int depth)
{
    if (depth > kMaxDepth)
        return false;
    ++p;
    skipSpace();
    const size_t base = m_values.size();
    if (p < e && *p != '}') {
        for (;;) {
            QString key;
            if (p >= e || *p != '"' || !string(key))
                return false;
            skipSpace();
            if (p >= e || *p != ':')
                return false;
            ++p;
            skipSpace();
            JsonValue item;
            if (!value(item, depth))
                return false;
            m_keys.push_back(std::move(key));
            m_values.push_back(std::move(item));
            const Next next = afterElement('}');
            if (next == Next::Truncated)
                return false;
            if (next == Next::Closed)
                break;
        }
    }
    ++p;
    out = JsonValue::object();
    const size_t count = m_values.size() - base;
    const size_t keyBase = m_keys.size() - count;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i)
        out.add(m_keys[keyBase + i], std::move(m_values[base + i]));
    m_values.resize(base);
    m_keys.resize(keyBase);
    return true;
}

} // namespace

std::optional<JsonValue> Parse(const QByteArray &utf8)
{
    const char *p = utf8.constData();
    const char *e = p + utf8.size();
    if (e - p >= 3 && uchar(p[0]) == 0xEF && uchar(p[1]) == 0xBB && uchar(p[2]) == 0xBF)
        p += 3;
    while (p < e && uchar(*p) <= 32)
        ++p;
    Parser parser(p, e);
    JsonValue root;
    if (!parser.value(root, 0))
        return std::nullopt;
    return root;
}

} // namespace vrs
